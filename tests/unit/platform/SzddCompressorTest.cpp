// Our SZDD compressor, checked by the expansion library that reads its output: the platform's
// own under Wine, the stand-in natively.
#include "SzddCompressor.h"
#include "TempDir.h"
#include "platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

namespace {

std::string Compress(const std::string& data, char missingChar = 0) {
  const auto packed =
      SzddCompressor().Compress(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), missingChar);
  return std::string(packed.begin(), packed.end());
}

std::string Noise(std::size_t n) {
  std::mt19937 random(42);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(random());
  return s;
}

// A block of noise repeated: every match lies exactly `period` bytes back.
std::string Periodic(std::size_t period, std::size_t total) {
  const std::string block = Noise(period);
  std::string s;
  while (s.size() < total) s += block;
  return s.substr(0, total);
}

struct Input {
  const char* name;
  std::string bytes;
};

// Inputs for the compressor's edges: none or few bytes, overlapping matches, the longest
// match, matches at the window's reach and just past it, incompressible data.
std::vector<Input> Inputs() {
  return {
      {"empty", ""},
      {"one_byte", "x"},
      {"three_bytes", "abc"},
      {"run", std::string(5000, 'a')},
      {"longest_match_plus_one", "abcdefghijklmnopqrs" + std::string("abcdefghijklmnopqrs")},
      {"period_4095", Periodic(4095, 12000)},
      {"period_4096", Periodic(4096, 12000)},
      {"period_4097", Periodic(4097, 12000)},
      {"noise", Noise(9000)},
      {"text", ReadFixture("szdd/good/text.txt")},
      {"picture", ReadFixture("szdd/good/picture.bmp")},
      {"pattern", ReadFixture("szdd/good/pattern.bin")},
  };
}

class SzddRoundTrip : public testing::TestWithParam<Input> {};

TEST_P(SzddRoundTrip, ExpandsToTheOriginal) {
  const Input& input = GetParam();
  TempDir dir;
  dir.Write("packed", Compress(input.bytes));
  const INT lz = LZInit(FileNumber(OpenForReading(dir.Path("packed"))));
  ASSERT_GE(lz, 0x400);
  EXPECT_EQ(LZSeek(lz, 0, 2), static_cast<LONG>(input.bytes.size()));
  LZSeek(lz, 0, 0);
  const std::string expanded = ReadToEnd(lz);
  LZClose(lz);
  EXPECT_EQ(expanded.size(), input.bytes.size());
  EXPECT_TRUE(expanded == input.bytes);
}

INSTANTIATE_TEST_SUITE_P(Inputs, SzddRoundTrip, testing::ValuesIn(Inputs()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SzddCompressor, WritesTheHeader) {
  const std::string packed = Compress(std::string(70000, 'z'), 'T');
  ASSERT_GE(packed.size(), 14u);
  EXPECT_EQ(packed.substr(0, 8), std::string("SZDD\x88\xF0\x27\x33", 8));
  EXPECT_EQ(packed[8], 'A');
  EXPECT_EQ(packed[9], 'T');
  EXPECT_EQ(packed.substr(10, 4), std::string("\x70\x11\x01\x00", 4)) << "70000, little-endian";
}

// No larger than what the platform's compress tool makes of the same files.
TEST(SzddCompressor, CompressesAtLeastAsWellAsThePeerTool) {
  for (const char* name : {"text.txt", "pattern.bin", "picture.bmp", "spaces.txt", "noise.bin"}) {
    const std::string original = ReadFixture(std::string("szdd/good/") + name);
    const std::string peer = ReadFixture(std::string("szdd/good/") + name + "_");
    EXPECT_LE(Compress(original).size(), peer.size()) << name;
  }
}

TEST(SzddCompressor, RefusesInputPastWhatTheHeaderHolds) {
  EXPECT_THROW(SzddCompressor().Compress(nullptr, SzddCompressor::kMaxInput + 1), std::length_error);
}

}  // namespace
