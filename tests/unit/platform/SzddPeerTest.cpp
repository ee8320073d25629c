// Our SZDD compressor and expander against the mscompress package's tools, run at test time.
// Those are Linux programs: this part runs natively only.
#ifndef _WIN32

#include "SzddCompressor.h"
#include "TempDir.h"
#include "platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

std::string Compress(const std::string& data) {
  const auto packed = SzddCompressor().Compress(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  return std::string(packed.begin(), packed.end());
}

int Shell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()); }

std::vector<std::string> Inputs() {
  std::mt19937 random(7);
  std::string noise(30000, '\0');
  for (char& c : noise) c = static_cast<char>(random() % 4 + 'a');  // few symbols: many matches
  return {"x", std::string(5000, ' '), ReadFixture("szdd/good/text.txt"), ReadFixture("szdd/good/pattern.bin"),
          ReadFixture("szdd/good/noise.bin"), noise};
}

TEST(SzddPeer, MsexpandExpandsOurOutputByteForByte) {
  TempDir dir;
  for (const std::string& input : Inputs()) {
    dir.Write("ours", Compress(input));
    ASSERT_EQ(Shell("msexpand < '" + dir.Path("ours") + "' > '" + dir.Path("out") + "'"), 0);
    EXPECT_TRUE(dir.Read("out") == input) << "input of " << input.size() << " bytes";
  }
}

// mscompress loses the bytes of a file shorter than 16 bytes, so the shortest input is left out.
TEST(SzddPeer, WeExpandWhatMscompressMakes) {
  TempDir dir;
  int n = 0;
  for (const std::string& input : Inputs()) {
    if (input.size() < 16) continue;
    const std::string name = "input" + std::to_string(n++);
    dir.Write(name, input);
    ASSERT_EQ(Shell("mscompress '" + dir.Path(name) + "'"), 0);
    const INT lz = LZInit(FileNumber(OpenForReading(dir.Path(name + "_"))));
    ASSERT_GE(lz, 0x400);
    EXPECT_TRUE(ReadToEnd(lz) == input) << "input of " << input.size() << " bytes";
    LZClose(lz);
  }
}

}  // namespace

#endif
