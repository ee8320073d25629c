// The demo media's skin archive as the setup dialog reads it, plain and compressed as a whole:
// three 8-bit pictures in one colour table, the buttons three cells high, all of it fitting the
// dialog's fixed layout.
#include "CDIB.h"
#include "SzddCompressor.h"
#include "imaging/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace imaging_test;

namespace {

struct Skin {
  CDIB background, ok, cancel;
};

void LoadSkin(Skin& skin) {
  ASSERT_EQ(skin.background.Load("K2Login|LoginBk.bmp"), 1);
  ASSERT_EQ(skin.ok.Load("K2Login|BtnOK.bmp"), 1);
  ASSERT_EQ(skin.cancel.Load("K2Login|BtnNo.bmp"), 1);
}

void ExpectFitsTheDialog(const Skin& skin) {
  const CDIB& bk = skin.background;
  // The label reaches x 390, the progress bar y 245.
  EXPECT_GE(bk.GetWidth(), 390);
  EXPECT_GE(bk.GetHeight(), 245);
  for (const CDIB* pButton : {&skin.ok, &skin.cancel}) {
    EXPECT_EQ(pButton->GetHeight() % 3, 0) << "three cells of equal height";
    // The OK button's cell lies at (349, 238), the Cancel button's at (17, 238).
    EXPECT_LE(349 + pButton->GetWidth(), bk.GetWidth());
    EXPECT_LE(238 + pButton->GetHeight() / 3, bk.GetHeight());
    EXPECT_EQ(std::memcmp(pButton->m_pBMI->bmiColors, bk.m_pBMI->bmiColors, 256 * sizeof(RGBQUAD)), 0)
        << "the buttons are drawn in the background's palette";
  }
}

TEST(SkinArchive, TheDemoSkinFitsTheDialogPlainAndCompressed) {
  const Bytes plain = ReadBytes(KV2_SKIN_ARCHIVE);
  ASSERT_EQ(std::memcmp(plain.data(), "DS", 2), 0);
  const Bytes compressed = SzddCompressor().Compress(plain.data(), plain.size());
  for (const Bytes* pArchive : {&plain, &compressed}) {
    SCOPED_TRACE(pArchive == &plain ? "plain" : "compressed");
    ScratchDir scratch;
    WriteBytes("K2Login.kds", *pArchive);
    Skin skin;
    LoadSkin(skin);
    ExpectFitsTheDialog(skin);
  }
}

}  // namespace
