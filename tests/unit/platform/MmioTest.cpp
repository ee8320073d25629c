// RIFF multimedia I/O over an open file or memory, the way the palette reader walks a palette file,
// with the results the platform's own conformance checks expect.
#include "TempDir.h"
#include "platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

// A file handle with the DOS I/O procedure, as the palette reader opens one.
HMMIO OpenHandle(HANDLE file) {
  MMIOINFO info{};
  info.adwInfo[0] = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(file));
  return mmioOpenA(nullptr, &info, MMIO_ALLOCBUF);
}

// A memory file over the caller's bytes, or over a block of the library's own when bytes is null.
HMMIO OpenMemory(char* bytes, LONG size, DWORD flags = MMIO_READ) {
  MMIOINFO info{};
  info.fccIOProc = FOURCC_MEM;
  info.pchBuffer = bytes;
  info.cchBuffer = size;
  return mmioOpenA(nullptr, &info, flags);
}

enum class Source { Handle, Memory };

class RiffFile : public testing::TestWithParam<std::tuple<RiffCase, Source>> {};

TEST_P(RiffFile, PaletteWalkFindsTheDataChunk) {
  const auto& [c, source] = GetParam();
  TempDir dir;
  dir.Write("file.pal", c.file);
  const HANDLE file = OpenForReading(dir.Path("file.pal"));
  std::string bytes = c.file;
  const HMMIO mmio = source == Source::Handle ? OpenHandle(file) : OpenMemory(bytes.data(), LONG(bytes.size()));
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

INSTANTIATE_TEST_SUITE_P(Files, RiffFile, testing::Combine(testing::ValuesIn(kCases),
                                                           testing::Values(Source::Handle, Source::Memory)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) == Source::Handle ? "_handle" : "_memory");
                         });

// What a descent finds from where the file stands, and the record a failed one leaves: the last
// chunk it looked at.
TEST(MmioDescend, ZeroIdOrTypeMatchesAnyAndAFailedSearchLeavesTheLastChunk) {
  constexpr FOURCC kPal = mmioFOURCC('P', 'A', 'L', ' ');
  constexpr FOURCC kInfo = mmioFOURCC('I', 'N', 'F', 'O');
  constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
  constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
  // RIFF 'PAL ' at 0 (data at 8), LIST 'INFO' at 12 (data at 20), "data" at 34 (data at 42).
  std::string form = Chunk("RIFF", "PAL " + Chunk("LIST", "INFO" + Chunk("INAM", "x")) + Chunk("data", kRecord));
  const struct {
    LONG start;
    bool inForm;  // the RIFF chunk as the parent
    UINT flags;
    FOURCC ckid, fccType;  // asked for
    MMRESULT result;
    FOURCC foundId, foundType;  // left in the record
    DWORD foundOffset;
  } kSteps[] = {
      {0, false, MMIO_FINDRIFF, 0, 0, MMSYSERR_NOERROR, FOURCC_RIFF, kPal, 8},
      {0, false, MMIO_FINDRIFF, FOURCC_RIFF, kWave, MMIOERR_CHUNKNOTFOUND, FOURCC_RIFF, kPal, 8},
      {12, false, MMIO_FINDLIST, 0, 0, MMSYSERR_NOERROR, FOURCC_LIST, kInfo, 20},
      {12, true, MMIO_FINDLIST, 0, kWave, MMIOERR_CHUNKNOTFOUND, kData, 0, 42},
      {0, false, MMIO_FINDCHUNK, 0, kInfo, MMSYSERR_NOERROR, FOURCC_RIFF, kPal, 8},
      {0, false, MMIO_FINDCHUNK, FOURCC_RIFF, 0, MMSYSERR_NOERROR, FOURCC_RIFF, kPal, 8},
      {12, true, MMIO_FINDCHUNK, kData, 0, MMSYSERR_NOERROR, kData, 0, 42},
      {12, true, MMIO_FINDCHUNK, kWave, 0, MMIOERR_CHUNKNOTFOUND, kData, 0, 42},
  };
  const HMMIO mmio = OpenMemory(form.data(), LONG(form.size()));
  ASSERT_NE(mmio, nullptr);
  MMCKINFO riff{};
  ASSERT_EQ(mmioDescend(mmio, &riff, nullptr, 0), MMSYSERR_NOERROR);
  for (const auto& step : kSteps) {
    SCOPED_TRACE(testing::Message() << "from " << step.start << " flags " << step.flags << " id " << step.ckid);
    ASSERT_EQ(mmioSeek(mmio, step.start, SEEK_SET), step.start);
    MMCKINFO chunk{step.ckid, 0x66666666, step.fccType, 0x66666666, 0};
    EXPECT_EQ(mmioDescend(mmio, &chunk, step.inForm ? &riff : nullptr, step.flags), step.result);
    EXPECT_EQ(chunk.ckid, step.foundId);
    // When a search fails on a plain chunk, Wine leaves the four bytes after its header in
    // fccType. Nothing documents that; the stand-in leaves 0, as for a plain chunk found.
    if (!(RunningUnderWine() && step.result != MMSYSERR_NOERROR && step.foundType == 0))
      EXPECT_EQ(chunk.fccType, step.foundType);
    EXPECT_EQ(chunk.dwDataOffset, step.foundOffset);
  }
  mmioClose(mmio, 0);
}

// A memory file over a block of the library's own, zeroed or not: only its size is known.
TEST(MmioMemoryFile, ABlockOfItsOwnHasTheSizeAsked) {
  const struct {
    LONG size;
    DWORD flags;
    LONG expected;
  } kCases[] = {{256, MMIO_READ, 256}, {0, MMIO_READ, 0}, {0, MMIO_ALLOCBUF, 8192}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes, flags " << c.flags);
    const HMMIO mmio = OpenMemory(nullptr, c.size, c.flags);
    ASSERT_NE(mmio, nullptr);
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), 0);
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_END), c.expected);
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_SET), 0);
    std::string bytes(c.expected + 16, '\0');
    EXPECT_EQ(mmioRead(mmio, bytes.data(), LONG(bytes.size())), c.expected);
    mmioClose(mmio, 0);
  }
}

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

// From the end, an offset counts back towards the start, for files and memory alike.
TEST_F(Mmio, SeekFromTheEndCountsBack) {
  std::string bytes = kPalette;
  const LONG size = LONG(kPalette.size());
  for (const HMMIO mmio : {OpenByName(), OpenMemory(bytes.data(), size)}) {
    ASSERT_NE(mmio, nullptr);
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_END), size);
    EXPECT_EQ(mmioSeek(mmio, 4, SEEK_END), size - 4);
    char tail[16];
    EXPECT_EQ(mmioRead(mmio, tail, sizeof tail), 4);
    EXPECT_EQ(std::string(tail, 4), kPalette.substr(size - 4));
    EXPECT_EQ(mmioClose(mmio, 0), MMSYSERR_NOERROR);
  }
}

TEST_F(Mmio, AHandleIsReadFromWhereItsOwnerLeftIt) {
  const HANDLE file = OpenForReading(m_dir.Path("file.pal"));
  SetFilePointer(file, 12, nullptr, FILE_BEGIN);
  const HMMIO mmio = OpenHandle(file);
  EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), 12);
  char id[4];
  EXPECT_EQ(mmioRead(mmio, id, sizeof id), 4);
  EXPECT_EQ(std::string(id, 4), "junk");
  EXPECT_EQ(mmioClose(mmio, 0), MMSYSERR_NOERROR);
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

TEST(MmioMemoryFile, NegativeSizeDoesNotOpen) {
  MMIOINFO info{};
  info.fccIOProc = FOURCC_MEM;
  info.cchBuffer = -1;
  EXPECT_EQ(mmioOpenA(nullptr, &info, MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, UINT(MMIOERR_CANNOTOPEN));
}
#endif

}  // namespace
