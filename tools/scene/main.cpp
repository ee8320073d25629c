// kv2scene: writes the preview client's scene file from its readable description.
//   kv2scene DESCRIPTION SCENE
// The picture archive the description names must lie beside SCENE.
#include "SceneDescription.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: kv2scene DESCRIPTION SCENE\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "kv2scene: cannot read %s\n", argv[1]);
    return 1;
  }
  const CString strScene(argv[2]);
  CScene scene;
  scene.m_strFolder = strScene.Left(strScene.ReverseFind('/') + 1);
  SceneDescription description;
  if (!description.Read(in, &scene)) {
    std::fprintf(stderr, "kv2scene: %s: %s\n", argv[1], description.m_strError.c_str());
    return 1;
  }
  CString strError;
  if (!scene.Store(argv[2], strError)) {
    std::fprintf(stderr, "kv2scene: %s\n", static_cast<const char*>(strError));
    return 1;
  }
  return 0;
}
