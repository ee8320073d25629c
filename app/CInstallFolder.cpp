#include "CInstallFolder.h"

#include "AnsiText.h"
#include "FolderRelative.h"

#include <algorithm>

namespace {

constexpr DWORD kChunk = 64 * 1024;
constexpr int kTemporaryTries = 100;

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

CString Join(const CString& strFolder, const char* pszName) {
  return EndsInBackslash(strFolder) ? strFolder + pszName : strFolder + '\\' + pszName;
}

BOOL DeleteOnClose(HANDLE h) {
  BOOLEAN bDelete = TRUE;
  return SetInformation(h, &bDelete, sizeof(bDelete), FileDispositionInformation);
}

// The source's last write time and the archive attribute alone, set through the handle.
BOOL FinishCopy(HANDLE hSource, HANDLE hDestination) {
  FILETIME ftWrite{};
  if (!GetFileTime(hSource, nullptr, nullptr, &ftWrite)) return FALSE;
  // Times left zero stay as they are.
  FILE_BASIC_INFORMATION basic{};
  basic.LastWriteTime.LowPart = ftWrite.dwLowDateTime;
  basic.LastWriteTime.HighPart = static_cast<LONG>(ftWrite.dwHighDateTime);
  basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  return SetInformation(hDestination, &basic, sizeof(basic), FileBasicInformation);
}

// The folder opened from its parent's open handle when it is no link; a drive's root, which has
// no parent, by its path.
HANDLE OpenInstallFolder(const CString& strFull) {
  const CString strFolder = EndsInBackslash(strFull) ? strFull.Left(strFull.GetLength() - 1) : strFull;
  const char* pszLast = nullptr;
  for (const char* p = strFolder; *p != '\0'; p = NextChar(p))
    if (*p == '\\') pszLast = p;
  if (pszLast == nullptr) return OpenFolder(strFull);
  const int nParent = static_cast<int>(pszLast - static_cast<const char*>(strFolder)) + 1;
  const CHandle parent(OpenFolder(strFolder.Left(nParent)));
  return parent == nullptr ? nullptr : OpenPlainSubfolder(parent, Wide(strFolder.Mid(nParent)));
}

}  // namespace

CInstallFolder::CInstallFolder(const char* pszFolder)
    : m_strFull(FullPathOf(pszFolder)), m_folder(OpenInstallFolder(m_strFull)), m_buffer(kChunk) {}

BOOL CInstallFolder::CopyIn(const CString& strLine) {
  if (!IsUsable()) return FALSE;
  // The line as a path below the folder, "." and ".." resolved as the platform reads them.
  const CString strPrefix = Join(m_strFull, "");
  const CString strFull = FullPathOf(Join(m_strFull, strLine));
  if (strFull.GetLength() <= strPrefix.GetLength() || strFull.Left(strPrefix.GetLength()) != strPrefix) return FALSE;
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
