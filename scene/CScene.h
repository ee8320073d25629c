// The preview client's scene: a background, sprites in drawing order, and chat bubbles, some of
// them tied to a sprite. It is stored as one archive of objects; its pictures are members of an
// image archive beside it, which the scene names.
#pragma once

#include "CBubble.h"
#include "CBubbleList.h"
#include "CDIB.h"
#include "CSprite.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CScene : public CObject {
  DECLARE_SERIAL(CScene)

 public:
  static constexpr DWORD kMaxSprites = 256;

  CScene() = default;
  // Deletes its sprites and its bubbles: the scene owns both.
  ~CScene() override;
  CScene(const CScene&) = delete;
  CScene& operator=(const CScene&) = delete;

  // The picture archive and the background's member, the bubbles in list form, then for each
  // sprite its member, its bubble's place in the list (-1 for none), its animation mode, draw
  // flags and period, its class and its own data. Loading takes the pictures from the archive
  // in the folder of m_strFolder, before each sprite reads its own data; sprites of one member
  // share one picture, which the scene owns. Refused: more than kMaxSprites sprites, an empty
  // entry in the bubble list, a picture that is not 8 bits per pixel with a colour table, and a
  // period the scheduler cannot wait for.
  void Serialize(CArchive& ar) override;

  // The scene file at pszPath, whose pictures lie in the same folder. FALSE, with a sentence
  // for the user in strError, when the file or one of its pictures cannot be read; the scene is
  // then empty.
  BOOL Load(const char* pszPath, CString& strError);
  BOOL Store(const char* pszPath, CString& strError);

  // A sprite added by the owner of the scene (the tool that writes it) with its picture loaded.
  void Add(CSprite* pSprite, const char* pszPicture, CBubble* pBubble = nullptr);
  void Add(CBubble* pBubble) { m_bubbles.Add(pBubble); }

  // The topmost bubble drawn at point, or null. A bubble is drawn as its first rectangle with
  // corners rounded by ellipses of m_sizePair.
  CBubble* BubbleAt(const POINT& point) const;
  // The topmost sprite with an opaque pixel drawn at point, its mirrors applied, or null.
  CSprite* SpriteAt(const POINT& point) const;
  // The bubble tied to the sprite, or null.
  CBubble* BubbleOf(const CSprite* pSprite) const;
  // Tells the bubble, through the sink of its list, to come to the top; FALSE when it has no
  // list.
  static BOOL Raise(CBubble* pBubble);
  // The same for the sprite's bubble; FALSE when the sprite has none.
  BOOL Raise(const CSprite* pSprite);
  // "archive|member" of a picture of this scene.
  CString PictureName(const CString& strMember) const;

  struct Actor {
    CSprite* pSprite;
    CString strPicture;  // member of the picture archive
    CBubble* pBubble;    // one of m_bubbles, or null
  };

  CString m_strFolder;    // where the picture archive lies, with its trailing backslash; may be empty
  CString m_strPictures;  // the picture archive's name without its extension
  CString m_strBackground;
  std::unique_ptr<CDIB> m_pBackground;  // a picture of its own: the sprites' may be remapped
  std::vector<Actor> m_actors;  // back to front
  CBubbleList m_bubbles;        // the head is drawn on top

 private:
  void StoreActor(CArchive& ar, const Actor& actor) const;
  void LoadActor(CArchive& ar);
  // A new picture of the member; a failure throws.
  CDIB* LoadPicture(const CString& strMember);
  // The member's picture, loaded the first time it is asked for; the scene keeps it.
  CDIB* Picture(const CString& strMember);
  void Clear();

  std::map<std::string, std::unique_ptr<CDIB>> m_pictures;  // the sprites' pictures, by member
  // Ends the load with a sentence of its own for the user.
  [[noreturn]] void Refuse(const CString& strReason);

  CString m_strRefusal;  // why the load was refused, when a sentence of the scene's says it best
};
