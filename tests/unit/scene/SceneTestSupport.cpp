#include "SceneTestSupport.h"

#include "CArchive.h"
#include "CPhasedSprite.h"
#include "ImageArchiveFormat.h"

#include <cstring>

std::string DemoMediaFolder() {
  const std::string scene = KV2_DEMO_SCENE;
  return scene.substr(0, scene.find_last_of("/\\") + 1);
}

SceneFolder::SceneFolder() { Write("K2Scene.kds", ReadFile(DemoMediaFolder() + "K2Scene.kds")); }

void WriteScene(const std::string& path, const StoredActor& actor, const StoredScene& scene) {
  CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
  CArchive ar(&file, CArchive::store);
  ar << CString(scene.strPictures.c_str()) << CString(scene.strBackground.c_str());
  CBubbleList bubbles;
  CBubble bubble;
  bubbles.Add(&bubble);
  if (scene.bEmptyBubbleEntry) bubbles.AddTail(nullptr);
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

std::string ImageArchive(const std::vector<std::pair<std::string, std::string>>& members) {
  kds::Header header{};
  std::memcpy(header.magic, kds::kMagic, sizeof header.magic);
  header.count = static_cast<WORD>(members.size());
  std::string directory;
  std::string files;
  DWORD offset = static_cast<DWORD>(sizeof header + members.size() * sizeof(kds::Entry));
  for (const auto& [name, bytes] : members) {
    kds::Entry entry{};
    name.copy(entry.name, kds::kMaxNameLength);
    entry.offset = offset + static_cast<DWORD>(files.size());
    directory.append(reinterpret_cast<const char*>(&entry), sizeof entry);
    files += bytes;
  }
  return std::string(reinterpret_cast<const char*>(&header), sizeof header) + directory + files;
}
