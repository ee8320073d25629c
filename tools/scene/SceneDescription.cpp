#include "SceneDescription.h"

#include "CPhasedSprite.h"

#include <memory>

namespace {

const std::map<std::string, WORD> kModes = {
    {"cycle", ANIM_CYCLE}, {"dissolve", ANIM_DISSOLVE}, {"randompause", ANIM_RANDOMPAUSE}};

// The rest of the line without its leading blanks.
std::string Rest(std::istringstream& words) {
  std::string rest;
  std::getline(words >> std::ws, rest);
  return rest;
}

}  // namespace

BOOL SceneDescription::Read(std::istream& in, CScene* pScene) {
  m_pScene = pScene;
  std::string line;
  for (int nLine = 1; std::getline(in, line); ++nLine) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line.substr(0, line.find('#')));
    std::string keyword;
    if (!(words >> keyword)) continue;
    if (!Statement(keyword, words)) {
      m_strError = "line " + std::to_string(nLine) + ": " + m_strError;
      return FALSE;
    }
  }
  if (!pScene->m_pBackground) return Fail("the scene has no background");
  return TRUE;
}

bool SceneDescription::Statement(const std::string& keyword, std::istringstream& words) {
  if (keyword == "pictures") {
    std::string name;
    if (!(words >> name)) return Fail("pictures needs the archive's name");
    m_pScene->m_strPictures = name.c_str();
    return true;
  }
  if (keyword == "background") {
    std::string member;
    if (!(words >> member)) return Fail("background needs a picture");
    m_pScene->m_strBackground = member.c_str();
    m_pScene->m_pBackground = std::make_unique<CDIB>();
    if (!m_pScene->m_pBackground->Load(m_pScene->PictureName(member.c_str())))
      return Fail("cannot load " + std::string(m_pScene->PictureName(member.c_str())));
    return true;
  }
  if (keyword == "bubble") return Bubble(words);
  if (keyword == "sprite" || keyword == "phased") return Sprite(keyword, words);
  return Fail("unknown statement '" + keyword + "'");
}

bool SceneDescription::Bubble(std::istringstream& words) {
  std::string name;
  CRect rc;
  if (!(words >> name >> rc.left >> rc.top >> rc.right >> rc.bottom)) return Fail("bubble needs a name and a rectangle");
  if (m_bubbles.count(name)) return Fail("bubble '" + name + "' is stated twice");
  auto* pBubble = new CBubble;
  pBubble->m_rcFirst = rc;
  pBubble->m_strText = Rest(words).c_str();
  // The list puts each new bubble at its head: the one stated last starts on top.
  m_pScene->Add(pBubble);
  m_bubbles[name] = pBubble;
  return true;
}

bool SceneDescription::Sprite(const std::string& keyword, std::istringstream& words) {
  std::string member;
  if (!(words >> member)) return Fail(keyword + " needs a picture");
  std::unique_ptr<CSprite> pSprite(keyword == "phased" ? new CPhasedSprite : new CSprite);
  if (!pSprite->Load(m_pScene->PictureName(member.c_str())))
    return Fail("cannot load " + std::string(m_pScene->PictureName(member.c_str())));
  CBubble* pBubble = nullptr;
  for (std::string option; words >> option;)
    if (!Option(option, words, pSprite.get(), pBubble)) return false;
  m_pScene->Add(pSprite.release(), member.c_str(), pBubble);
  return true;
}

bool SceneDescription::Option(const std::string& option, std::istringstream& words, CSprite* pSprite,
                              CBubble*& pBubble) {
  if (option == "at") {
    if (!(words >> pSprite->m_x >> pSprite->m_y)) return Fail("at needs x and y");
  } else if (option == "z") {
    if (!(words >> pSprite->m_z)) return Fail("z needs a number");
  } else if (option == "mirror-x") {
    pSprite->m_wDrawFlags |= DRAW_MIRROR_X;
  } else if (option == "mirror-y") {
    pSprite->m_wDrawFlags |= DRAW_MIRROR_Y;
  } else if (option == "bubble") {
    std::string name;
    if (!(words >> name) || !m_bubbles.count(name)) return Fail("bubble needs the name of a bubble stated above");
    pBubble = m_bubbles[name];
  } else if (dynamic_cast<CPhasedSprite*>(pSprite) != nullptr) {
    return PhasedOption(option, words, pSprite);
  } else {
    return Fail("unknown option '" + option + "'");
  }
  return true;
}

bool SceneDescription::PhasedOption(const std::string& option, std::istringstream& words, CSprite* pSprite) {
  auto* pPhased = static_cast<CPhasedSprite*>(pSprite);
  int a = 0;
  int b = 0;
  if (option == "grid") {
    if (!(words >> a >> b) || !pPhased->SetNumCellRows(a) || !pPhased->SetNumCellColumns(b))
      return Fail("grid needs rows and columns that the picture can take");
  } else if (option == "cell") {
    if (!(words >> a >> b) || a < 0 || a >= pPhased->m_nRows || b < 0 || b >= pPhased->m_nColumns)
      return Fail("cell needs a row and a column of the grid");
    pPhased->SetCell(a, b);
  } else if (option == "animate") {
    std::string mode;
    if (!(words >> mode >> a) || !kModes.count(mode) || a < 1)
      return Fail("animate needs cycle, dissolve or randompause and a period of 1 ms or more");
    pPhased->m_wKind = static_cast<WORD>((pPhased->m_wKind & ~ANIM_MODE_MASK) | kModes.at(mode));
    pPhased->m_nPeriod = a;
  } else {
    return Fail("unknown option '" + option + "'");
  }
  return true;
}

bool SceneDescription::Fail(const std::string& message) {
  m_strError = message;
  return false;
}
