#include "SkinCheck.h"

#include "CDIB.h"
#include "KdsArchive.h"

#include <cstring>

namespace {

constexpr char kBackground[] = "LoginBk.bmp";
constexpr const char* kButtons[] = {"BtnOK.bmp", "BtnNo.bmp"};
constexpr int kButtonRows = 3;

// Why a member did not load, in the readers' words.
std::string WhyNotLoaded(const KdsArchive& kds, const std::string& member) {
  for (const kds::Entry& entry : kds.Entries())
    if (kds::IsTerminated(entry) && lstrcmpiA(entry.name, member.c_str()) == 0) return "it does not load";
  return "it is missing";
}

std::string Load(const std::string& archive, const KdsArchive& kds, const std::string& member, CDIB& dib) {
  if (!KdsArchive::LoadMember(archive, member, dib)) return member + ": " + WhyNotLoaded(kds, member);
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
  std::string problem = Load(archive, kds, kBackground, background);
  if (!problem.empty()) return problem;
  for (const char* pszButton : kButtons) {
    CDIB button;
    problem = Load(archive, kds, pszButton, button);
    if (!problem.empty()) return problem;
    const int nHeight = button.GetHeight();
    if (nHeight < kButtonRows || nHeight % kButtonRows != 0)
      return std::string(pszButton) + ": its " + std::to_string(nHeight) + " rows of pixels are not three rows of equal height";
    if (!SameColours(background, button))
      return std::string(pszButton) + ": its colours are not the background's, in whose palette it is drawn";
  }
  return {};
}
