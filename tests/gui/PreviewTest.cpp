// The preview client's window on the real platform: what it shows after timed steps, what a
// click and a drag do, when it sleeps, and what it says about a scene it cannot read.
#include "CMessageBoxWatcher.h"
#include "CPhasedSprite.h"
#include "CPreviewDlg.h"
#include "CWindowShot.h"
#include "PreviewScene.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

DWORD g_dwNow = 0;
DWORD WINAPI FakeTickCount() { return g_dwNow; }

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CString strError;
    ASSERT_TRUE(m_scene.Load(KV2_DEMO_SCENE, strError)) << strError;
  }
  void TearDown() override {
    if (m_pDlg && m_pDlg->m_hWnd != nullptr) m_pDlg->DestroyWindow();
  }

  // The window on the scene, reading the test's clock, which starts just before the tick count
  // wraps.
  void Open() {
    g_dwNow = 0xFFFFFF00;
    m_pDlg = std::make_unique<CPreviewDlg>(&m_scene);
    m_pDlg->m_pfnTickCount = &FakeTickCount;
    ASSERT_TRUE(m_pDlg->Create());
    m_pDlg->ShowWindow(SW_SHOW);
    m_pDlg->UpdateWindow();
  }
  HWND Window() const { return m_pDlg->m_hWnd; }
  CSprite* Sprite(int i) const { return m_scene.m_actors[i].pSprite; }
  CBubble* Head() { return static_cast<CBubble*>(m_scene.m_bubbles.GetHead()); }
  void Mouse(UINT message, UINT nFlags, int x, int y) {
    SendMessageA(Window(), message, nFlags, MAKELPARAM(x, y));
    m_pDlg->UpdateWindow();
  }

  // Every pixel outside the bubbles shows the back buffer's colour.
  void ExpectTheBufferOnScreen() {
    const CWindowShot shot(Window());
    const CDIB& dib = m_pDlg->m_canvas.m_dib;
    ASSERT_EQ(shot.Width(), dib.GetWidth());
    ASSERT_EQ(shot.Height(), dib.GetHeight());
    int nWrong = 0;
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x) {
        if (InABubble(x, y)) continue;
        const RGBQUAD c = dib.GetColorTable()[*dib.GetPixelAddress(x, y)];
        if (shot.At(x, y) != RGB(c.rgbRed, c.rgbGreen, c.rgbBlue) && nWrong++ < 5)
          ADD_FAILURE() << "pixel " << x << ", " << y << " is " << std::hex << shot.At(x, y);
      }
    EXPECT_EQ(nWrong, 0);
  }
  bool InABubble(int x, int y) const {
    for (POSITION pos = m_scene.m_bubbles.GetHeadPosition(); pos != nullptr;)
      if (static_cast<CBubble*>(m_scene.m_bubbles.GetNext(pos))->m_rcFirst.PtInRect(CPoint(x, y))) return true;
    return false;
  }

  CScene m_scene;
  std::unique_ptr<CPreviewDlg> m_pDlg;
};

TEST_F(PreviewTest, AfterTimedStepsTheWindowShowsTheSceneAsComposed) {
  Open();
  const std::string before(reinterpret_cast<const char*>(m_pDlg->m_canvas.m_dib.m_pBits), 480 * 300);
  const DWORD dwStart = g_dwNow;
  for (DWORD t = 10; t <= 2000; t += 10) m_pDlg->Step(dwStart + t);
  m_pDlg->UpdateWindow();
  EXPECT_NE(std::string(reinterpret_cast<const char*>(m_pDlg->m_canvas.m_dib.m_pBits), 480 * 300), before);
  EXPECT_EQ(static_cast<CPhasedSprite*>(Sprite(3))->m_nColumn, (2000 / 120 + 1) % 4);
  ExpectTheBufferOnScreen();
}

TEST_F(PreviewTest, AClickOnATransparentPixelRaisesNothingAndOnAnOpaqueOneItsBubble) {
  CBubble* pStarBubble = m_scene.BubbleOf(Sprite(2));
  CBubble* pKorviBubble = m_scene.BubbleOf(Sprite(5));
  // The star's bubble laid under the mascot's, so that which is on top shows.
  pStarBubble->m_rcFirst = CRect(170, 140, 350, 180);
  Open();
  ASSERT_EQ(Head(), pKorviBubble);
  // Where the two bubbles overlap, the mascot's lies on top: its face, not the star's edge.
  const COLORREF crFace = CWindowShot(Window()).At(185, 150);
  EXPECT_EQ(CWindowShot(Window()).At(170, 150), crFace);

  // The star's corner is its transparent colour: the click falls through to the meadow.
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 221, 111);
  Mouse(WM_LBUTTONUP, 0, 221, 111);
  EXPECT_EQ(Head(), pKorviBubble);

  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 236, 126);
  Mouse(WM_LBUTTONUP, 0, 236, 126);
  EXPECT_EQ(Head(), pStarBubble);
  EXPECT_NE(CWindowShot(Window()).At(170, 150), crFace) << "the star's bubble does not draw on top";
  EXPECT_EQ(m_scene.m_bubbles.GetCount(), 3);
}

TEST_F(PreviewTest, WhateverAStepRepaintsTheBubblesStayOnTop) {
  Open();
  const DWORD dwStart = g_dwNow;
  for (DWORD t = 10; t <= 3000; t += 10) {
    m_pDlg->Step(dwStart + t);
    m_pDlg->UpdateWindow();
  }
  const CWindowShot stepped(Window());
  InvalidateRect(Window(), nullptr, FALSE);
  m_pDlg->UpdateWindow();
  const CWindowShot whole(Window());
  int nWrong = 0;
  for (int y = 0; y < whole.Height(); ++y)
    for (int x = 0; x < whole.Width(); ++x)
      if (stepped.At(x, y) != whole.At(x, y) && nWrong++ < 5) ADD_FAILURE() << "pixel " << x << ", " << y;
  EXPECT_EQ(nWrong, 0);
}

TEST_F(PreviewTest, AClickOnABubbleRaisesItAndMovesNothingBeneath) {
  Open();
  CBubble* pStarBubble = m_scene.BubbleOf(Sprite(2));
  ASSERT_NE(Head(), pStarBubble);
  // A point of the star's bubble, clear of the one on top, with a sprite drawn beneath.
  CPoint point;
  const auto findPoint = [&] {
    const CRect& rc = pStarBubble->m_rcFirst;
    for (point.y = rc.top; point.y < rc.bottom; ++point.y)
      for (point.x = rc.left; point.x < rc.right; ++point.x)
        if (m_scene.BubbleAt(point) == pStarBubble && m_scene.SpriteAt(point) != nullptr) return true;
    return false;
  };
  ASSERT_TRUE(findPoint());
  CSprite* pBeneath = m_scene.SpriteAt(point);
  const CPoint ptBefore(pBeneath->m_x, pBeneath->m_y);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, point.x, point.y);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, point.x + 30, point.y + 20);
  Mouse(WM_LBUTTONUP, 0, point.x + 30, point.y + 20);
  EXPECT_EQ(Head(), pStarBubble);
  EXPECT_EQ(CPoint(pBeneath->m_x, pBeneath->m_y), ptBefore);
}

TEST_F(PreviewTest, ADragMovesTheSpriteAndTheWindowShowsItWhereItIs) {
  Open();
  CSprite* pKorvi = Sprite(5);
  ASSERT_EQ(pKorvi->m_x, 120);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 152, 226);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 170, 220);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 252, 206);
  Mouse(WM_LBUTTONUP, 0, 252, 206);
  EXPECT_EQ(pKorvi->m_x, 220);
  EXPECT_EQ(pKorvi->m_y, 170);
  // Moves without the button held move nothing.
  Mouse(WM_MOUSEMOVE, 0, 300, 250);
  EXPECT_EQ(pKorvi->m_x, 220);
  ExpectTheBufferOnScreen();
}

TEST_F(PreviewTest, AWindowWithNothingToAnimateSleeps) {
  for (const CScene::Actor& actor : m_scene.m_actors) actor.pSprite->m_wKind &= ~ANIM_MODE_MASK;
  Open();
  Sleep(150);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, Window(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST_F(PreviewTest, AnAnimatedWindowIsWokenForItsNextStep) {
  Open();
  Sleep(150);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, Window(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST(PreviewScene, ADamagedOrMissingSceneIsReportedInAMessageBox) {
  TempDir folder;
  const std::string bytes = TempDir::ReadFile(KV2_DEMO_SCENE);
  folder.Write("K2Scene.dat", bytes.substr(0, bytes.size() / 2));
  struct {
    std::string path;
    const char* pszReason;
  } const cases[] = {
      {folder.Path("K2Scene.dat"), "The picture \"Meadow.bmp\" cannot be read from "},  // no picture archive there
      {folder.Path("Absent.dat"), "Absent.dat"},
  };
  for (const auto& c : cases) {
    CScene scene;
    std::vector<SeenBox> seen;
    {
      CMessageBoxWatcher watcher;
      EXPECT_FALSE(OpenPreviewScene(&scene, c.path.c_str()));
      seen = watcher.Seen();
    }
    ASSERT_EQ(seen.size(), 1u) << c.path;
    EXPECT_EQ(seen[0].text.rfind("Korvi 2 Preview cannot show its scene.", 0), 0u) << seen[0].text;
    EXPECT_NE(seen[0].text.find(c.pszReason), std::string::npos) << seen[0].text;
    EXPECT_EQ(seen[0].uIcon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_TRUE(seen[0].bOK);
  }
}

TEST(PreviewScene, AWindowOnASceneItCannotReadOrComposeSaysWhyAndCloses) {
  TempDir folder;
  struct {
    std::string path;  // empty: the scene as given, here one without a background
    const char* pszReason;
  } const cases[] = {
      {folder.Path("K2Scene.dat"), "K2Scene.dat"},
      {"", "The scene has no background."},
  };
  for (const auto& c : cases) {
    CScene scene;
    CPreviewDlg dlg(&scene, c.path.c_str());
    CMessageBoxWatcher watcher;
    EXPECT_EQ(dlg.DoModal(), IDABORT);
    const std::vector<SeenBox> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u) << c.pszReason;
    EXPECT_EQ(seen[0].text.rfind("Korvi 2 Preview cannot show its scene.", 0), 0u) << seen[0].text;
    EXPECT_NE(seen[0].text.find(c.pszReason), std::string::npos) << seen[0].text;
  }
}

}  // namespace
