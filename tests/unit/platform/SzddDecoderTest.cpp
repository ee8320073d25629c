// The stand-in's decoder fed in pieces of every size: whether it expands a whole control group
// straight into the output or one step at a time, the bytes are the same.
#ifndef _WIN32
#include "SzddCompressor.h"
#include "native/SzddDecoder.h"
#include "platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Noise(std::size_t n, unsigned seed, unsigned alphabet) {
  std::mt19937 random(seed);
  Bytes b(n);
  for (BYTE& c : b) c = static_cast<BYTE>(random() % alphabet);
  return b;
}

// Expands the stream with input and output offered in pieces of at most maxIn and maxOut.
Bytes Expand(const Bytes& stream, std::size_t size, std::size_t maxIn, std::size_t maxOut, unsigned seed) {
  std::mt19937 random(seed);
  native::SzddDecoder decoder;
  Bytes out(size);
  std::size_t in = 0, done = 0, more = 0;
  while (done < size) {
    // A token cut off by the end of a piece comes again with more bytes behind it.
    const std::size_t inSize = std::min(stream.size() - in, 1 + random() % maxIn + more);
    const std::size_t outSize = std::min(size - done, 1 + random() % maxOut);
    const auto step = decoder.Decode(stream.data() + in, inSize, out.data() + done, outSize);
    in += step.consumed;
    done += step.produced;
    if (step.consumed > 0 || step.produced > 0) more = 0;
    else if (inSize == stream.size() - in) break;
    else more += 2;
  }
  out.resize(done);
  return out;
}

TEST(SzddDecoder, PiecesOfAnySizeExpandToTheOriginal) {
  const std::string text = ReadFixture("szdd/good/text.txt");
  const std::vector<Bytes> inputs = {
      Bytes(text.begin(), text.end()), Bytes(20000, 'a'),    Noise(30000, 1, 256), Noise(30000, 2, 3),
      Noise(70000, 3, 16),             Bytes(5000, ' '),     Bytes{},
  };
  for (std::size_t n = 0; n < inputs.size(); ++n) {
    const Bytes& original = inputs[n];
    const auto packed = SzddCompressor().Compress(original.data(), original.size());
    const Bytes stream(packed.begin() + szdd::kHeaderSize, packed.end());
    for (const auto& [maxIn, maxOut] : {std::pair<std::size_t, std::size_t>{1, 1}, {3, 7}, {17, 144}, {40, 200},
                                        {1 << 20, 1 << 20}, {1 << 20, 150}, {20, 1 << 20}, {4096, 5000}})
      ASSERT_TRUE(Expand(stream, original.size(), maxIn, maxOut, 7 * n + maxIn) == original)
          << "input " << n << ", pieces of " << maxIn << " in and " << maxOut << " out";
  }
}

// A stream that starts with matches into the window's initial spaces and reaches back a whole
// window, which the compressor never writes.
TEST(SzddDecoder, MatchesIntoTheInitialWindowAndAWholeWindowBack) {
  Bytes stream;
  Bytes expected;
  // Group 1: a match of 18 at the window's first slot (spaces), then seven literals 'A'..'G'.
  stream.push_back(0xFE);
  stream.push_back(0x00);
  stream.push_back(0x0F);
  expected.insert(expected.end(), 18, ' ');
  for (char c = 'A'; c < 'H'; ++c) stream.push_back(c), expected.push_back(c);
  // Groups of matches of 18 that reach back exactly a whole window: the place about to be
  // written, whose old byte is still the fill or what was written 4096 bytes before.
  for (int group = 0; group < 40; ++group) {
    stream.push_back(0x00);
    for (int token = 0; token < 8; ++token) {
      const std::size_t here = (szdd::kWindowStart + expected.size()) & szdd::kWindowMask;
      stream.push_back(static_cast<BYTE>(here));
      stream.push_back(static_cast<BYTE>(((here >> 4) & 0xF0) | 0x0F));
      for (int i = 0; i < 18; ++i) {
        const std::size_t at = expected.size();
        expected.push_back(at >= szdd::kWindowSize ? expected[at - szdd::kWindowSize] : ' ');
      }
    }
  }
  for (const auto& [maxIn, maxOut] : {std::pair<std::size_t, std::size_t>{1, 1}, {1 << 20, 1 << 20}, {25, 300}})
    EXPECT_TRUE(Expand(stream, expected.size(), maxIn, maxOut, 5) == expected) << maxIn << " " << maxOut;
}

// A caller with nothing to expand into may pass no buffer at all: nothing moves, and the
// decoder goes on as if that call had not been made.
TEST(SzddDecoder, NoOutputBufferChangesNothing) {
  const std::string text = ReadFixture("szdd/good/text.txt");
  const auto packed = SzddCompressor().Compress(reinterpret_cast<const BYTE*>(text.data()), text.size());
  const Bytes stream(packed.begin() + szdd::kHeaderSize, packed.end());
  native::SzddDecoder decoder;
  const auto none = decoder.Decode(stream.data(), stream.size(), nullptr, 0);
  EXPECT_EQ(none.consumed, 0u);
  EXPECT_EQ(none.produced, 0u);
  Bytes out(text.size());
  EXPECT_EQ(decoder.Decode(stream.data(), stream.size(), out.data(), out.size()).produced, text.size());
  EXPECT_EQ(std::string(out.begin(), out.end()), text);
}

}  // namespace
#endif
