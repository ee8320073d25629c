// RIFF multimedia I/O over an open file, the way the palette reader walks a palette file.
#include "TempDir.h"
#include "platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string U32(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::string Chunk(const std::string& id, const std::string& data) {
  return id + U32(static_cast<DWORD>(data.size())) + data + (data.size() % 2 ? std::string(1, '\0') : "");
}

const std::string kRecord("\x00\x03\x02\x00" "\x01\x02\x03\x00" "\x04\x05\x06\x00", 12);
const std::string kPalette = Chunk("RIFF", "PAL " + Chunk("junk", "abc") + Chunk("data", kRecord));

struct RiffCase {
  const char* name;
  std::string file;
  bool found;        // both descents succeed
  DWORD dataSize;    // of the "data" chunk found
  LONG readable;     // what a read of 64 bytes gets from it
};

const RiffCase kCases[] = {
    {"palette", kPalette, true, 12, 12},
    {"after_other_form", Chunk("RIFF", "WAVE" + Chunk("data", "zz")) + kPalette, true, 12, 12},
    {"after_list", Chunk("LIST", "INFO" + Chunk("INAM", "x")) + kPalette, true, 12, 12},
    {"after_odd_chunk", Chunk("odd ", "abc") + kPalette, true, 12, 12},
    {"other_form_only", Chunk("RIFF", "WAVE" + Chunk("data", "zz")), false, 0, 0},
    {"no_data_chunk", Chunk("RIFF", "PAL " + Chunk("junk", "abc")), false, 0, 0},
    {"empty", "", false, 0, 0},
    {"riff_size_past_end", "RIFF" + U32(1000) + "PAL " + Chunk("data", kRecord), true, 12, 12},
    {"data_size_past_end", "RIFF" + U32(1000) + "PAL " + "data" + U32(500) + kRecord, true, 500, 12},
    {"chunk_size_past_parent", "RIFF" + U32(0x7FFFFFF0) + "PAL " + "junk" + U32(0xFFFFFFF0) + Chunk("data", kRecord),
     false, 0, 0},
    {"header_cut", "RIFF" + U32(100), false, 0, 0},
};

// Descends into the first "PAL " form and its "data" chunk, as the palette reader does.
bool FindPaletteData(HMMIO mmio, MMCKINFO& data) {
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('P', 'A', 'L', ' ');
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  return mmioDescend(mmio, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR &&
         mmioDescend(mmio, &data, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
}

class RiffFile : public testing::TestWithParam<RiffCase> {};

TEST_P(RiffFile, PaletteWalkFindsTheDataChunk) {
  const RiffCase& c = GetParam();
  TempDir dir;
  dir.Write("file.pal", c.file);
  const HANDLE file = OpenForReading(dir.Path("file.pal"));
  MMIOINFO info{};
  info.adwInfo[0] = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(file));
  const HMMIO mmio = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF);
  ASSERT_NE(mmio, nullptr);

  MMCKINFO data{};
  const bool found = FindPaletteData(mmio, data);
  EXPECT_EQ(found, c.found);
  if (found) {
    EXPECT_EQ(data.cksize, c.dataSize);
    char buffer[64];
    const LONG read = mmioRead(mmio, buffer, sizeof buffer);
    EXPECT_EQ(read, c.readable);
    EXPECT_EQ(std::string(buffer, std::min<LONG>(read, 12)), kRecord.substr(0, std::min<LONG>(read, 12)));
  }
  EXPECT_EQ(mmioClose(mmio, MMIO_FHOPEN), MMSYSERR_NOERROR);
  EXPECT_TRUE(IsOpen(file)) << "MMIO_FHOPEN leaves the file to its owner";
  CloseHandle(file);
}

INSTANTIATE_TEST_SUITE_P(Files, RiffFile, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class Mmio : public testing::Test {
 protected:
  void SetUp() override { m_dir.Write("file.pal", kPalette); }
  HMMIO OpenByName() { return mmioOpenA(m_dir.Path("file.pal").data(), nullptr, MMIO_READ); }

  TempDir m_dir;
};

TEST_F(Mmio, DescentPlacesTheFileAfterTheHeaders) {
  const HMMIO mmio = OpenByName();
  ASSERT_NE(mmio, nullptr);
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('P', 'A', 'L', ' ');
  ASSERT_EQ(mmioDescend(mmio, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
  EXPECT_EQ(riff.ckid, FOURCC_RIFF);
  EXPECT_EQ(riff.cksize, kPalette.size() - 8);
  EXPECT_EQ(riff.dwDataOffset, 8u);
  EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), 12) << "after the form type";
  // Plain descents and ascents visit the sub-chunks in order, skipping the pad byte.
  MMCKINFO sub{};
  ASSERT_EQ(mmioDescend(mmio, &sub, &riff, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(sub.ckid, mmioFOURCC('j', 'u', 'n', 'k'));
  EXPECT_EQ(sub.dwDataOffset, 20u);
  EXPECT_EQ(mmioAscend(mmio, &sub, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), 24);
  ASSERT_EQ(mmioDescend(mmio, &sub, &riff, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(sub.ckid, mmioFOURCC('d', 'a', 't', 'a'));
  EXPECT_EQ(mmioAscend(mmio, &sub, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(mmioDescend(mmio, &sub, &riff, 0), MMIOERR_CHUNKNOTFOUND) << "end of the RIFF chunk";
  EXPECT_EQ(mmioClose(mmio, 0), MMSYSERR_NOERROR);
}

TEST_F(Mmio, OpensAFileHandleWithTheDosProcedure) {
  const HANDLE file = OpenForReading(m_dir.Path("file.pal"));
  MMIOINFO info{};
  info.fccIOProc = FOURCC_DOS;
  info.adwInfo[0] = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(file));
  const HMMIO mmio = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF);
  ASSERT_NE(mmio, nullptr);
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('P', 'A', 'L', ' ');
  EXPECT_EQ(mmioDescend(mmio, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
  EXPECT_EQ(mmioClose(mmio, 0), MMSYSERR_NOERROR);
  EXPECT_FALSE(IsOpen(file)) << "without MMIO_FHOPEN the file goes with the handle";
}

TEST_F(Mmio, MissingFileDoesNotOpen) {
  MMIOINFO info{};
  EXPECT_EQ(mmioOpenA(m_dir.Path("missing.pal").data(), &info, MMIO_READ), nullptr);
  EXPECT_NE(info.wErrorRet, 0u);
}

#ifndef _WIN32
// Two hostile layouts the platform handles unsoundly: it searches forever once a size wraps the
// position around, and it looks past the end of the parent chunk.
TEST_F(Mmio, SearchNeverWrapsAroundOrLeavesTheParent) {
  m_dir.Write("wrap.pal", "XXXX" + U32(0xFFFFFFF8) + kPalette);
  m_dir.Write("outside.pal", "RIFF" + U32(4 + 12) + "PAL " + Chunk("junk", "abc") + Chunk("data", kRecord));
  for (const char* name : {"wrap.pal", "outside.pal"}) {
    const HMMIO mmio = mmioOpenA(m_dir.Path(name).data(), nullptr, MMIO_READ);
    MMCKINFO data{};
    const bool found = FindPaletteData(mmio, data);
    EXPECT_FALSE(found) << name;
    mmioClose(mmio, 0);
  }
}
#endif

}  // namespace
