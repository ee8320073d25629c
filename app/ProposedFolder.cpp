#include "ProposedFolder.h"

CString BaseFolder(const CString& strIniPath) {
  return strIniPath.GetLength() > 1 ? strIniPath : CString("C:\\Program Files\\");
}

BOOL FolderBeside(const CString& strBase, CString& strFolder) {
  const int nBackslash = strBase.ReverseFind('\\');
  if (nBackslash <= 0) return FALSE;
  strFolder = strBase.Left(nBackslash) + "\\KV2\\";
  return TRUE;
}
