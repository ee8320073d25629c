#include "CInstallFolder.h"

#include "AnsiText.h"
#include "FolderRelative.h"

#include <algorithm>

namespace {

constexpr DWORD kChunk = 64 * 1024;
constexpr int kTemporaryTries = 100;

DWORD FinalPathName(HANDLE h, char* pszPath, DWORD nSize) {
  static const auto pfn = SystemFunction<decltype(&GetFinalPathNameByHandleA)>("kernel32.dll", "GetFinalPathNameByHandleA");
  return pfn == nullptr ? 0 : pfn(h, pszPath, nSize, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
}

BOOL SetInformation(HANDLE h, FILE_INFO_BY_HANDLE_CLASS nClass, void* pInfo, DWORD nSize) {
  static const auto pfn = SystemFunction<decltype(&SetFileInformationByHandle)>("kernel32.dll", "SetFileInformationByHandle");
  return pfn != nullptr && pfn(h, nClass, pInfo, nSize);
}

HANDLE Valid(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }

// Without delete sharing, where the platform honours it, the folder cannot be renamed away.
HANDLE OpenFolder(const char* pszFolder) {
  return Valid(CreateFileA(pszFolder, kFolderAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
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
