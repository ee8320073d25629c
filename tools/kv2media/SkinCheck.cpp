#include "SkinCheck.h"

#include "CDIB.h"
#include "KdsArchive.h"
#include "MediaNames.h"

#include <cstring>

namespace {

constexpr const char* kButtons[] = {media::kSkinOKButton, media::kSkinCancelButton};

// The member's name inside the archive, without the archive's.
std::string Member(const char* pszPath) { return std::strchr(pszPath, '|') + 1; }

// Why a member did not load, in the readers' words.
std::string Load(const std::string& archive, const std::string& member, CDIB& dib) {
  const DIBRefusal refusal = KdsArchive::LoadMember(archive, member, dib);
  if (refusal == DIBRefusal::kMemberNotFound) return member + ": it is missing";
  if (refusal != DIBRefusal::kNone) return member + ": " + DescribeRefusal(refusal);
  const WORD nBits = dib.m_pBMI->bmiHeader.biBitCount;
  if (nBits != 8) return member + ": it has " + std::to_string(nBits) + " bits a pixel, not 8";
  return {};
}

// Every colour the picture declares must sit at the same index of the background's palette.
bool SameColours(const CDIB& background, const CDIB& picture) {
  for (int i = 0; i < picture.GetNumColors(); ++i) {
    const RGBQUAD& a = background.m_pBMI->bmiColors[i];
    const RGBQUAD& b = picture.m_pBMI->bmiColors[i];
    if (a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue) return false;
  }
  return true;
}

}  // namespace

std::string WhySkinNotShown(const std::string& archive) {
  KdsArchive kds;
  std::string error;
  if (!kds.Read(archive, error)) return error;
  CDIB background;
  std::string problem = Load(archive, Member(media::kSkinBackground), background);
  if (!problem.empty()) return problem;
  for (const char* pszButton : kButtons) {
    CDIB button;
    problem = Load(archive, Member(pszButton), button);
    if (!problem.empty()) return problem;
    const int nHeight = button.GetHeight();
    if (nHeight < media::kButtonRows || nHeight % media::kButtonRows != 0)
      return Member(pszButton) + ": its " + std::to_string(nHeight) + " rows of pixels are not three rows of equal height";
    if (!SameColours(background, button))
      return Member(pszButton) + ": its colours are not the background's, in whose palette it is drawn";
  }
  return {};
}
