// The setup dialog from start-up to OK: the proposed folder, the layout, the labels, quitting.
#include "CMediaDir.h"
#include "CMessageBoxWatcher.h"
#include "CSetupDlg.h"
#include "CWinApp.h"
#include "GuiHelpers.h"
#include "TempDir.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct ProposalCase {
  const char* pszValue;  // null: no profile entry
  std::string folder;
};

// 300 characters whose last backslash lies beyond the 255 that are read.
const std::string kLongValue = "C:\\" + std::string(200, 'D') + "\\" + std::string(76, 'E') + "\\" + std::string(19, 'F');

TEST(SetupDialog, ProposesAFolderBesideTheProfileValue) {
  const ProposalCase cases[] = {
      {nullptr, "C:\\Program Files\\KV2\\"},
      {"", "C:\\Program Files\\KV2\\"},
      {"x", "C:\\Program Files\\KV2\\"},
      {"C:\\WINDOWS\\CHAT.INI", "C:\\WINDOWS\\KV2\\"},
      {"D:\\Apps\\Chat\\setup.ini", "D:\\Apps\\Chat\\KV2\\"},
      {"C:\\Apps\\", "C:\\Apps\\KV2\\"},
      {"C:\\", "C:\\KV2\\"},
      {kLongValue.c_str(), "C:\\" + std::string(200, 'D') + "\\KV2\\"},
  };
  for (const ProposalCase& c : cases) {
    SCOPED_TRACE(c.pszValue != nullptr ? c.pszValue : "(no entry)");
    const CProfileValue profile(c.pszValue);
    const CMediaDir media;
    CSetupDlg dlg;
    OpenSetup(dlg);
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_FOLDER), c.folder);
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_LABEL), "Setup will install Korvi 2 to...");
    EXPECT_FALSE(ItemVisible(dlg.m_hWnd, IDC_PROGRESS));
  }
}

TEST(SetupDialog, LaysOutTheControlsInPixels) {
  const CMediaDir media;
  CSetupDlg dlg;
  OpenSetup(dlg);
  const struct {
    int nID;
    RECT rc;
  } expected[] = {
      {IDC_FOLDER, {80, 210, 340, 230}},
      {IDC_LABEL, {65, 190, 390, 210}},
      {IDC_PROGRESS, {80, 235, 340, 245}},
  };
  for (const auto& e : expected) {
    const RECT rc = ItemRect(dlg.m_hWnd, e.nID);
    EXPECT_TRUE(EqualRect(&rc, &e.rc)) << "control " << e.nID << ": " << rc.left << "," << rc.top << ","
                                       << rc.right << "," << rc.bottom;
  }
}

TEST(SetupDialog, QuitsWithoutShowingWhenTheProfileNamesNoFolder) {
  for (const char* pszValue : {"chat.ini", "C:", "\\chat.ini"}) {
    SCOPED_TRACE(pszValue);
    const CProfileValue profile(pszValue);
    const CMediaDir media;
    CShowRecorder shows;
    std::vector<SeenBox> boxes;
    {
      CMessageBoxWatcher watcher;
      CSetupDlg dlg;
      AfxGetApp()->m_pMainWnd = &dlg;
      EXPECT_EQ(dlg.DoModal(), -1);
      boxes = watcher.Seen();
    }
    EXPECT_FALSE(shows.m_bShown);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(static_cast<int>(msg.wParam), -1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, ExecutableBaseName());
    EXPECT_EQ(boxes[0].text, pszValue);
    EXPECT_FALSE(boxes[0].bIcon);
    EXPECT_TRUE(boxes[0].bOK);
    EXPECT_FALSE(boxes[0].bCancel);
  }
}

TEST(SetupDialog, OkShowsTheInstallingLabelAndPostsTheInstall) {
  const CMediaDir media;
  CSetupDlg dlg;
  OpenSetup(dlg);
  Click(dlg.m_hWnd, IDOK);
  EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_LABEL), "Installing Korvi 2 ...");
  EXPECT_TRUE(ItemVisible(dlg.m_hWnd, IDC_LABEL));
  EXPECT_TRUE(dlg.ContinueModal());
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, dlg.m_hWnd, WM_INSTALL, WM_INSTALL, PM_REMOVE));
}

TEST(SetupDialog, CancelEndsTheProgramWithoutCreatingTheFolder) {
  TempDir parent;
  const CProfileValue profile(parent.Path("CHAT.INI").c_str());
  const CMediaDir media;
  CSetupDlg dlg;
  AfxGetApp()->m_pMainWnd = &dlg;
  std::thread driver([] {
    if (const HWND hDlg = WaitForDialog()) PostMessageA(GetDlgItem(hDlg, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  driver.join();
  EXPECT_FALSE(TempDir::Exists(parent.Path("KV2")));
}

}  // namespace
