// The install procedure on real files: OK typed folder in, files, attributes, progress and every
// message box out.
#include "CMediaDir.h"
#include "CMessageBoxWatcher.h"
#include "CSetupDlg.h"
#include "CSmallDriveFolder.h"
#include "CWinApp.h"
#include "GuiHelpers.h"
#include "TempDir.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

const char kCompletion[] = "Setup is complete. \n\nHave a good time!\n\nWould you like to see the preview?";
const char kCantCreate[] = "Can't create the directory. Choose new one.";
const char kNotFound[] = "The file could not be found.";

// The setup started in fresh media, with a fresh place to install to.
class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenSetup(m_dlg);
    m_hDlg = m_dlg.m_hWnd;
  }

  std::string Folder() const { return m_target.Path("KV2"); }
  std::string Installed(const std::string& name) const { return Folder() + "\\" + name; }

  // Types the folder and presses OK; the boxes that come up are answered in turn.
  std::vector<SeenBox> Install(const std::string& folder, std::vector<int> answers = {}) {
    CMessageBoxWatcher watcher(std::move(answers));
    SetDlgItemTextA(m_hDlg, IDC_FOLDER, folder.c_str());
    Click(m_hDlg, IDOK);
    PumpUntil(m_hDlg, WM_INSTALL);
    return watcher.Seen();
  }

  void ExpectBox(const SeenBox& box, const std::string& text, bool bIcon, bool bCancel,
                 const std::string& caption = "Korvi2") {
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.bIcon, bIcon) << text;
    EXPECT_TRUE(box.bOK) << text;
    EXPECT_EQ(box.bCancel, bCancel) << text;
  }

  // The framework's report of a file failure that left the install: the file and the reason.
  void ExpectFrameworkReport(const SeenBox& box, const std::string& text) {
    EXPECT_EQ(box.caption, ExecutableBaseName());
    EXPECT_EQ(box.text, text);
    EXPECT_TRUE(box.bIcon);
    EXPECT_TRUE(box.bOK);
    EXPECT_FALSE(box.bCancel);
  }

  void ExpectStillOpen() {
    EXPECT_TRUE(m_dlg.ContinueModal());
    EXPECT_TRUE(IsWindowVisible(m_hDlg));
    EXPECT_EQ(ItemText(m_hDlg, IDC_LABEL), "Installing Korvi 2 ...");
  }

  void ExpectEnded() {
    EXPECT_FALSE(m_dlg.ContinueModal());
    EXPECT_FALSE(IsWindowVisible(m_hDlg));
  }

  // The current directory before the dialog loads its skin from it.
  CMediaDir m_media;
  TempDir m_target;
  const CProfileValue m_profile{"C:\\WINDOWS\\CHAT.INI"};
  CSetupDlg m_dlg;
  HWND m_hDlg = nullptr;
};

TEST_F(InstallTest, CopiesEveryListedFileWhileTheBarAdvances) {
  m_media.Write("A.DAT", std::string(100, 'a'));
  m_media.Write("B.DAT", std::string(100, 'b'));
  m_media.Write("C.DAT", std::string(100, 'c'));
  SetFileAttributesA(m_media.Path("B.DAT").c_str(), FILE_ATTRIBUTE_READONLY);
  // The last line has no line end.
  m_media.Write("KV2Setup.inf", "A.DAT\r\nB.DAT\r\nC.DAT");
  CProgressRecorder progress(GetDlgItem(m_hDlg, IDC_PROGRESS));

  const std::vector<SeenBox> boxes = Install(Folder(), {IDCANCEL});

  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  EXPECT_EQ(ItemText(m_hDlg, IDC_FOLDER), Folder() + "\\");
  for (const char* pszName : {"A.DAT", "B.DAT", "C.DAT"}) {
    SCOPED_TRACE(pszName);
    EXPECT_EQ(TempDir::ReadFile(Installed(pszName)), std::string(100, pszName[0] + ('a' - 'A')));
    EXPECT_EQ(GetFileAttributesA(Installed(pszName).c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  }
  EXPECT_EQ(progress.m_ranges, std::vector<LPARAM>{MAKELPARAM(0, 100)});
  EXPECT_EQ(progress.m_positions, (std::vector<int>{0, 33, 66, 100}));
  EXPECT_TRUE(ItemVisible(m_hDlg, IDC_PROGRESS));
  ExpectEnded();
}

TEST_F(InstallTest, AsksBeforeInstallingIntoAnExistingFolder) {
  m_media.Write("A.DAT", "a");
  m_media.Write("KV2Setup.inf", "A.DAT\r\n");
  m_target.MakeFolder("KV2");

  std::vector<SeenBox> boxes = Install(Folder(), {IDCANCEL});
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], "The Directory exists already. Overwrite?", true, true);
  EXPECT_FALSE(TempDir::Exists(Installed("A.DAT")));
  EXPECT_FALSE(ItemVisible(m_hDlg, IDC_PROGRESS));
  ExpectStillOpen();

  boxes = Install(Folder(), {IDOK, IDCANCEL});
  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[1], kCompletion, false, true);
  EXPECT_TRUE(TempDir::Exists(Installed("A.DAT")));
  ExpectEnded();
}

TEST_F(InstallTest, RefusesAFolderItCannotCreateAndTakesAnotherOne) {
  m_media.Write("A.DAT", "a");
  m_media.Write("KV2Setup.inf", "A.DAT\r\n");
  m_target.Write("FILE", "not a folder");
  for (const std::string& folder : {m_target.Path("missing\\KV2"), m_target.Path("FILE")}) {
    SCOPED_TRACE(folder);
    const std::vector<SeenBox> boxes = Install(folder);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], kCantCreate, true, false);
    ExpectStillOpen();
  }
  EXPECT_FALSE(TempDir::Exists(m_target.Path("missing")));

  const std::vector<SeenBox> boxes = Install(Folder(), {IDCANCEL});
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  EXPECT_TRUE(TempDir::Exists(Installed("A.DAT")));
}

TEST_F(InstallTest, SaysWhyTheListCannotBeReadAndLeavesTheFolderEmpty) {
  const auto expectRefused = [&](const std::string& folder, const char* pszText) {
    const std::vector<SeenBox> boxes = Install(folder);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], pszText, false, false);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_FALSE(ItemVisible(m_hDlg, IDC_PROGRESS));
    ExpectStillOpen();
  };
  expectRefused(m_target.Path("KV2"), "Can't find KV2Setup.inf.");
  // There, but not a file that opens.
  m_media.MakeFolder("KV2Setup.inf");
  expectRefused(m_target.Path("KV2b"), "Too many files opened.");
}

TEST_F(InstallTest, StopsWithTheFrameworksReportWhenAListedFileCannotBeOpened) {
  m_media.Write("A.DAT", "a");
  m_media.Write("C.DAT", "c");
  const struct {
    const char* pszList;
    const char* pszFolder;
    const char* pszReport;
  } cases[] = {
      {"A.DAT\r\nMISSING.DAT\r\nC.DAT\r\n", "KV2", "MISSING.DAT\n\nThe file could not be found."},
      // A blank line names a file that cannot exist.
      {"A.DAT\r\n\r\nC.DAT\r\n", "KV2-blank", "All or part of the path is invalid."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszList);
    const std::string folder = m_target.Path(c.pszFolder);
    m_media.Write("KV2Setup.inf", c.pszList);
    const std::vector<SeenBox> boxes = Install(folder);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectFrameworkReport(boxes[0], c.pszReport);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_FALSE(ItemVisible(m_hDlg, IDC_PROGRESS));
    ExpectStillOpen();
  }
}

TEST_F(InstallTest, OffersThePreviewAfterAnEmptyList) {
  m_media.Write("KV2Setup.inf", "");
  CProgressRecorder progress(GetDlgItem(m_hDlg, IDC_PROGRESS));
  const std::vector<SeenBox> boxes = Install(Folder(), {IDCANCEL});
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  EXPECT_EQ(progress.m_positions, std::vector<int>{0});
  EXPECT_TRUE(std::filesystem::is_empty(Folder()));
  ExpectEnded();
}

TEST_F(InstallTest, NamesTheFilesItCouldNotCopyBeforeTheCompletion) {
  m_media.Write("A.DAT", std::string(100, 'a'));
  m_media.Write("SUB\\S.DAT", std::string(100, 's'));
  m_media.Write("KV2Setup.inf", "A.DAT\r\nSUB\\S.DAT\r\n");
  CProgressRecorder progress(GetDlgItem(m_hDlg, IDC_PROGRESS));

  const std::vector<SeenBox> boxes = Install(Folder(), {IDOK, IDCANCEL});

  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[0], "1 file could not be copied:\n\nSUB\\S.DAT", true, false);
  ExpectBox(boxes[1], kCompletion, false, true);
  EXPECT_TRUE(TempDir::Exists(Installed("A.DAT")));
  EXPECT_FALSE(TempDir::Exists(Installed("SUB")));
  // The file that was not copied still counts.
  EXPECT_EQ(progress.m_positions, (std::vector<int>{0, 50, 100}));
  ExpectEnded();
}

TEST_F(InstallTest, CopiesNothingOutsideTheFolder) {
  // The media one level down, so that lines climbing out of it still find their sources.
  m_media.MakeFolder("CD");
  ASSERT_TRUE(SetCurrentDirectoryA(m_media.Path("CD").c_str()));
  const std::string payload(100, 't');
  for (const char* pszName : {"CD\\A.DAT", "CD\\B.DAT", "readme.txt", "x.dll"}) m_media.Write(pszName, payload);
  // What a tampered list would overwrite: beside the folder, above it, and by an absolute name.
  m_target.Write("readme.txt", "original");
  m_target.Write("x.dll", "original");
  SetFileAttributesA(m_target.Path("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string absolute = m_target.Path("abs.txt");
  m_media.Write("CD\\KV2Setup.inf",
                "A.DAT\r\n..\\readme.txt\r\nSUB\\..\\..\\x.dll\r\nSUB\\..\\B.DAT\r\n" + absolute + "\r\n");
  m_target.Write("abs.txt", std::string(100, 'o'));
  CProgressRecorder progress(GetDlgItem(m_hDlg, IDC_PROGRESS));

  const std::vector<SeenBox> boxes = Install(Folder(), {IDOK, IDCANCEL});

  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[0], "3 files could not be copied:\n\n..\\readme.txt\nSUB\\..\\..\\x.dll\n" + absolute, true, false);
  ExpectBox(boxes[1], kCompletion, false, true);
  EXPECT_EQ(m_target.Read("readme.txt"), "original");
  EXPECT_EQ(m_target.Read("x.dll"), "original");
  EXPECT_EQ(m_target.Read("abs.txt"), std::string(100, 'o'));
  EXPECT_TRUE(GetFileAttributesA(m_target.Path("readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(m_media.Read("readme.txt"), payload);
  // Inside, everything installs as before; the refused lines still count toward the progress.
  EXPECT_EQ(TempDir::ReadFile(Installed("A.DAT")), payload);
  EXPECT_EQ(TempDir::ReadFile(Installed("B.DAT")), payload);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder()), std::filesystem::directory_iterator()), 2);
  EXPECT_EQ(progress.m_positions, (std::vector<int>{0, 20, 40, 60, 80, 100}));
  ExpectEnded();
}

TEST_F(InstallTest, InstallsAListEndedByCtrlZ) {
  m_media.Write("A.DAT", "a");
  m_media.Write("B.DAT", "b");
  m_media.Write("KV2Setup.inf", "A.DAT\r\nB.DAT\r\n\x1a");
  const std::vector<SeenBox> boxes = Install(Folder(), {IDCANCEL});
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  EXPECT_EQ(TempDir::ReadFile(Installed("A.DAT")), "a");
  EXPECT_EQ(TempDir::ReadFile(Installed("B.DAT")), "b");
  ExpectEnded();
}

TEST_F(InstallTest, ReplacesEveryFileOfAFinishedInstall) {
  m_media.Write("A.DAT", "new a");
  m_media.Write("B.DAT", "new b");
  m_media.Write("KV2Setup.inf", "A.DAT\r\nB.DAT\r\n");
  m_target.Write("KV2\\A.DAT", "old a");
  m_target.Write("KV2\\B.DAT", "old b");
  m_target.Write("KV2\\USER.INI", "kept");
  SetFileAttributesA(Installed("A.DAT").c_str(), FILE_ATTRIBUTE_ARCHIVE);
  const FILETIME ftSource{0x12345600, 0x01C00000};
  {
    const HANDLE h = CreateFileA(m_media.Path("A.DAT").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ftSource));
    CloseHandle(h);
  }

  const std::vector<SeenBox> boxes = Install(Folder(), {IDOK, IDCANCEL});

  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[0], "The Directory exists already. Overwrite?", true, true);
  ExpectBox(boxes[1], kCompletion, false, true);
  EXPECT_EQ(TempDir::ReadFile(Installed("A.DAT")), "new a");
  EXPECT_EQ(TempDir::ReadFile(Installed("B.DAT")), "new b");
  // The replacement carries the source's last write time, as a copy does.
  WIN32_FILE_ATTRIBUTE_DATA installed{};
  ASSERT_TRUE(GetFileAttributesExA(Installed("A.DAT").c_str(), GetFileExInfoStandard, &installed));
  EXPECT_EQ(CompareFileTime(&installed.ftLastWriteTime, &ftSource), 0);
  // What the list does not name is not touched.
  EXPECT_EQ(TempDir::ReadFile(Installed("USER.INI")), "kept");
  ExpectEnded();
}

// Windows refuses to replace a read-only file, Wine replaces it: either way the user is told
// the truth and the file is either the new one or the old one untouched.
TEST_F(InstallTest, ReplacesAReadOnlyDestinationOrSaysItCouldNot) {
  m_media.Write("A.DAT", "new a");
  m_media.Write("B.DAT", "new b");
  m_media.Write("KV2Setup.inf", "A.DAT\r\nB.DAT\r\n");
  m_target.Write("KV2\\A.DAT", "old a");
  SetFileAttributesA(Installed("A.DAT").c_str(), FILE_ATTRIBUTE_READONLY);

  const std::vector<SeenBox> boxes = Install(Folder(), {IDOK, IDOK, IDCANCEL});

  ASSERT_GE(boxes.size(), 2u);
  ExpectBox(boxes.back(), kCompletion, false, true);
  const DWORD dwAttributes = GetFileAttributesA(Installed("A.DAT").c_str());
  if (boxes.size() == 3u) {
    ExpectBox(boxes[1], "1 file could not be copied:\n\nA.DAT", true, false);
    EXPECT_EQ(TempDir::ReadFile(Installed("A.DAT")), "old a");
    EXPECT_TRUE(dwAttributes & FILE_ATTRIBUTE_READONLY);
  } else {
    EXPECT_EQ(TempDir::ReadFile(Installed("A.DAT")), "new a");
    EXPECT_EQ(dwAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  }
  EXPECT_EQ(TempDir::ReadFile(Installed("B.DAT")), "new b");
  ExpectEnded();
}

TEST_F(InstallTest, InstallsAListOfTenThousandLines) {
  m_media.Write("A.DAT", "a");
  m_media.Write("B.DAT", "b");
  std::string list;
  for (int i = 0; i < 5000; ++i) list += "A.DAT\r\nB.DAT\r\n";
  m_media.Write("KV2Setup.inf", list);
  CProgressRecorder progress(GetDlgItem(m_hDlg, IDC_PROGRESS));

  const std::vector<SeenBox> boxes = Install(Folder(), {IDCANCEL});

  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  EXPECT_EQ(TempDir::ReadFile(Installed("A.DAT")), "a");
  EXPECT_EQ(TempDir::ReadFile(Installed("B.DAT")), "b");
  ASSERT_EQ(progress.m_positions.size(), 10001u);
  // The single-precision sum of 10000 equal shares ends a little off 100.
  EXPECT_NEAR(progress.m_positions.back(), 100, 1);
  ExpectEnded();
}

TEST_F(InstallTest, StartsTheInstalledClientInItsFolder) {
  char szPath[MAX_PATH];
  GetModuleFileNameA(nullptr, szPath, MAX_PATH);
  std::string client(szPath);
  client = client.substr(0, client.rfind('\\') + 1) + "KV2.EXE";
  ASSERT_TRUE(CopyFileA(client.c_str(), m_media.Path("KV2.EXE").c_str(), FALSE));
  const std::string scene = KV2_DEMO_SCENE;
  m_media.Write("K2Scene.dat", TempDir::ReadFile(scene));
  m_media.Write("K2Scene.kds", TempDir::ReadFile(scene.substr(0, scene.size() - 3) + "kds"));
  m_media.Write("KV2Setup.inf", "KV2.EXE\r\nK2Scene.dat\r\nK2Scene.kds\r\n");

  // The client outlives the setup; it must not outlive this test, whatever the test finds.
  struct ClientCloser {
    ~ClientCloser() {
      const HWND hClient = FindWindowA(nullptr, "Korvi 2 Preview");
      if (hClient == nullptr) return;
      DWORD pid = 0;
      GetWindowThreadProcessId(hClient, &pid);
      const HANDLE hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
      PostMessageA(hClient, WM_CLOSE, 0, 0);
      if (hProcess == nullptr) return;
      if (WaitForSingleObject(hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(hProcess, 1);
      CloseHandle(hProcess);
    }
  } closer;
  const DWORD dwStart = GetTickCount();
  const std::vector<SeenBox> boxes = Install(Folder(), {IDOK});
  // The setup waits for the client at most 10 s; a client that is ready at once ends the wait
  // long before.
  EXPECT_LT(GetTickCount() - dwStart, 5000u);

  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  ExpectEnded();
  char szCurrent[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, szCurrent);
  EXPECT_STREQ(szCurrent, Folder().c_str());
  // The setup waited until the client was ready for input: its window is there.
  const HWND hClient = FindWindowA(nullptr, "Korvi 2 Preview");
  ASSERT_NE(hClient, nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(hClient, &pid);
  EXPECT_NE(pid, GetCurrentProcessId());
}

TEST_F(InstallTest, ClosesWithoutAWordWhenTheClientIsMissing) {
  m_media.Write("A.DAT", "a");
  m_media.Write("KV2Setup.inf", "A.DAT\r\n");
  const std::vector<SeenBox> boxes = Install(Folder(), {IDOK});
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  ExpectEnded();
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, m_hDlg, WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

// The media change between the passes: the file is gone when its turn comes to be copied.
TEST_F(InstallTest, StopsWithTheFrameworksReportWhenASourceGoesBetweenThePasses) {
  for (const char* pszName : {"A.DAT", "B.DAT", "C.DAT"}) m_media.Write(pszName, std::string(100, 'x'));
  m_media.Write("KV2Setup.inf", "A.DAT\r\nB.DAT\r\nC.DAT\r\n");
  CProgressRecorder progress(GetDlgItem(m_hDlg, IDC_PROGRESS));
  // The bar is first set when the sizes are totalled and the copying is about to begin.
  progress.m_atFirstPosition = [&] { std::filesystem::remove(m_media.Path("B.DAT")); };

  const std::vector<SeenBox> boxes = Install(Folder());

  ASSERT_EQ(boxes.size(), 1u);
  ExpectFrameworkReport(boxes[0], std::string("B.DAT\n\n") + kNotFound);
  EXPECT_EQ(TempDir::ReadFile(Installed("A.DAT")), std::string(100, 'x'));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder()), std::filesystem::directory_iterator()), 1);
  EXPECT_EQ(progress.m_positions, (std::vector<int>{0, 33}));
  EXPECT_TRUE(ItemVisible(m_hDlg, IDC_PROGRESS));
  ExpectStillOpen();
  // The list was closed on the way out: the media can be changed at once.
  EXPECT_TRUE(DeleteFileA(m_media.Path("KV2Setup.inf").c_str()));
}

TEST_F(InstallTest, RefusesAFolderLongerThanThePlatformAllows) {
  m_media.Write("A.DAT", "a");
  m_media.Write("KV2Setup.inf", "A.DAT\r\n");
  // The parent exists; only the last level would take the path past MAX_PATH.
  const std::string parent = m_target.Path(std::string(150, 'p'));
  std::filesystem::create_directories(parent);
  const std::string folder = parent + "\\" + std::string(MAX_PATH - 100, 'f');
  ASSERT_GT(folder.size(), static_cast<size_t>(MAX_PATH));

  const std::vector<SeenBox> boxes = Install(folder);

  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCantCreate, true, false);
  EXPECT_TRUE(std::filesystem::is_empty(parent));
  ExpectStillOpen();
}

TEST_F(InstallTest, InstallsIntoAFolderWithAKoreanName) {
  // "설치" and "한글.DAT" in the ANSI code page, 949.
  const std::string korean = "\xBC\xB3\xC4\xA1";
  const std::string file = "\xC7\xD1\xB1\xDB.DAT";
  m_media.Write("ascii.tmp", "hangul");
  ASSERT_TRUE(MoveFileA(m_media.Path("ascii.tmp").c_str(), (m_media.Path() + "\\" + file).c_str()));
  m_media.Write("A.DAT", "a");
  m_media.Write("KV2Setup.inf", "A.DAT\r\n" + file + "\r\n");
  const std::string folder = m_target.Path() + "\\" + korean;

  const std::vector<SeenBox> boxes = Install(folder, {IDCANCEL});

  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], kCompletion, false, true);
  EXPECT_EQ(ItemText(m_hDlg, IDC_FOLDER), folder + "\\");
  EXPECT_EQ(TempDir::ReadFile(folder + "\\" + file), "hangul");
  EXPECT_EQ(TempDir::ReadFile(folder + "\\A.DAT"), "a");
  // The names on disk are the Korean ones, not bytes taken for another code page.
  const std::filesystem::path installed = std::filesystem::path(m_target.Path()) / L"\uC124\uCE58";
  EXPECT_EQ(std::filesystem::file_size(installed / L"\uD55C\uAE00.DAT"), 6u);
  EXPECT_TRUE(std::filesystem::exists(installed / L"A.DAT"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_target.Path()), std::filesystem::directory_iterator()), 1);
  ExpectEnded();
}

TEST_F(InstallTest, TellsWhichFilesDidNotFitOnAFullDrive) {
  const CSmallDriveFolder drive;
  ASSERT_TRUE(drive.Mounted());
  const std::string a(200 << 10, 'a'), b(900 << 10, 'b'), c(200 << 10, 'c');
  m_media.Write("A.DAT", a);
  m_media.Write("B.DAT", b);
  m_media.Write("C.DAT", c);
  m_media.Write("KV2Setup.inf", "A.DAT\r\nB.DAT\r\nC.DAT\r\n");
  CProgressRecorder progress(GetDlgItem(m_hDlg, IDC_PROGRESS));

  const std::vector<SeenBox> boxes = Install(drive.Path(), {IDOK, IDCANCEL});

  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[0], "1 file could not be copied:\n\nB.DAT", true, false);
  ExpectBox(boxes[1], kCompletion, false, true);
  EXPECT_TRUE(TempDir::ReadFile(drive.Path() + "\\A.DAT") == a);
  EXPECT_TRUE(TempDir::ReadFile(drive.Path() + "\\C.DAT") == c);
  // What did not fit leaves nothing behind: no truncated file taking the space of the others.
  EXPECT_FALSE(TempDir::Exists(drive.Path() + "\\B.DAT"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(drive.Path()), std::filesystem::directory_iterator()), 2);
  EXPECT_EQ(progress.m_positions, (std::vector<int>{0, 15, 84, 100}));
  ExpectEnded();
}

// A file that is there already is replaced only by a whole copy: one that does not fit leaves
// the old file as it was, and nothing of the attempt.
TEST_F(InstallTest, KeepsAFileWhoseReplacementDidNotFit) {
  const CSmallDriveFolder drive;
  ASSERT_TRUE(drive.Mounted());
  const std::string a(200 << 10, 'a'), b(900 << 10, 'b');
  m_media.Write("A.DAT", a);
  m_media.Write("B.DAT", b);
  m_media.Write("KV2Setup.inf", "A.DAT\r\nB.DAT\r\n");
  ASSERT_TRUE(CreateDirectoryA(drive.Path().c_str(), nullptr));
  std::ofstream(drive.Path() + "\\B.DAT", std::ios::binary) << "old b";

  const std::vector<SeenBox> boxes = Install(drive.Path(), {IDOK, IDOK, IDCANCEL});

  ASSERT_EQ(boxes.size(), 3u);
  ExpectBox(boxes[1], "1 file could not be copied:\n\nB.DAT", true, false);
  EXPECT_TRUE(TempDir::ReadFile(drive.Path() + "\\A.DAT") == a);
  EXPECT_EQ(TempDir::ReadFile(drive.Path() + "\\B.DAT"), "old b");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(drive.Path()), std::filesystem::directory_iterator()), 2);
  ExpectEnded();
}

}  // namespace
