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
  SayWhyTheSceneIsNotShown(strError);
  return FALSE;
}

void SayWhyTheSceneIsNotShown(const CString& strReason) {
  AfxMessageBox("Korvi 2 Preview cannot show its scene.\n\n" + strReason, MB_OK | MB_ICONSTOP);
}
