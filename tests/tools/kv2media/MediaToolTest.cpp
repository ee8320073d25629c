#include "KdsArchive.h"
#include "MediaTool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

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
    WriteAll(m_setup, "MZ a Windows program");
    WriteAll(m_payload / "KV2.EXE", "MZ the client");
    m_options = MediaTool::BuildOptions();
    m_options.payload = m_payload.string();
    m_options.out = m_out.string();
    m_options.setup = m_setup.string();
    m_options.skin = KV2_SKIN_ARCHIVE;
  }
  void TearDown() override {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(m_root))
      fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
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
  int Check() { return MediaTool(m_stdout, m_stderr).Check(m_out.string(), 949); }

  std::ostringstream m_stdout, m_stderr;
};

struct Refusal {
  const char* pszWhat;
  std::function<void(MediaToolTest&)> spoil;
  std::string message;  // after "kv2media: "; PAYLOAD and ROOT at its start stand for those folders
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
       "PAYLOAD/sub/a.txt: in a subfolder, and the setup creates no folders"},
      {"backslash", file("sub\\a.txt"), "PAYLOAD/sub\\a.txt: in a subfolder, and the setup creates no folders"},
      {"unspellable", file("\xF0\x9F\x98\x80.txt"), "PAYLOAD/\xF0\x9F\x98\x80.txt: code page 949 cannot spell its name"},
      {"trailing space", file("a.txt "), "PAYLOAD/a.txt : ends in a space or a dot, which the platform drops from file names"},
      {"trailing dot", file("a."), "PAYLOAD/a.: ends in a space or a dot, which the platform drops from file names"},
      {"device", file("Con.txt"), "PAYLOAD/Con.txt: a device name, which names a device in every folder"},
      {"containment", file("c:x"), "PAYLOAD/c:x: the setup refuses it: it would not stay inside the install folder"},
      {"forbidden", file("a?.txt"), "PAYLOAD/a?.txt: holds a character that file names cannot hold (a control character or <>:\"|?*)"},
      {"case", [](T& t) { WriteAll(t.m_payload / "a.txt", "1"); WriteAll(t.m_payload / "A.TXT", "2"); },
       "PAYLOAD/a.txt: the same name as A.TXT where case does not count"},
      {"own name", file("kv2setup.inf"), "PAYLOAD/kv2setup.inf: the media's own KV2Setup.inf has this name"},
      {"empty name", [](T& t) { WriteAll(t.m_root / "order", "KV2.EXE\n\n"); t.m_options.order = (t.m_root / "order").string(); },
       "ROOT/order line 2: an empty name: the setup stops the install at it with an error report"},
      {"total", [](T& t) { WriteAll(t.m_payload / "big", ""); fs::resize_file(t.m_payload / "big", std::uint64_t{1} << 32); },
       "PAYLOAD/big: brings the total to 4294967309 bytes; the setup adds sizes in 32 bits, and 4 GiB or more wrap"},
      {"member missing", skin([](auto& m) { m.pop_back(); }),
       "ROOT/skin.kds: the setup would show no skin: BtnNo.bmp: it is missing"},
      {"not 8 bits", skin([](auto& m) {
         std::ifstream in(KV2_TEST_DATA "/bmp/good/magick-bmp3-24bit.bmp", std::ios::binary);
         MemberNamed(m, "LoginBk.bmp").assign(std::istreambuf_iterator<char>(in), {});
       }),
       "ROOT/skin.kds: the setup would show no skin: LoginBk.bmp: it has 24 bits a pixel, not 8"},
      {"not three rows", skin([](auto& m) {
         Bytes& b = MemberNamed(m, "BtnOK.bmp");
         LONG nHeight = 0;
         std::memcpy(&nHeight, &b[22], sizeof nHeight);
         --nHeight;
         std::memcpy(&b[22], &nHeight, sizeof nHeight);
       }),
       "ROOT/skin.kds: the setup would show no skin: BtnOK.bmp: its 71 rows of pixels are not three rows of equal height"},
      {"colours", skin([](auto& m) { MemberNamed(m, "BtnNo.bmp")[54 + 4 * 7] ^= 0x40; }),
       "ROOT/skin.kds: the setup would show no skin: BtnNo.bmp: its colours are not the background's, in whose palette it is drawn"},
      {"out not empty", [](T& t) { fs::create_directory(t.m_out); WriteAll(t.m_out / "old", "old"); },
       "ROOT/out: not empty (--force replaces it)"},
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
    for (const auto& [token, path] : {std::pair{"PAYLOAD", m_payload}, std::pair{"ROOT", m_root}})
      if (expected.starts_with(token)) expected.replace(0, std::strlen(token), path.string());
    EXPECT_EQ(m_stderr.str(), "kv2media: " + expected + "\nkv2media: 1 problem; nothing written\n");
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
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  EXPECT_EQ(m_stderr.str(), "");
  // The names in code page 949, in the order of their bytes on the file system.
  EXPECT_EQ(ReadAll(m_out / "KV2Setup.inf"), "KV2.EXE\r\nb.txt\r\n\xC7\xD1\xB1\xDB.DAT\r\n");
  EXPECT_EQ(ReadAll(m_out / "KV2Setup.exe"), ReadAll(m_setup));
  EXPECT_EQ(ReadAll(m_out / "K2Login.kds"), ReadAll(KV2_SKIN_ARCHIVE));
  for (const char* pszName : {"KV2.EXE", "b.txt", "\xED\x95\x9C\xEA\xB8\x80.DAT"})
    EXPECT_EQ(ReadAll(m_out / pszName), ReadAll(m_payload / pszName)) << pszName;
  EXPECT_EQ(std::distance(fs::directory_iterator(m_out), {}), 6);
  EXPECT_EQ(fs::status(m_out / "b.txt").permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_NE(m_stdout.str().find("3 files of 33 bytes"), std::string::npos) << m_stdout.str();

  // Given an order, and replacing what is there.
  WriteAll(m_root / "order", "b.txt\r\n\xED\x95\x9C\xEA\xB8\x80.DAT\r\nKV2.EXE\r\n");
  m_options.order = (m_root / "order").string();
  m_options.bForce = true;
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  EXPECT_EQ(ReadAll(m_out / "KV2Setup.inf"), "b.txt\r\n\xC7\xD1\xB1\xDB.DAT\r\nKV2.EXE\r\n");
  EXPECT_EQ(Check(), 0) << m_stderr.str();
}

TEST_F(MediaToolTest, WarnsOfAMissingClient) {
  fs::remove(m_payload / "KV2.EXE");
  WriteAll(m_payload / "a.txt", "a");
  ASSERT_EQ(Build(), 0);
  EXPECT_EQ(m_stderr.str(), "kv2media: warning: KV2.EXE: not listed: the setup then ends quietly after its question\n");
}

TEST_F(MediaToolTest, CheckReportsEveryLineThatWouldFail) {
  ASSERT_EQ(Build(), 0) << m_stderr.str();
  m_stderr.str("");
  // Read as the setup reads it: CRLF and LF alike, nothing after Ctrl-Z.
  WriteAll(m_out / "KV2Setup.inf",
           "KV2.EXE\r\n\r\nMISSING.DAT\nsub\\a.txt\r\n..\\up.txt\r\nNUL\r\nkv2.exe.\r\n\x81\r\nkv2.exe\r\n\x1A"
           "ignored\r\n");
  EXPECT_EQ(Check(), 1);
  EXPECT_EQ(m_stderr.str(),
            "kv2media: KV2Setup.inf line 2 (): an empty name: the setup stops the install at it with an error report\n"
            "kv2media: KV2Setup.inf line 3 (MISSING.DAT): not in the media: the setup stops the install at it with an "
            "error report\n"
            "kv2media: KV2Setup.inf line 4 (sub\\a.txt): in a subfolder, and the setup creates no folders\n"
            "kv2media: KV2Setup.inf line 5 (..\\up.txt): the setup refuses it: it would not stay inside the install folder\n"
            "kv2media: KV2Setup.inf line 6 (NUL): a device name, which names a device in every folder\n"
            "kv2media: KV2Setup.inf line 7 (kv2.exe.): ends in a space or a dot, which the platform drops from file names\n"
            "kv2media: KV2Setup.inf line 8 (\\x81): not text in code page 949\n");
}
