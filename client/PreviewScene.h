// Where the preview client finds its scene, and what it tells the user when it cannot read it.
#pragma once

#include "CScene.h"

// The scene file beside the program: K2Scene.dat, its pictures in K2Scene.kds.
CString PreviewScenePath();

// Loads the scene; FALSE after telling the user in a message box why it cannot be shown.
BOOL OpenPreviewScene(CScene* pScene, const char* pszPath);

// The message box that tells the user why the scene cannot be shown.
void SayWhyTheSceneIsNotShown(const CString& strReason);
