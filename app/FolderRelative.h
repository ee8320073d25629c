// Files and folders opened by a name inside an open folder, through the platform's native file
// interface: the folder's path is not looked at again, so no link swapped in on the way can
// redirect them. Its functions are bound at run time; each fails where the system lacks them.
#pragma once

#include "win32.h"

#include <winternl.h>

#include <string>

// What a name that is there already answers to a creation.
constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);

// What a held folder needs to open names in it and list it.
constexpr ACCESS_MASK kFolderAccess = FILE_TRAVERSE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;

// Opens the name in the folder (null and the status on failure). An empty name opens the folder
// itself once more.
HANDLE OpenRelative(HANDLE hFolder, const std::wstring& strName, ACCESS_MASK access, ULONG nShare, ULONG nDisposition,
                    ULONG nOptions, NTSTATUS& status);

// A new file, exclusive until it is closed; an existing name, even a dangling link, answers
// kNameCollision.
HANDLE CreateRelative(HANDLE hFolder, const std::wstring& strName, NTSTATUS& status);

// The folder's listing of one name: its own attributes and identity, a link not followed.
BOOL ListEntry(HANDLE hFolder, const std::wstring& strName, FILE_ID_BOTH_DIR_INFORMATION& entry);

// Opens the subfolder with kFolderAccess when it is a folder of its own, no junction, symbolic
// link or mount point; null otherwise.
HANDLE OpenPlainSubfolder(HANDLE hFolder, const std::wstring& strName);

// Sets information of the open file, of the class's layout.
BOOL SetInformation(HANDLE h, void* pInfo, ULONG nSize, FILE_INFORMATION_CLASS nClass);

// Puts the open file, opened with delete access, in the name's place in the folder: what had the
// name goes, and a link or other hard link that had it is not followed.
BOOL RenameInto(HANDLE h, HANDLE hFolder, const std::wstring& strName);
