#include "CodePage.h"
#include "KdsArchive.h"
#include "MediaTool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sstream>

#include <spawn.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A Windows program for a machine type: its headers, as complete as a signing tool needs them,
// and nothing more.
std::string Program(std::uint16_t nMachine) {
  std::string bytes(0x200, '\0');
  const auto put = [&](std::size_t nOffset, std::uint32_t nValue, int nBytes) {
    for (int i = 0; i < nBytes; ++i) bytes[nOffset + i] = static_cast<char>(nValue >> (8 * i));
  };
  bytes.replace(0, 2, "MZ");
  put(0x3C, 0x40, 4);
  bytes.replace(0x40, 2, "PE");
  put(0x44, nMachine, 2);
  put(0x54, 0xE0, 2);      // the size of the optional header
  put(0x56, 0x0102, 2);    // an executable for 32-bit machines
  put(0x58, 0x10B, 2);     // PE32
  put(0x74, 0x400000, 4);  // image base
  put(0x78, 0x1000, 4);    // section alignment
  put(0x7C, 0x200, 4);     // file alignment
  put(0x80, 4, 2);         // subsystem version
  put(0x90, 0x1000, 4);    // image size
  put(0x94, 0x200, 4);     // headers' size
  put(0x9C, 2, 2);         // a program with windows
  put(0xB4, 16, 4);        // data directories
  return bytes;
}

// The tool itself, its streams on the descriptors given.
pid_t Spawn(const std::vector<std::string>& args, int nOut, int nErr) {
  std::vector<std::string> all{KV2MEDIA};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, nOut, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, nErr, STDERR_FILENO);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit status as a shell reports it.
int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs the tool, calls act with its process once its first progress line shows the copy under
// way, and returns its status and what it wrote to stderr.
std::pair<int, std::string> RunActingMidCopy(const std::vector<std::string>& args, const std::function<void(pid_t)>& act) {
  int pipe[2];
  if (::pipe(pipe) != 0) return {-1, "no pipe"};
  const int nNull = ::open("/dev/null", O_WRONLY);
  const pid_t pid = Spawn(args, nNull, pipe[1]);
  ::close(pipe[1]);
  ::close(nNull);
  std::string err;
  char c = 0;
  while (err.find("kv2media: copied") == std::string::npos && ::read(pipe[0], &c, 1) == 1) err += c;
  act(pid);
  while (::read(pipe[0], &c, 1) == 1) err += c;
  ::close(pipe[0]);
  const int nStatus = Wait(pid);
  return {nStatus, err};
}

// A file not even root can remove while the flag is set; false where the file system has none.
bool SetImmutable(const fs::path& path, bool bImmutable) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  int flags = 0;
  const bool bDone = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags = bImmutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL,
                      ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
  if (fd >= 0) ::close(fd);
  return bDone;
}

// The project's skin, taken apart so that a test can spoil one member.
std::vector<KdsArchive::Member> SkinMembers() {
  KdsArchive kds;
  std::string error;
  EXPECT_TRUE(kds.Read(KV2_SKIN_ARCHIVE, error)) << error;
  std::vector<KdsArchive::Member> members;
  for (const kds::Entry& entry : kds.Entries()) {
    const std::span<const BYTE> bytes = kds.MemberBytes(entry);
    members.push_back({entry.name, Bytes(bytes.begin(), bytes.end())});
  }
  return members;
}

Bytes& MemberNamed(std::vector<KdsArchive::Member>& members, const std::string& name) {
  for (KdsArchive::Member& member : members)
    if (member.name == name) return member.bytes;
  throw std::runtime_error("no member " + name);
}

class MediaToolTest : public testing::Test {
 public:
  void SetUp() override {
    fs::remove_all(m_root);
    fs::create_directories(m_payload);
    WriteAll(m_setup, Program(0x014C));
    WriteAll(m_payload / "KV2.EXE", "MZ the client");
    m_options = MediaTool::BuildOptions();
    m_options.payload = m_payload.string();
    m_options.out = m_out.string();
    m_options.setup = m_setup.string();
    m_options.skin = KV2_SKIN_ARCHIVE;
  }
  void TearDown() override {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(m_root))
      if (!e.is_symlink()) fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(m_root);
  }

  void UseSkin(const std::vector<KdsArchive::Member>& members) {
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(KdsArchive::Build(members, bytes, error)) << error;
    WriteAll(m_root / "skin.kds", std::string(bytes.begin(), bytes.end()));
    m_options.skin = (m_root / "skin.kds").string();
  }

  const fs::path m_root = fs::temp_directory_path() / ("kv2media-test-" + std::to_string(::getpid()));
  const fs::path m_payload = m_root / "payload";
  const fs::path m_out = m_root / "out";
  const fs::path m_setup = m_root / "KV2Setup.exe";
  MediaTool::BuildOptions m_options;

 protected:
  int Build() { return MediaTool(m_stdout, m_stderr).Build(m_options); }
  int Check(UINT nCodePage = 0) { return MediaTool(m_stdout, m_stderr).Check(m_out.string(), nCodePage); }

  // The tool run with its streams in files; the status.
  int Run(const std::vector<std::string>& args) {
    const int nOut = ::open((m_root / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int nErr = ::open((m_root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int nStatus = Wait(Spawn(args, nOut, nErr));
    ::close(nOut);
    ::close(nErr);
    m_stdout.str(ReadAll(m_root / "stdout"));
    m_stderr.str(ReadAll(m_root / "stderr"));
    return nStatus;
  }
  std::vector<std::string> BuildArgs() const {
    return {"build", "--setup", m_options.setup, "--skin", m_options.skin, m_options.payload, m_options.out};
  }

  std::ostringstream m_stdout, m_stderr;
};

struct Refusal {
  const char* pszWhat;
  std::function<void(MediaToolTest&)> spoil;
  std::string message;  // PAYLOAD and ROOT at its start stand for those folders
};

}  // namespace

TEST_F(MediaToolTest, RefusesNamingTheFileAndTheReasonAndLeavesOutUntouched) {
  using T = MediaToolTest;
  const auto file = [](const char* pszName) {
    return [=](T& t) { WriteAll(t.m_payload / pszName, "data"); };
  };
  const auto skin = [](std::function<void(std::vector<KdsArchive::Member>&)> change) {
    return [=](T& t) {
      std::vector<KdsArchive::Member> members = SkinMembers();
      change(members);
      t.UseSkin(members);
    };
  };
  const Refusal refusals[] = {
      {"subfolder", [](T& t) { fs::create_directory(t.m_payload / "sub"); WriteAll(t.m_payload / "sub" / "a.txt", "x"); },
       "PAYLOAD/sub/a.txt: error: in a subfolder, and the setup creates no folders"},
      {"backslash", file("sub\\a.txt"), "PAYLOAD/sub\\a.txt: error: in a subfolder, and the setup creates no folders"},
      {"unspellable", file("\xF0\x9F\x98\x80.txt"), "PAYLOAD/\xF0\x9F\x98\x80.txt: error: code page 949 cannot spell its name"},
      {"trailing space", file("a.txt "), "\"PAYLOAD/a.txt \": error: ends in a space or a dot, which the platform drops from file names"},
      {"trailing dot", file("a."), "PAYLOAD/a.: error: ends in a space or a dot, which the platform drops from file names"},
      {"device", file("Con.txt"), "PAYLOAD/Con.txt: error: a device name, which names a device in every folder"},
      {"containment", file("c:x"), "PAYLOAD/c:x: error: the setup refuses it: it would not stay inside the install folder"},
      {"forbidden", file("a?.txt"), "PAYLOAD/a?.txt: error: holds a character that file names cannot hold (a control character or <>:\"|?*)"},
      {"case", [](T& t) { WriteAll(t.m_payload / "a.txt", "1"); WriteAll(t.m_payload / "A.TXT", "2"); },
       "PAYLOAD/a.txt: error: the same name as A.TXT where case does not count"},
      {"composed", [](T& t) { WriteAll(t.m_payload / "\xED\x95\x9C.txt", "1"); WriteAll(t.m_payload / "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB.txt", "2"); },
       "PAYLOAD/\xED\x95\x9C.txt: error: the same name as \xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB.txt once its Hangul is composed"},
      {"own name", file("kv2setup.inf"), "PAYLOAD/kv2setup.inf: error: the media's own KV2Setup.inf has this name"},
      {"superscript device", file("COM\xC2\xB9.txt"), "PAYLOAD/COM\xC2\xB9.txt: error: a device name, which names a device in every folder"},
      {"full-width case", [](T& t) { WriteAll(t.m_payload / "\xEF\xBC\xA1.txt", "1"); WriteAll(t.m_payload / "\xEF\xBD\x81.txt", "2"); },
       "PAYLOAD/\xEF\xBD\x81.txt: error: the same name as \xEF\xBC\xA1.txt where case does not count"},
      {"code page bytes", file("\xC7\xD1\xB1\xDB.txt"),
       "PAYLOAD/\\xC7\\xD1\\xB1\\xDB.txt: error: its name is in code page 949 already, where it reads \xED\x95\x9C\xEA\xB8\x80.txt; "
       "names here are UTF-8: rename it (convmv -f cp949 -t utf-8 --notest)"},
      {"setup", [](T& t) { WriteAll(t.m_setup, Program(0x01C0)); },
       "ROOT/KV2Setup.exe: error: a Windows program for machine type 0x01C0, which x86 and x64 machines do not run "
       "(--setup names the KV2Setup.exe to ship)"},
      {"order", [](T& t) { WriteAll(t.m_root / "order", "KV2.EXE\n\nnone.txt\n"); t.m_options.order = (t.m_root / "order").string(); },
       "ROOT/order:3: error: none.txt is not a file of the payload"},
      {"empty payload", [](T& t) { fs::remove(t.m_payload / "KV2.EXE"); }, "PAYLOAD: error: holds no files: the media would install nothing"},
      {"unreadable", [](T& t) { fs::create_symlink("/proc/sys/vm/drop_caches", t.m_payload / "locked"); },
       "PAYLOAD/locked: error: cannot be read: Permission denied"},
      {"path too long", [](T& t) { WriteAll(t.m_payload / std::string(239, 'n'), "x"); t.m_options.bStrict = true; },
       "PAYLOAD/" + std::string(239, 'n') + ": error: in the setup's default folder C:\\Program Files\\KV2\\ its path has 260 "
       "characters, past the platform's 259: the copy fails there"},
      {"total", [](T& t) { WriteAll(t.m_payload / "big", ""); fs::resize_file(t.m_payload / "big", std::uint64_t{1} << 32); },
       "PAYLOAD/big: error: brings the total to 4294967309 bytes; the setup adds sizes in 32 bits, and 4 GiB or more wrap"},
      {"member missing", skin([](auto& m) { m.pop_back(); }),
       "ROOT/skin.kds: error: the setup would show no skin: BtnNo.bmp: it is missing"},
      {"not 8 bits", skin([](auto& m) {
         std::ifstream in(KV2_TEST_DATA "/bmp/good/magick-bmp3-24bit.bmp", std::ios::binary);
         MemberNamed(m, "LoginBk.bmp").assign(std::istreambuf_iterator<char>(in), {});
       }),
       "ROOT/skin.kds: error: the setup would show no skin: LoginBk.bmp: it has 24 bits a pixel, not 8"},
      {"not three rows", skin([](auto& m) {
         Bytes& b = MemberNamed(m, "BtnOK.bmp");
         LONG nHeight = 0;
         std::memcpy(&nHeight, &b[22], sizeof nHeight);
         --nHeight;
         std::memcpy(&b[22], &nHeight, sizeof nHeight);
       }),
       "ROOT/skin.kds: error: the setup would show no skin: BtnOK.bmp: its 71 rows of pixels are not three rows of equal height"},
      {"colours", skin([](auto& m) { MemberNamed(m, "BtnNo.bmp")[54 + 4 * 7] ^= 0x40; }),
       "ROOT/skin.kds: error: the setup would show no skin: BtnNo.bmp: its colours are not the background's, in whose palette it is drawn"},
      {"out not empty", [](T& t) { fs::create_directory(t.m_out); WriteAll(t.m_out / "old", "old"); },
       "ROOT/out: error: not empty (--force replaces it)"},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.pszWhat);
    TearDown();
    SetUp();
    r.spoil(*this);
    const bool bOutBefore = fs::exists(m_out);
    const std::string before = bOutBefore ? ReadAll(m_out / "old") : "";
    m_stderr.str("");
    EXPECT_EQ(Build(), 1);
    std::string expected = r.message;
    const std::size_t nAt = expected.starts_with("\"") ? 1 : 0;
    for (const auto& [token, path] : {std::pair{"PAYLOAD", m_payload}, std::pair{"ROOT", m_root}})
      if (expected.compare(nAt, std::strlen(token), token) == 0) expected.replace(nAt, std::strlen(token), path.string());
    EXPECT_EQ(m_stderr.str(), expected + "\nkv2media: 1 problem; nothing written\n");
    EXPECT_EQ(fs::exists(m_out), bOutBefore);
    if (bOutBefore) {
      EXPECT_EQ(ReadAll(m_out / "old"), before);
    }
    EXPECT_FALSE(fs::exists(m_root / "out.kv2media-partial"));
  }
}

TEST_F(MediaToolTest, LaysOutAGoodPayloadByteForByte) {
  WriteAll(m_payload / "b.txt", "read only");
  fs::permissions(m_payload / "b.txt", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  WriteAll(m_payload / "\xED\x95\x9C\xEA\xB8\x80.DAT", "Korean name");
  const auto date = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(m_payload / "KV2.EXE", date);
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  EXPECT_EQ(m_stderr.str(), "");
  EXPECT_EQ(fs::last_write_time(m_out / "KV2.EXE"), date);
  // The names in code page 949, in the order of their bytes on the file system.
  EXPECT_EQ(ReadAll(m_out / "KV2Setup.inf"), "KV2.EXE\r\nb.txt\r\n\xC7\xD1\xB1\xDB.DAT\r\n");
  EXPECT_EQ(ReadAll(m_out / "KV2Setup.exe"), ReadAll(m_setup));
  EXPECT_EQ(ReadAll(m_out / "K2Login.kds"), ReadAll(KV2_SKIN_ARCHIVE));
  for (const char* pszName : {"KV2.EXE", "b.txt", "\xED\x95\x9C\xEA\xB8\x80.DAT"})
    EXPECT_EQ(ReadAll(m_out / pszName), ReadAll(m_payload / pszName)) << pszName;
  EXPECT_EQ(std::distance(fs::directory_iterator(m_out), {}), 7);
  EXPECT_EQ(ReadAll(m_out / "KV2Media.txt"), "codepage=949\r\n");
  EXPECT_EQ(fs::status(m_out / "b.txt").permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_NE(m_stdout.str().find("3 files of 33 bytes"), std::string::npos) << m_stdout.str();

  // Given an order as an editor saves it (a BOM, blank lines), and replacing what is there; then
  // given that release's own list, in the code page.
  WriteAll(m_root / "order", "\xEF\xBB\xBF" "b.txt\r\n\r\n\xED\x95\x9C\xEA\xB8\x80.DAT\nKV2.EXE\n\n");
  m_options.order = (m_root / "order").string();
  m_options.bForce = true;
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(Build(), 0) << m_stderr.str();
    EXPECT_EQ(ReadAll(m_out / "KV2Setup.inf"), "b.txt\r\n\xC7\xD1\xB1\xDB.DAT\r\nKV2.EXE\r\n");
    EXPECT_EQ(Check(), 0) << m_stderr.str();
    fs::copy_file(m_out / "KV2Setup.inf", m_root / "order", fs::copy_options::overwrite_existing);
  }
}

TEST_F(MediaToolTest, WarnsOfAMissingClient) {
  fs::remove(m_payload / "KV2.EXE");
  WriteAll(m_payload / "a.txt", "a");
  ASSERT_EQ(Build(), 0);
  EXPECT_EQ(m_stderr.str(), "KV2.EXE: warning: not listed: the setup then ends quietly after its question\n");
}

TEST_F(MediaToolTest, CheckReportsEveryLineThatWouldFail) {
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  m_stderr.str("");
  // Read as the setup reads it: CRLF and LF alike, nothing after Ctrl-Z.
  WriteAll(m_out / "KV2Setup.inf",
           "KV2.EXE\r\n\r\nMISSING.DAT\nsub\\a.txt\r\n..\\up.txt\r\nNUL\r\nkv2.exe.\r\n\x81\r\nkv2.exe\r\n\x1A"
           "ignored\r\n");
  EXPECT_EQ(Check(), 1);
  const std::string list = (m_out / "KV2Setup.inf").string();
  EXPECT_EQ(m_stderr.str(),
            list + ":2: error: an empty name: the setup stops the install at it with an error report\n" +
            list + ":3: error: MISSING.DAT: not in the media: the setup stops the install at it with an error report\n" +
            list + ":4: error: sub\\a.txt: in a subfolder, and the setup creates no folders\n" +
            list + ":5: error: ..\\up.txt: the setup refuses it: it would not stay inside the install folder\n" +
            list + ":6: error: NUL: a device name, which names a device in every folder\n" +
            list + ":7: error: kv2.exe.: ends in a space or a dot, which the platform drops from file names\n" +
            list + ":8: error: \\x81: not text in code page 949\n" +
            list + ":9: error: kv2.exe: the same name as line 1 where case does not count: the setup copies it twice "
            "and counts its bytes twice\n" +
            list + ":10: error: ignored: after the Ctrl-Z on line 10, where the setup stops reading: it never installs this\n" +
            "kv2media: " + m_out.string() + ": 9 problems\n");
}

TEST_F(MediaToolTest, FollowsTheConventionsOfCommandLineTools) {
  struct Invocation {
    std::vector<std::string> args;
    int nStatus;
    std::string out;  // a part of the standard output
    std::string err;  // the start of the error stream
  };
  const Invocation invocations[] = {
      {{"--help"}, 0, "--codepage N    the code page of the machines the media are for (default: 949)\n", ""},
      {{"-h"}, 0, "exit status: 0 done, 1 problems found in the payload or media, 2 wrong usage, 3 an I/O failure", ""},
      {{"build", "--help"}, 0, "--setup EXE     the KV2Setup.exe to ship (default: ", ""},
      {{"--version"}, 0, "kv2media 2.0.0\n", ""},
      {{}, 2, "", "kv2media: error: no command\nusage: "},
      {{"frob"}, 2, "", "kv2media: error: unknown command frob\n"},
      {{"build", "--bogus", "a", "b"}, 2, "", "kv2media: error: unknown option --bogus for build\n"},
      {{"check", "--force", "m"}, 2, "", "kv2media: error: unknown option --force for check\n"},
      {{"build", "a"}, 2, "", "kv2media: error: build takes PAYLOAD and OUT\n"},
      {{"build", "--order"}, 2, "", "kv2media: error: --order needs a value\n"},
      {{"build", "--sign", "", "a", "b"}, 2, "", "kv2media: error: --sign needs a command\n"},
      {{"build", "a", ""}, 2, "", "kv2media: error: an empty name for a folder\n"},
      {{"--version", "check"}, 2, "", "kv2media: error: --version takes no arguments\n"},
      {{"check", "--codepage", "99999", "m"}, 2, "", "kv2media: error: --codepage 99999: not a code page this system converts to\n"},
      {{"-q", "check", "--codepage=949", "--", "-m"}, 1, "", "-m: error: does not exist\n"},
  };
  for (const Invocation& invocation : invocations) {
    SCOPED_TRACE(invocation.args.empty() ? "" : invocation.args[0]);
    EXPECT_EQ(Run(invocation.args), invocation.nStatus);
    EXPECT_NE(m_stdout.str().find(invocation.out), std::string::npos) << m_stdout.str();
    EXPECT_TRUE(m_stderr.str().starts_with(invocation.err)) << m_stderr.str();
    if (invocation.err.empty()) {
      EXPECT_EQ(m_stderr.str(), "");
    }
  }
  // Quiet: nothing but problems; and an I/O failure has a status of its own.
  std::vector<std::string> args = BuildArgs();
  args.insert(args.begin() + 1, "-q");
  EXPECT_EQ(Run(args), 0) << m_stderr.str();
  EXPECT_EQ(m_stdout.str() + m_stderr.str(), "");
  WriteAll(m_root / "file", "");
  m_options.out = (m_root / "file" / "out").string();
  EXPECT_EQ(Build(), 3);
  EXPECT_TRUE(m_stderr.str().starts_with(m_options.out + ": error: cannot be written: ")) << m_stderr.str();
}

TEST_F(MediaToolTest, ASignalMidCopyLeavesOutAsItWas) {
  // Large, so that the copy is far from its end when the signal comes.
  fs::resize_file(m_payload / "KV2.EXE", std::uint64_t{1} << 30);
  fs::create_directory(m_out);
  WriteAll(m_out / "old", "old media");
  std::vector<std::string> args = BuildArgs();
  args.insert(args.begin() + 1, {"--force", "--progress"});
  for (const auto& [nSignal, pszName] : {std::pair{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}}) {
    SCOPED_TRACE(pszName);
    const auto [nStatus, err] = RunActingMidCopy(args, [nSignal = nSignal](pid_t pid) { ::kill(pid, nSignal); });
    EXPECT_EQ(nStatus, 128 + nSignal);
    EXPECT_TRUE(err.ends_with(std::string("\nkv2media: interrupted by ") + pszName + ": " + m_out.string() +
                              " left as it was, the media in hand removed\n"))
        << err;
    EXPECT_EQ(ReadAll(m_out / "old"), "old media");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_out), {}), 1);
    EXPECT_FALSE(fs::exists(m_root / "out.kv2media-partial") || fs::exists(m_root / "out.kv2media-old"));
  }
}

TEST_F(MediaToolTest, NamesWhatAnEarlierRunLeftAndWarnsOfOldMediaThatStay) {
  // A work folder of a run killed outright goes, named; old media it had set aside come back.
  fs::create_directories(m_root / "out.kv2media-partial");
  fs::create_directories(m_root / "out.kv2media-old");
  WriteAll(m_root / "out.kv2media-old" / "old", "old media");
  EXPECT_EQ(Check(), 1);
  EXPECT_EQ(m_stderr.str(), m_out.string() + ": error: does not exist\n" + m_root.string() +
                                "/out.kv2media-old: warning: old media an interrupted run set aside: `kv2media build` puts them back\n" +
                                m_root.string() + "/out.kv2media-partial: warning: media an interrupted run left unfinished: "
                                "`kv2media build` removes them\n");
  m_stderr.str("");
  EXPECT_EQ(Build(), 1);
  EXPECT_EQ(m_stderr.str(), m_root.string() + "/out.kv2media-partial: warning: left by an interrupted run: removed\n" +
                                m_root.string() + "/out.kv2media-old: warning: old media an interrupted run set aside: "
                                "put back as " + m_out.string() + "\n" +
                                m_out.string() + ": error: not empty (--force replaces it)\nkv2media: 1 problem; nothing written\n");
  EXPECT_EQ(ReadAll(m_out / "old"), "old media");

  // New media in place, old media that cannot all go: done, with a warning.
  if (!SetImmutable(m_out / "old", true)) GTEST_SKIP() << "no immutable files here";
  m_options.bForce = true;
  m_stderr.str("");
  EXPECT_EQ(Build(), 0);
  SetImmutable(m_root / "out.kv2media-old" / "old", false);
  EXPECT_EQ(m_stderr.str(), m_root.string() + "/out.kv2media-old: warning: the old media, not all removed (Operation "
                            "not permitted); the new media are in place\n");
  EXPECT_EQ(ReadAll(m_out / "KV2.EXE"), "MZ the client");

  // Old media that still cannot go do not block the next run: they are set aside, named.
  ASSERT_TRUE(SetImmutable(m_root / "out.kv2media-old" / "old", true));
  m_stderr.str("");
  EXPECT_EQ(Build(), 0) << m_stderr.str();
  SetImmutable(m_root / "out.kv2media-old-1" / "old", false);
  EXPECT_EQ(m_stderr.str(), m_root.string() + "/out.kv2media-old-1: warning: old media left beside newer ones, which cannot "
                            "all be removed (Operation not permitted): set aside here for you to remove\n");
}

TEST_F(MediaToolTest, CheckIsAsStrictAsBuildAndNamesWhatTheSetupNeverReads) {
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  m_stderr.str("");
  WriteAll(m_out / "KV2Setup.exe", "MZ junk");
  WriteAll(m_out / "stray.txt", "no line names it");
  const char listBytes[] = "KV2.EXE\r\nkv2.exe\r\nKV2Setup.exe\r\nKV2.EXE\0junk\r\n\x1A" "KV2.EXE\r\nlost.txt";
  WriteAll(m_out / "KV2Setup.inf", std::string(listBytes, sizeof listBytes - 1));
  EXPECT_EQ(Check(), 1);
  const std::string list = (m_out / "KV2Setup.inf").string();
  EXPECT_EQ(m_stderr.str(),
            (m_out / "KV2Setup.exe").string() + ": error: not a Windows program: its MZ header is cut short\n" +
            list + ":2: error: kv2.exe: the same name as line 1 where case does not count: the setup copies it twice "
            "and counts its bytes twice\n" +
            list + ":3: error: KV2Setup.exe: one of the media's own files, which the install would copy too\n" +
            list + ":4: error: KV2.EXE\\x00junk: text after a NUL, which the setup never reads: it copies the name before it\n" +
            list + ":5: error: KV2.EXE: after the Ctrl-Z on line 5, where the setup stops reading: it never installs this\n" +
            list + ":6: error: lost.txt: after the Ctrl-Z on line 5, where the setup stops reading: it never installs this\n" +
            (m_out / "stray.txt").string() + ": warning: no line of KV2Setup.inf names it: the setup does not install it\n" +
            "kv2media: " + m_out.string() + ": 6 problems\n");

  // A BOM; and the media's code page, remembered.
  m_stderr.str("");
  WriteAll(m_out / "KV2Setup.inf", "\xEF\xBB\xBFKV2.EXE\r\n");
  EXPECT_EQ(Check(), 1);
  EXPECT_NE(m_stderr.str().find(list + ":1: error: starts with a BOM, which the setup reads as part of the first name\n"),
            std::string::npos)
      << m_stderr.str();
  WriteAll(m_payload / "caf\xC3\xA9.txt", "1252 only");
  m_options.nCodePage = 1252;
  m_options.bForce = true;
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  EXPECT_EQ(Check(), 0) << m_stderr.str();
  EXPECT_EQ(Check(949), 1);

  // A note that names no code page is said to; an empty list is a problem; a client listed but
  // missing is not also "not listed".
  WriteAll(m_out / "KV2Media.txt", "codepage=banana\r\n");
  WriteAll(m_out / "KV2Setup.inf", "");
  fs::remove(m_out / "KV2.EXE");
  m_stderr.str("");
  EXPECT_EQ(Check(), 1);
  EXPECT_EQ(m_stderr.str(), (m_out / "KV2Media.txt").string() + ": warning: names no code page (codepage=N on its first line): "
                            "the list is read in code page 949\n" + list + ": error: names no files: the setup would install nothing\n" +
                            (m_out / "caf\xC3\xA9.txt").string() + ": warning: no line can name it: code page 949 cannot spell its name\n" +
                            "KV2.EXE: warning: not listed: the setup then ends quietly after its question\n" +
                            "kv2media: " + m_out.string() + ": 1 problem\n");
  WriteAll(m_out / "KV2Setup.inf", "KV2.EXE\r\n");
  m_stderr.str("");
  EXPECT_EQ(Check(), 1);
  EXPECT_EQ(m_stderr.str().find("not listed"), std::string::npos) << m_stderr.str();
}

TEST_F(MediaToolTest, WarnsAsRootOfAFileOnlyRootCanRead) {
  if (::geteuid() != 0) GTEST_SKIP() << "not root";
  WriteAll(m_payload / "locked.txt", "x");
  fs::permissions(m_payload / "locked.txt", fs::perms::none);
  EXPECT_EQ(Build(), 0);
  EXPECT_EQ(m_stderr.str(), (m_payload / "locked.txt").string() +
                                ": warning: its owner may not read it, and the media keep its permissions: only root can read it there\n");
}

TEST_F(MediaToolTest, TellsNamesApartAsNtfsDoes) {
  // Two Korean characters whose second bytes differ only as 'A' and 'a' do; Hangul as a Mac spells it.
  WriteAll(m_payload / "\xEA\xB0\x82.txt", "gakk");
  WriteAll(m_payload / "\xEA\xB0\xB5.txt", "gat");
  WriteAll(m_payload / "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB.txt", "han");
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  EXPECT_EQ(ReadAll(m_out / "KV2Setup.inf"), "KV2.EXE\r\n\xC7\xD1.txt\r\n\x81\x41.txt\r\n\x81\x61.txt\r\n");
  EXPECT_EQ(ReadAll(m_out / "\xED\x95\x9C.txt"), "han");
  EXPECT_EQ(Check(), 0) << m_stderr.str();
  EXPECT_NE(m_stdout.str().find("installs all 4 listed files, 23 bytes"), std::string::npos) << m_stdout.str();
}

TEST_F(MediaToolTest, ShowsProgressByBytesWithinALargeFileOnlyWhereAsked) {
  fs::resize_file(m_payload / "KV2.EXE", std::uint64_t{1} << 30);
  m_options.bProgress = true;
  // The gibibyte laid out in memory where there is a file system in memory: the disk is not tested.
  const fs::path memory = "/dev/shm/" + m_root.filename().string();
  std::error_code error;
  if (fs::create_directory(memory, error)) m_options.out = (memory / "out").string();
  const int nStatus = Build();
  fs::remove_all(memory, error);
  m_options.out = m_out.string();
  ASSERT_EQ(nStatus, 0) << m_stderr.str();
  std::istringstream lines(m_stderr.str());
  std::vector<std::string> shown;
  for (std::string line; std::getline(lines, line);) shown.push_back(line);
  ASSERT_GE(shown.size(), 2u) << m_stderr.str();
  EXPECT_EQ(shown.front(), "kv2media: copied 103 MiB of 1024 MiB (file 1 of 1)");
  EXPECT_EQ(shown.back(), "kv2media: copied 1024 MiB of 1024 MiB (file 1 of 1)");
  EXPECT_LE(shown.size(), 10u);

  // Its error stream a file, the tool shows none unless asked.
  fs::resize_file(m_payload / "KV2.EXE", MediaTool::kLargePayload);
  std::vector<std::string> args = BuildArgs();
  args.insert(args.begin() + 1, "--force");
  EXPECT_EQ(Run(args), 0);
  EXPECT_EQ(m_stderr.str(), "");
  args.insert(args.begin() + 1, "--progress");
  EXPECT_EQ(Run(args), 0);
  EXPECT_NE(m_stderr.str().find("kv2media: copied 64 MiB of 64 MiB (file 1 of 1)"), std::string::npos) << m_stderr.str();
}

TEST_F(MediaToolTest, SignsEveryWindowsProgramOfTheMediaAndChecksThatTheyAreSigned) {
  // A throwaway certificate; the signing tool as a publisher would run it.
  const std::string root = m_root.string();
  ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=kv2media-test -keyout '" + root +
                         "/key.pem' -out '" + root + "/cert.pem' 2>/dev/null").c_str()),
            0);
  WriteAll(m_payload / "KV2.EXE", Program(0x014C));
  WriteAll(m_payload / "Helper.Dll", Program(0x8664));
  WriteAll(m_payload / "readme.txt", "not a program");
  fs::permissions(m_payload / "KV2.EXE", fs::perms::owner_read | fs::perms::owner_exec);
  m_options.sign = "osslsigncode sign -certs '" + root + "/cert.pem' -key '" + root +
                   "/key.pem' -in {} -out {}.signed >/dev/null && mv {}.signed {}";
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  for (const char* pszName : {"KV2Setup.exe", "KV2.EXE", "Helper.Dll"}) {
    const std::string verify = "osslsigncode verify -CAfile '" + root + "/cert.pem' -in '" + (m_out / pszName).string() + "' >/dev/null";
    EXPECT_EQ(std::system(verify.c_str()), 0) << pszName;
  }
  EXPECT_EQ(ReadAll(m_out / "readme.txt"), "not a program");
  EXPECT_EQ(ReadAll(m_payload / "KV2.EXE"), Program(0x014C));
  EXPECT_EQ(fs::status(m_out / "KV2.EXE").permissions(), fs::perms::owner_read | fs::perms::owner_exec);
  const std::uintmax_t nSigned = fs::file_size(m_out / "KV2.EXE") + fs::file_size(m_out / "Helper.Dll") + 13;
  EXPECT_NE(m_stdout.str().find("3 files of " + std::to_string(nSigned) + " bytes"), std::string::npos) << m_stdout.str();
  EXPECT_EQ(MediaTool(m_stdout, m_stderr).Check(m_out.string(), 0, true), 0) << m_stderr.str();

  // An unsigned program found; a signing command that fails refuses the media.
  WriteAll(m_out / "Helper.Dll", Program(0x8664));
  EXPECT_EQ(MediaTool(m_stdout, m_stderr).Check(m_out.string(), 0, true), 1);
  EXPECT_NE(m_stderr.str().find((m_out / "Helper.Dll").string() + ": error: a Windows program that carries no signature\n"),
            std::string::npos)
      << m_stderr.str();
  m_options.sign = "exit 7";
  m_options.bForce = true;
  m_stderr.str("");
  EXPECT_EQ(Build(), 3);
  EXPECT_EQ(m_stderr.str(), m_out.string() + ": error: the signing command failed on KV2Setup.exe (exit status 7); nothing written\n");
  EXPECT_FALSE(fs::exists(m_root / "out.kv2media-partial"));

  // A command that succeeds yet leaves no program the machines run refuses the media too.
  WriteAll(m_root / "x64.exe", Program(0x8664));
  const std::string laidOut = ReadAll(m_out / "KV2.EXE");
  const std::pair<std::string, std::string> damages[] = {
      {"rm {}", "missing or unreadable"},
      {"printf junk > {}", "damaged: not a Windows program: no MZ header"},
      {"cp '" + root + "/x64.exe' {}", "a program for machine type 0x8664 instead of 0x014C"},
  };
  for (const auto& [command, outcome] : damages) {
    m_options.sign = command;
    m_stderr.str("");
    EXPECT_EQ(Build(), 3) << command;
    EXPECT_EQ(m_stderr.str(), m_out.string() + ": error: the signing command left KV2Setup.exe " + outcome + "; nothing written\n");
    EXPECT_EQ(ReadAll(m_out / "KV2.EXE"), laidOut);
    EXPECT_FALSE(fs::exists(m_root / "out.kv2media-partial"));
  }
}

TEST_F(MediaToolTest, ASignalWhileSigningReachesTheSigningCommand) {
  // Were the signal not passed on, the tool would wait for the command, which would finish.
  const std::string root = m_root.string();
  std::vector<std::string> args = BuildArgs();
  args.insert(args.begin() + 1, {"--sign", "touch '" + root + "/started'; sleep 20; touch '" + root + "/finished'"});
  const int nNull = ::open("/dev/null", O_WRONLY);
  const pid_t pid = Spawn(args, nNull, nNull);
  ::close(nNull);
  for (int i = 0; i < 2000 && !fs::exists(m_root / "started"); ++i) ::usleep(10000);
  ::kill(pid, SIGTERM);
  EXPECT_EQ(Wait(pid), 128 + SIGTERM);
  EXPECT_TRUE(fs::exists(m_root / "started"));
  ::sleep(1);
  EXPECT_FALSE(fs::exists(m_root / "finished"));
  EXPECT_FALSE(fs::exists(m_out) || fs::exists(m_root / "out.kv2media-partial"));
}

TEST_F(MediaToolTest, RefusesAFileThatChangesSizeWhileItIsCopied) {
  // Large, so that the copy is far from its end when the tool is stopped to shrink the file.
  fs::resize_file(m_payload / "KV2.EXE", std::uint64_t{1} << 30);
  std::vector<std::string> args = BuildArgs();
  args.insert(args.begin() + 1, "--progress");
  const auto [nStatus, err] = RunActingMidCopy(args, [&](pid_t pid) {
    ::kill(pid, SIGSTOP);
    fs::resize_file(m_payload / "KV2.EXE", 1 << 20);
    ::kill(pid, SIGCONT);
  });
  EXPECT_EQ(nStatus, 3);
  EXPECT_NE(err.find((m_payload / "KV2.EXE").string() + ": error: changed while it was copied: "), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(m_out) || fs::exists(m_root / "out.kv2media-partial"));
}

TEST(CodePageNoteTest, NamesTheCodePageOnItsFirstLineOrNone) {
  const struct {
    const char* note;
    UINT nCodePage;
  } cases[] = {
      {"codepage=932\r\n", 932}, {"codepage=65001", 65001}, {"codepage=", 0}, {"", 0}, {"\ncodepage=932\r\n", 0},
      // A number past 32 bits would wrap to 949 and one with a sign to 4294967295: neither is named.
      {"codepage=4294968245\r\n", 0}, {"codepage=-1\r\n", 0},
  };
  for (const auto& c : cases) {
    std::istringstream note(c.note);
    EXPECT_EQ(CodePage::Noted(note), c.nCodePage) << c.note;
  }
  std::istringstream written(CodePage(949).Note());
  EXPECT_EQ(CodePage::Noted(written), 949u);
}

TEST(CodePageTest, ShowsEveryControlCharacterAndWhatIsNoTextEscaped) {
  const CodePage utf8(65001);
  EXPECT_EQ(utf8.Shown("a\xC2\x85" "b\x1B[2J\xC2\x9B" "c\xC2\xA0\xC3\xA9"), "a\\xC2\\x85b\\x1B[2J\\xC2\\x9Bc\xC2\xA0\xC3\xA9");
  EXPECT_EQ(CodePage(949).Shown("\xB0\xA1\x7F"), "\xEA\xB0\x80\\x7F");
  // Four bytes past U+10FFFF are no UTF-8, though the C library passes them from UTF-8 to UTF-8.
  std::string text;
  EXPECT_FALSE(utf8.ToUtf8("\xF4\x90\x80\x80", text));
  EXPECT_EQ(utf8.Shown("re\xF6\x9E\x9B\x8D"), "re\\xF6\\x9E\\x9B\\x8D");
}
