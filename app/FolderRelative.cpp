#include "FolderRelative.h"

#include "CHandle.h"
#include "CSystemLibrary.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

constexpr NTSTATUS kNotImplemented = static_cast<NTSTATUS>(0xC0000002);
// Enough for a name the platform allows (255 characters) after the entry's fixed part.
constexpr size_t kListingBytes = sizeof(FILE_ID_BOTH_DIR_INFORMATION) + 256 * sizeof(WCHAR);

// A KnownDLL, bound like the other system libraries.
constinit CSystemLibrary ntdll("ntdll.dll");

using NtCreateFileFunction = NTSTATUS NTAPI(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER,
                                              ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using NtQueryDirectoryFileFunction = NTSTATUS NTAPI(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                      FILE_INFORMATION_CLASS, BOOLEAN, PUNICODE_STRING, BOOLEAN);
using NtSetInformationFileFunction = NTSTATUS NTAPI(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);

}  // namespace

HANDLE OpenRelative(HANDLE hFolder, const std::wstring& strName, ACCESS_MASK access, ULONG nShare, ULONG nDisposition,
                    ULONG nOptions, NTSTATUS& status) {
  static const auto pfn = ntdll.Find<NtCreateFileFunction>("NtCreateFile");
  status = kNotImplemented;
  if (pfn == nullptr || strName.size() > 0x7FFF) return nullptr;
  const auto nBytes = static_cast<USHORT>(strName.size() * sizeof(WCHAR));
  UNICODE_STRING name{nBytes, nBytes, const_cast<PWSTR>(strName.c_str())};
  OBJECT_ATTRIBUTES attributes{};
  InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, hFolder, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE h = nullptr;
  status = pfn(&h, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, nShare, nDisposition,
               nOptions | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  return status >= 0 ? h : nullptr;
}

HANDLE CreateRelative(HANDLE hFolder, const std::wstring& strName, NTSTATUS& status) {
  return OpenRelative(hFolder, strName, GENERIC_READ | GENERIC_WRITE | DELETE, 0, FILE_CREATE,
                      FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, status);
}

BOOL ListEntry(HANDLE hFolder, const std::wstring& strName, FILE_ID_BOTH_DIR_INFORMATION& entry) {
  static const auto pfn = ntdll.Find<NtQueryDirectoryFileFunction>("NtQueryDirectoryFile");
  NTSTATUS status;
  // A listing handle of its own: a handle keeps the name its first listing asked for.
  const CHandle listing(OpenRelative(hFolder, std::wstring(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     FILE_OPEN, FILE_DIRECTORY_FILE, status));
  if (pfn == nullptr || listing == nullptr) return FALSE;
  alignas(FILE_ID_BOTH_DIR_INFORMATION) char buffer[kListingBytes];
  const auto nBytes = static_cast<USHORT>(strName.size() * sizeof(WCHAR));
  UNICODE_STRING name{nBytes, nBytes, const_cast<PWSTR>(strName.c_str())};
  IO_STATUS_BLOCK io{};
  if (pfn(listing, nullptr, nullptr, nullptr, &io, buffer, sizeof(buffer), FileIdBothDirectoryInformation, TRUE, &name,
          TRUE) < 0)
    return FALSE;
  std::memcpy(&entry, buffer, offsetof(FILE_ID_BOTH_DIR_INFORMATION, FileName));
  return TRUE;
}

// Where the platform opens a link as itself, the handle tells; where it follows the link, only
// the folder's listing does: the entry must be no link and be what was opened.
HANDLE OpenPlainSubfolder(HANDLE hFolder, const std::wstring& strName) {
  NTSTATUS status;
  CHandle subfolder(OpenRelative(hFolder, strName, kFolderAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN,
                                 FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, status));
  BY_HANDLE_FILE_INFORMATION opened{};
  FILE_ID_BOTH_DIR_INFORMATION entry{};
  if (subfolder == nullptr || !GetFileInformationByHandle(subfolder, &opened) ||
      (opened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || !ListEntry(hFolder, strName, entry) ||
      (entry.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return nullptr;
  // A volume that numbers no files (FAT) holds no links either.
  const BOOL bSame = entry.FileId.QuadPart == 0 || (entry.FileId.LowPart == opened.nFileIndexLow &&
                                                     static_cast<DWORD>(entry.FileId.HighPart) == opened.nFileIndexHigh);
  return bSame ? subfolder.Detach() : nullptr;
}

BOOL SetInformation(HANDLE h, void* pInfo, ULONG nSize, FILE_INFORMATION_CLASS nClass) {
  static const auto pfn = ntdll.Find<NtSetInformationFileFunction>("NtSetInformationFile");
  IO_STATUS_BLOCK io{};
  return pfn != nullptr && pfn(h, &io, pInfo, nSize, nClass) >= 0;
}

BOOL RenameInto(HANDLE h, HANDLE hFolder, const std::wstring& strName) {
  const size_t nNameBytes = strName.size() * sizeof(WCHAR);
  std::vector<char> buffer(sizeof(FILE_RENAME_INFORMATION) + nNameBytes);
  auto* pInfo = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
  pInfo->ReplaceIfExists = TRUE;
  pInfo->RootDirectory = hFolder;
  pInfo->FileNameLength = static_cast<ULONG>(nNameBytes);
  std::memcpy(pInfo->FileName, strName.c_str(), nNameBytes);
  return SetInformation(h, pInfo, static_cast<ULONG>(buffer.size()), FileRenameInformation);
}

