// The readable description of a preview scene, one statement a line, turned into a CScene with
// its pictures loaded from the picture archive in the scene's folder:
//
//   pictures ARCHIVE                   the image archive, without ".kds"
//   background MEMBER
//   bubble NAME LEFT TOP RIGHT BOTTOM TEXT...
//   sprite MEMBER [OPTION...]          a plain colour-keyed sprite
//   phased MEMBER [OPTION...]          a phased sprite
//
// Options: "at X Y", "z Z", "mirror-x", "mirror-y", "bubble NAME" (a bubble stated above), and
// for a phased sprite "grid ROWS COLUMNS", "cell ROW COLUMN" and "animate cycle|dissolve|
// randompause PERIOD". Sprites are drawn in the order stated; "#" starts a comment.
#pragma once

#include "CScene.h"

#include <map>
#include <sstream>
#include <string>

class SceneDescription {
 public:
  // Reads the description into pScene, whose m_strFolder says where the picture archive is.
  // FALSE, with the line and what is wrong with it in m_strError, at the first bad statement.
  BOOL Read(std::istream& in, CScene* pScene);

  std::string m_strError;

 private:
  bool Statement(const std::string& keyword, std::istringstream& words);
  bool Bubble(std::istringstream& words);
  bool Sprite(const std::string& keyword, std::istringstream& words);
  bool Option(const std::string& option, std::istringstream& words, CSprite* pSprite, CBubble*& pBubble);
  bool PhasedOption(const std::string& option, std::istringstream& words, CSprite* pSprite);
  bool Fail(const std::string& message);

  CScene* m_pScene = nullptr;
  std::map<std::string, CBubble*> m_bubbles;
};
