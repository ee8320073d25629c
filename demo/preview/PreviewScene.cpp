#include "PreviewScene.h"

#include "AfxMessageBox.h"

CString PreviewScenePath() {
  char szPath[MAX_PATH];
  const CString strPath(szPath, static_cast<int>(GetModuleFileNameA(nullptr, szPath, MAX_PATH)));
  return strPath.Left(strPath.ReverseFind('\\') + 1) + "K2Scene.dat";
}

BOOL OpenPreviewScene(CScene* pScene, const char* pszPath) {
  CString strError;
  if (pScene->Load(pszPath, strError)) return TRUE;
  AfxMessageBox("Korvi 2 Preview cannot show its scene.\n\n" + strError, MB_OK | MB_ICONSTOP);
  return FALSE;
}
