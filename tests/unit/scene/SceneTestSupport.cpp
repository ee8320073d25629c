#include "SceneTestSupport.h"

#include "CArchive.h"
#include "CPhasedSprite.h"

std::string DemoMediaFolder() {
  const std::string scene = KV2_DEMO_SCENE;
  return scene.substr(0, scene.find_last_of("/\\") + 1);
}

SceneFolder::SceneFolder() { Write("K2Scene.kds", ReadFile(DemoMediaFolder() + "K2Scene.kds")); }

void WriteScene(const std::string& path, const StoredActor& actor) {
  CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
  CArchive ar(&file, CArchive::store);
  ar << CString("K2Scene") << CString("Meadow.bmp");
  CBubbleList bubbles;
  CBubble bubble;
  bubbles.Add(&bubble);
  bubbles.Serialize(ar);
  ar.WriteCount(1);
  ar << CString(actor.strPicture.c_str()) << actor.nBubble << actor.wMode << actor.wDrawFlags << actor.nPeriod;
  ar.WriteClass(actor.pClass != nullptr ? actor.pClass : RUNTIME_CLASS(CPhasedSprite));
  ar << LONG{10} << LONG{20} << LONG{0};
  if (actor.pClass == nullptr || actor.pClass == RUNTIME_CLASS(CPhasedSprite))
    ar << LONG{1} << LONG{2} << LONG{0} << LONG{1};
  ar.Close();
  bubbles.RemoveAll();
}
