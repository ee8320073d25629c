// Any bytes as the preview client's scene file, beside the demo scene's picture archive made
// small (fuzz/pictures: the same members, fewer pixels and colours); a scene that loads is then
// composed, animated, hit and raised as the client would.
#include "CSceneAnimator.h"
#include "CSceneCanvas.h"
#include "FuzzInput.h"

#include <filesystem>

namespace {

// The picture archive the scene names, once beside the input.
void PlacePictures(const std::string& scenePath) {
  static bool bPlaced = false;
  if (bPlaced) return;
  const std::filesystem::path target = std::filesystem::path(scenePath).parent_path() / "K2Scene.kds";
  std::filesystem::copy_file(KV2_SCENE_PICTURES, target, std::filesystem::copy_options::overwrite_existing);
  bPlaced = true;
}

void Exercise(CScene& scene) {
  CSceneCanvas canvas;
  CString strError;
  if (!canvas.Create(&scene, strError)) return;
  CSceneAnimator animator(scene);
  animator.Start(0xFFFFFF00);
  for (DWORD t = 0; t < 400; t += 20) {
    animator.Animate(0xFFFFFF00 + t);
    canvas.Update();
  }
  for (const CScene::Actor& actor : scene.m_actors) {
    CRect rc;
    actor.pSprite->GetRect(&rc);
    const POINT middle{Step(rc.left, rc.Width() / 2), Step(rc.top, rc.Height() / 2)};
    if (CBubble* pBubble = scene.BubbleAt(middle)) CScene::Raise(pBubble);
    if (CSprite* pHit = scene.SpriteAt(middle)) scene.Raise(pHit);
    actor.pSprite->SetPosition(CPoint(Step(rc.left, -7), rc.bottom));
  }
  canvas.Update();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".dat");
  PlacePictures(path);
  CScene scene;
  CString strError;
  if (scene.Load(path.c_str(), strError)) Exercise(scene);
  return 0;
}
