#include "CInstallFolder.h"

#include "AnsiText.h"

#include <string>

namespace {

constexpr DWORD kChunk = 64 * 1024;
// Exclusive, so nobody writes the file while it is checked and copied.
constexpr DWORD kDestinationAccess = GENERIC_READ | GENERIC_WRITE | DELETE;

// Bound at run time, so that the import table names nothing newer than the oldest system the
// setup declares; null where the system lacks it.
template <typename F>
F Kernel32Function(const char* pszName) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), pszName)));
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

HANDLE OpenDestination(const char* pszPath, DWORD dwDisposition) {
  return Valid(CreateFileA(pszPath, kDestinationAccess, 0, nullptr, dwDisposition,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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

BOOL IsAt(HANDLE h, const CString& strExpected) { return SamePath(FinalPathOf(h), strExpected); }

BOOL DeleteOnClose(HANDLE h) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return SetInformation(h, FileDispositionInfo, &disposition, sizeof(disposition));
}

// Whether the file may be written in place: not read-only, and no other name of it elsewhere.
enum class InPlace { Allowed, ReadOnly, HardLinked };
InPlace InPlaceWrite(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
    return InPlace::ReadOnly;
  return info.nNumberOfLinks > 1 ? InPlace::HardLinked : InPlace::Allowed;
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

CInstallFolder::CInstallFolder(const char* pszFolder)
    : m_folder(OpenFolder(pszFolder)), m_strFolder(pszFolder), m_buffer(kChunk) {
  if (m_folder == nullptr) return;
  const CString strFinal = FinalPathOf(m_folder);
  if (SamePath(strFinal, UnlinkedPathOf(pszFolder, strFinal))) m_strFinal = strFinal;
}

BOOL CInstallFolder::CopyIn(const CString& strLine) {
  if (!IsUsable()) return FALSE;
  const CHandle source(
      Valid(CreateFileA(strLine, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
  if (source == nullptr) return FALSE;
  const CString strPath = m_strFolder + strLine;
  const CString strExpected = FullPathOf(Join(m_strFinal, strLine));
  // A fresh install finds nothing in the way: nothing is looked up before the copy.
  const NewCopy result = CopyToNew(source, strPath, strExpected);
  if (result != NewCopy::Exists) return result == NewCopy::Copied;
  {
    const CHandle existing(OpenDestination(strPath, OPEN_EXISTING));
    if (existing == nullptr || !IsAt(existing, strExpected)) return FALSE;
    switch (InPlaceWrite(existing)) {
      case InPlace::ReadOnly:
        return FALSE;
      case InPlace::Allowed:
        // A file that was there before is not ours to remove, even when the copy fails.
        return CopyContents(source, existing) && FinishCopy(source, existing);
      case InPlace::HardLinked:
        // Written in place, the file's other names, maybe outside the folder, would change too.
        if (!DeleteOnClose(existing)) return FALSE;
        break;
    }
  }
  return CopyToNew(source, strPath, strExpected) == NewCopy::Copied;
}

CInstallFolder::NewCopy CInstallFolder::CopyToNew(HANDLE hSource, const CString& strPath, const CString& strExpected) {
  const CHandle created(OpenDestination(strPath, CREATE_NEW));
  if (created == nullptr) return GetLastError() == ERROR_FILE_EXISTS ? NewCopy::Exists : NewCopy::Failed;
  // A link swapped in on the way had the file made elsewhere: it goes before anything is written.
  // A copy cut short (a full disk) would pass for installed and hold the space the next files need.
  if (IsAt(created, strExpected) && CopyContents(hSource, created) && FinishCopy(hSource, created)) return NewCopy::Copied;
  DeleteOnClose(created);
  return NewCopy::Failed;
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
