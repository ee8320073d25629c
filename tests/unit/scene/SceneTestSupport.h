// The demo scene and hand-made scene files for the scene tests.
#pragma once

#include "CScene.h"
#include "TempDir.h"

#include <string>
#include <utility>
#include <vector>

// The folder of the demo media, with its trailing separator.
std::string DemoMediaFolder();

// A folder holding a copy of the demo scene's picture archive, where tests write scene files.
class SceneFolder : public TempDir {
 public:
  SceneFolder();
};

// One sprite's record as a scene file stores it, with the values a sound file has.
struct StoredActor {
  std::string strPicture = "Star.bmp";
  LONG nBubble = -1;
  WORD wMode = 0x0200;
  WORD wDrawFlags = 0x1000;
  LONG nPeriod = 60;
  const CRuntimeClass* pClass = nullptr;  // CPhasedSprite when null
};

// What the scene file says around the sprite's record.
struct StoredScene {
  std::string strPictures = "K2Scene";
  std::string strBackground = "Meadow.bmp";
  bool bEmptyBubbleEntry = false;  // the bubble list holds a null reference after its bubble
};

// Writes a scene file of the background, one bubble and the one sprite, at 10, 20 with a 1 × 2
// grid at cell (0, 1).
void WriteScene(const std::string& path, const StoredActor& actor, const StoredScene& scene = {});

// The bytes of an image archive of the given members (name, bitmap file).
std::string ImageArchive(const std::vector<std::pair<std::string, std::string>>& members);
