#include "CResourceManager.h"

namespace {

constexpr char DATA_FOLDER_SUFFIX[] = "\\data\\";

// The whole current directory, however long. When it cannot be read at all, "." stands for it,
// so that the data folder still names the folder below the current one.
CString CurrentDirectory() {
  CString strDir;
  DWORD nSize = 512;
  for (;;) {
    const DWORD nResult = ::GetCurrentDirectoryA(nSize, strDir.GetBuffer(static_cast<int>(nSize)));
    if (nResult == 0) return ".";
    // A buffer too small gets nothing written and the size it needs, terminator included.
    if (nResult < nSize) {
      strDir.ReleaseBuffer(static_cast<int>(nResult));
      return strDir;
    }
    nSize = nResult;
  }
}

}  // namespace

CResourceManager::CResourceManager() { SetDataFolder(CurrentDirectory() + DATA_FOLDER_SUFFIX); }

CResourceManager::~CResourceManager() { Clear(); }

int CResourceManager::SetDataFolder(LPCSTR lpszFolder) {
  m_strDataFolder = lpszFolder;
  // An empty folder stays empty, so that names resolve against the current directory; a lone
  // backslash would send them to the root of the drive.
  const int nLength = ::lstrlenA(m_strDataFolder);
  if (nLength > 0 && m_strDataFolder[nLength - 1] != '\\') m_strDataFolder += '\\';
  return 1;
}

void CResourceManager::Clear() {
  m_pFirstTable.reset();
  m_nFirstCount = 0;
  m_pSecondTable.reset();
  m_nSecondCount = 0;
  DeleteObjects();
}

void CResourceManager::DeleteObjects() {
  for (POSITION pos = m_listObjects.GetHeadPosition(); pos != nullptr;) delete m_listObjects.GetNext(pos);
  m_listObjects.RemoveAll();
}
