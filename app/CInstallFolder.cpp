#include "CInstallFolder.h"

#include "AnsiText.h"

#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr DWORD kChunk = 64 * 1024;
constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kNotImplemented = static_cast<NTSTATUS>(0xC0000002);
// Enough for a name the platform allows (255 characters) after the entry's fixed part.
constexpr size_t kListingBytes = sizeof(FILE_ID_BOTH_DIR_INFORMATION) + 256 * sizeof(WCHAR);
constexpr int kTemporaryTries = 100;

using NtCreateFileFunction = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER,
                                              ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using NtQueryDirectoryFileFunction = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                      FILE_INFORMATION_CLASS, BOOLEAN, PUNICODE_STRING, BOOLEAN);
using NtSetInformationFileFunction = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);

// Bound at run time, so that the import table names nothing newer than the oldest system the
// setup declares; null where the system lacks it.
template <typename F>
F SystemFunction(const char* pszModule, const char* pszName) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(pszModule), pszName)));
}

template <typename F>
F Kernel32Function(const char* pszName) {
  return SystemFunction<F>("kernel32.dll", pszName);
}

DWORD FinalPathName(HANDLE h, char* pszPath, DWORD nSize) {
  static const auto pfn = Kernel32Function<decltype(&GetFinalPathNameByHandleA)>("GetFinalPathNameByHandleA");
  return pfn == nullptr ? 0 : pfn(h, pszPath, nSize, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
}

BOOL SetInformation(HANDLE h, FILE_INFO_BY_HANDLE_CLASS nClass, void* pInfo, DWORD nSize) {
  static const auto pfn = Kernel32Function<decltype(&SetFileInformationByHandle)>("SetFileInformationByHandle");
  return pfn != nullptr && pfn(h, nClass, pInfo, nSize);
}

HANDLE Valid(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }

HANDLE OpenFolder(const char* pszFolder) {
  return Valid(CreateFileA(pszFolder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Opens a name inside an open folder: the folder's path is not looked at again, so no link
// swapped in on the way can redirect it. An empty name opens the folder itself once more.
HANDLE OpenRelative(HANDLE hFolder, const std::wstring& strName, ACCESS_MASK access, ULONG nShare, ULONG nDisposition,
                    ULONG nOptions, NTSTATUS& status) {
  static const auto pfn = SystemFunction<NtCreateFileFunction>("ntdll.dll", "NtCreateFile");
  status = kNotImplemented;
  if (pfn == nullptr || strName.size() > 32767 / sizeof(WCHAR)) return nullptr;
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

// A new file, exclusive until it is closed; an existing name, even a dangling link, is a collision.
HANDLE CreateRelative(HANDLE hFolder, const std::wstring& strName, NTSTATUS& status) {
  return OpenRelative(hFolder, strName, GENERIC_READ | GENERIC_WRITE | DELETE, 0, FILE_CREATE,
                      FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, status);
}

// The folder's listing of one name: its own attributes and identity, a link not followed.
BOOL ListEntry(HANDLE hFolder, const std::wstring& strName, FILE_ID_BOTH_DIR_INFORMATION& entry) {
  static const auto pfn = SystemFunction<NtQueryDirectoryFileFunction>("ntdll.dll", "NtQueryDirectoryFile");
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

// Opens a subfolder of an open folder when it is a folder of its own, no junction, symbolic link
// or mount point. Where the platform opens a link as itself, the handle tells; where it follows
// the link, only the folder's listing does: the entry must be no link and be what was opened.
HANDLE OpenPlainSubfolder(HANDLE hFolder, const std::wstring& strName) {
  NTSTATUS status;
  // Without delete sharing, where the platform honours it, the folder cannot be renamed away.
  CHandle subfolder(OpenRelative(hFolder, strName, FILE_TRAVERSE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN,
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

// Puts the open file in the name's place in the folder; what had the name goes, and a link or
// other hard link that had it is not followed.
BOOL RenameInto(HANDLE h, HANDLE hFolder, const std::wstring& strName) {
  static const auto pfn = SystemFunction<NtSetInformationFileFunction>("ntdll.dll", "NtSetInformationFile");
  const size_t nNameBytes = strName.size() * sizeof(WCHAR);
  std::vector<char> buffer(sizeof(FILE_RENAME_INFORMATION) + nNameBytes);
  auto* pInfo = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
  pInfo->ReplaceIfExists = TRUE;
  pInfo->RootDirectory = hFolder;
  pInfo->FileNameLength = static_cast<ULONG>(nNameBytes);
  std::memcpy(pInfo->FileName, strName.c_str(), nNameBytes);
  IO_STATUS_BLOCK io{};
  return pfn != nullptr &&
         pfn(h, &io, pInfo, static_cast<ULONG>(buffer.size()), FileRenameInformation) >= 0;
}

std::wstring Wide(const CString& str) {
  const int nLength = MultiByteToWideChar(CP_ACP, 0, str, str.GetLength(), nullptr, 0);
  std::wstring strWide(static_cast<size_t>(nLength), L'\0');
  if (nLength > 0) MultiByteToWideChar(CP_ACP, 0, str, str.GetLength(), strWide.data(), nLength);
  return strWide;
}

// A name no listed file has, for a copy before it takes the place of an existing file.
std::wstring TemporaryName(unsigned nNumber) {
  return L"~kv2setup-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(nNumber) + L".tmp";
}

// A path as the platform resolves it by its text alone: "." and ".." gone, slashes backslashes.
CString FullPathOf(const char* pszPath) {
  CString strFull;
  const DWORD nSize = GetFullPathNameA(pszPath, 0, nullptr, nullptr);
  if (nSize == 0) return strFull;
  const DWORD nLength = GetFullPathNameA(pszPath, nSize, strFull.GetBuffer(static_cast<int>(nSize)), nullptr);
  strFull.ReleaseBuffer(nLength < nSize ? static_cast<int>(nLength) : 0);
  return strFull;
}

// Short (8.3) names spelled out, as final paths have them; the path itself when that fails.
CString LongPathOf(const CString& strPath) {
  CString strLong;
  const DWORD nSize = GetLongPathNameA(strPath, nullptr, 0);
  if (nSize == 0) return strPath;
  const DWORD nLength = GetLongPathNameA(strPath, strLong.GetBuffer(static_cast<int>(nSize)), nSize);
  if (nLength == 0 || nLength >= nSize) return strPath;
  strLong.ReleaseBuffer(static_cast<int>(nLength));
  return strLong;
}

// Where the handle's file is, every link on the way resolved, as "C:\..." or "\\server\share\...";
// empty when the platform cannot tell.
CString FinalPathOf(HANDLE h) {
  CString strFinal;
  // Asked with a buffer from the start: the platform's answer to an empty one is not to be relied on.
  DWORD nSize = MAX_PATH;
  DWORD nLength = FinalPathName(h, strFinal.GetBuffer(static_cast<int>(nSize)), nSize);
  if (nLength >= nSize) {
    nSize = nLength + 1;
    nLength = FinalPathName(h, strFinal.GetBuffer(static_cast<int>(nSize)), nSize);
  }
  strFinal.ReleaseBuffer(nLength < nSize ? static_cast<int>(nLength) : 0);
  if (strFinal.Left(8).CompareNoCase("\\\\?\\UNC\\") == 0) return "\\\\" + strFinal.Mid(8);
  if (strFinal.Left(4) == "\\\\?\\") return strFinal.Mid(4);
  return strFinal;
}

// Paths compare as the platform's names do: letter case aside, byte for byte.
BOOL SamePath(const CString& strA, const CString& strB) {
  if (strA.IsEmpty() || strA.GetLength() != strB.GetLength()) return FALSE;
  std::string a(strA), b(strB);
  CharUpperBuffA(a.data(), static_cast<DWORD>(a.size()));
  CharUpperBuffA(b.data(), static_cast<DWORD>(b.size()));
  return a == b;
}

CString Join(const CString& strFolder, const char* pszName) {
  return EndsInBackslash(strFolder) ? strFolder + pszName : strFolder + '\\' + pszName;
}

// The final path the folder would have if it were no link: its parent's plus its own name. A
// drive's root has no parent and is no link.
CString UnlinkedPathOf(const char* pszFolder, const CString& strFinal) {
  CString strFull = LongPathOf(FullPathOf(pszFolder));
  if (EndsInBackslash(strFull)) strFull = strFull.Left(strFull.GetLength() - 1);
  const char* pszLast = nullptr;
  for (const char* p = strFull; *p != '\0'; p = NextChar(p))
    if (*p == '\\') pszLast = p;
  if (pszLast == nullptr) return strFinal;
  const int nParent = static_cast<int>(pszLast - static_cast<const char*>(strFull)) + 1;
  const CHandle parent(OpenFolder(strFull.Left(nParent)));
  if (parent == nullptr) return CString();
  return Join(FinalPathOf(parent), strFull.Mid(nParent));
}

BOOL DeleteOnClose(HANDLE h) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return SetInformation(h, FileDispositionInfo, &disposition, sizeof(disposition));
}

// The source's last write time and the archive attribute alone, set through the handle.
BOOL FinishCopy(HANDLE hSource, HANDLE hDestination) {
  FILETIME ftWrite{};
  if (!GetFileTime(hSource, nullptr, nullptr, &ftWrite)) return FALSE;
  FILE_BASIC_INFO basic{};
  basic.LastWriteTime.LowPart = ftWrite.dwLowDateTime;
  basic.LastWriteTime.HighPart = static_cast<LONG>(ftWrite.dwHighDateTime);
  basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  return SetInformation(hDestination, FileBasicInfo, &basic, sizeof(basic));
}

}  // namespace

CInstallFolder::CInstallFolder(const char* pszFolder) : m_folder(OpenFolder(pszFolder)), m_buffer(kChunk) {
  if (m_folder == nullptr) return;
  const CString strFinal = FinalPathOf(m_folder);
  if (SamePath(strFinal, UnlinkedPathOf(pszFolder, strFinal))) m_strFinal = strFinal;
}

BOOL CInstallFolder::CopyIn(const CString& strLine) {
  if (!IsUsable()) return FALSE;
  // The line as a path below the folder, "." and ".." resolved as the platform reads them.
  const CString strPrefix = Join(m_strFinal, "");
  const CString strFull = FullPathOf(Join(m_strFinal, strLine));
  if (strFull.GetLength() <= strPrefix.GetLength() || !SamePath(strFull.Left(strPrefix.GetLength()), strPrefix))
    return FALSE;
  const std::wstring strRelative = Wide(strFull.Mid(strPrefix.GetLength()));
  const size_t nSlash = strRelative.rfind(L'\\');
  const std::wstring strName = nSlash == std::wstring::npos ? strRelative : strRelative.substr(nSlash + 1);
  const HANDLE hFolder = FolderOf(nSlash == std::wstring::npos ? std::wstring() : strRelative.substr(0, nSlash));
  if (strName.empty() || hFolder == nullptr) return FALSE;

  const CHandle source(
      Valid(CreateFileA(strLine, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
  if (source == nullptr) return FALSE;
  // A fresh install finds nothing in the way: nothing is looked up before the copy.
  const NewFile result = CopyToNew(source, hFolder, strName, nullptr);
  if (result != NewFile::Exists) return result == NewFile::Copied;
  FILE_ID_BOTH_DIR_INFORMATION entry{};
  // A read-only file keeps its protection, as the platform's copy leaves it.
  if (!ListEntry(hFolder, strName, entry) ||
      (entry.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return FALSE;
  for (int nTry = 0; nTry < kTemporaryTries; ++nTry) {
    const NewFile replaced = CopyToNew(source, hFolder, TemporaryName(++m_nTemporary), &strName);
    if (replaced != NewFile::Exists) return replaced == NewFile::Copied;
  }
  return FALSE;
}

CInstallFolder::NewFile CInstallFolder::CopyToNew(HANDLE hSource, HANDLE hFolder, const std::wstring& strName,
                                                  const std::wstring* pstrReplaced) {
  NTSTATUS status;
  const CHandle created(CreateRelative(hFolder, strName, status));
  if (created == nullptr) return status == kNameCollision ? NewFile::Exists : NewFile::Failed;
  if (CopyContents(hSource, created) && FinishCopy(hSource, created) &&
      (pstrReplaced == nullptr || RenameInto(created, hFolder, *pstrReplaced)))
    return NewFile::Copied;
  // A copy cut short (a full disk) would pass for installed and hold the space the next files
  // need; one that was to replace a file leaves that file as it was.
  DeleteOnClose(created);
  return NewFile::Failed;
}

HANDLE CInstallFolder::FolderOf(const std::wstring& strRelative) {
  HANDLE hFolder = m_folder;
  for (size_t nStart = 0; nStart < strRelative.size();) {
    const size_t nEnd = std::min(strRelative.find(L'\\', nStart), strRelative.size());
    std::wstring strKey = strRelative.substr(0, nEnd);
    CharUpperBuffW(strKey.data(), static_cast<DWORD>(strKey.size()));
    auto it = m_subfolders.find(strKey);
    if (it == m_subfolders.end()) {
      const HANDLE hSubfolder = OpenPlainSubfolder(hFolder, strRelative.substr(nStart, nEnd - nStart));
      if (hSubfolder == nullptr) return nullptr;
      it = m_subfolders.emplace(strKey, std::make_unique<CHandle>(hSubfolder)).first;
    }
    hFolder = *it->second;
    nStart = nEnd + 1;
  }
  return hFolder;
}

BOOL CInstallFolder::CopyContents(HANDLE hSource, HANDLE hDestination) {
  for (;;) {
    DWORD nRead = 0;
    if (!ReadFile(hSource, m_buffer.data(), kChunk, &nRead, nullptr)) return FALSE;
    if (nRead == 0) return SetEndOfFile(hDestination);
    DWORD nWritten = 0;
    if (!WriteFile(hDestination, m_buffer.data(), nRead, &nWritten, nullptr) || nWritten != nRead) return FALSE;
  }
}
