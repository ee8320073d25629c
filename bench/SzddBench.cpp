// SZDD expansion by the native stand-in, through the calls a program makes (LZInit, then one
// LZRead of the whole length), beside libmspack's decoder on the same bytes held in memory
// and beside memcpy; each input compressed by our compressor and by mscompress.
#include "SzddBench.h"

#include "BenchSupport.h"
#include "GoalTable.h"
#include "SzddCompressor.h"
#include "win32.h"

#include <benchmark/benchmark.h>
#include <mspack.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace bench {
namespace {

using Bytes = std::vector<BYTE>;
std::size_t InputBytes() { return IsSmokeRun() ? 256 << 10 : 20 << 20; }

// Words of a small vocabulary, common ones far more often, in lines of prose.
Bytes TextLike(std::mt19937& random) {
  static const char* const words[] = {"the", "of", "and", "to", "in", "a", "is", "that", "for", "it", "as",
                                      "was", "with", "be", "by", "on", "not", "he", "this", "are", "or",
                                      "chat", "window", "bubble", "sprite", "palette", "korvi", "setup",
                                      "message", "install", "folder", "picture", "friend", "hello"};
  constexpr std::size_t n = sizeof words / sizeof *words;
  Bytes b;
  while (b.size() < InputBytes()) {
    const std::size_t r = random() % 1000;
    const char* w = words[(r * r / 1000 * n) / 1000];
    b.insert(b.end(), w, w + std::strlen(w));
    b.push_back(random() % 12 == 0 ? '\n' : ' ');
  }
  b.resize(InputBytes());
  return b;
}

// Records as programs store them: a counter, small numbers, fixed codes, now and then noise.
Bytes BinaryLike(std::mt19937& random) {
  Bytes b;
  for (std::uint32_t i = 0; b.size() < InputBytes(); ++i) {
    const BYTE record[16] = {BYTE(i), BYTE(i >> 8), BYTE(i >> 16), 0, BYTE(random() % 4), 0, 0x8B, 0x45,
                             BYTE(random() % 16), 0xFF, 0x15, 0, BYTE(i % 7), 0x90, 0x90, 0xC3};
    b.insert(b.end(), record, record + 16);
    if (random() % 8 == 0)
      for (int k = 0; k < 8; ++k) b.push_back(static_cast<BYTE>(random()));
  }
  b.resize(InputBytes());
  return b;
}

Bytes Random(std::mt19937& random) {
  Bytes b(InputBytes());
  for (BYTE& c : b) c = static_cast<BYTE>(random());
  return b;
}

// An in-memory file for libmspack: the "name" it is opened by is the address of one of these.
struct MemFile {
  BYTE* data;
  std::size_t size;
  std::size_t pos = 0;
};

mspack_file* MemOpen(mspack_system*, const char* name, int) {
  auto* f = reinterpret_cast<MemFile*>(const_cast<char*>(name));
  f->pos = 0;
  return reinterpret_cast<mspack_file*>(f);
}
void MemClose(mspack_file*) {}
int MemRead(mspack_file* file, void* buffer, int bytes) {
  auto* f = reinterpret_cast<MemFile*>(file);
  const std::size_t n = std::min<std::size_t>(bytes, f->size - f->pos);
  std::memcpy(buffer, f->data + f->pos, n);
  f->pos += n;
  return static_cast<int>(n);
}
int MemWrite(mspack_file* file, void* buffer, int bytes) {
  auto* f = reinterpret_cast<MemFile*>(file);
  if (static_cast<std::size_t>(bytes) > f->size - f->pos) return -1;
  std::memcpy(f->data + f->pos, buffer, bytes);
  f->pos += bytes;
  return bytes;
}
int MemSeek(mspack_file* file, off_t offset, int mode) {
  auto* f = reinterpret_cast<MemFile*>(file);
  const off_t base = mode == MSPACK_SYS_SEEK_START ? 0 : mode == MSPACK_SYS_SEEK_CUR ? off_t(f->pos) : off_t(f->size);
  if (base + offset < 0 || std::size_t(base + offset) > f->size) return -1;
  f->pos = static_cast<std::size_t>(base + offset);
  return 0;
}
off_t MemTell(mspack_file* file) { return static_cast<off_t>(reinterpret_cast<MemFile*>(file)->pos); }
void MemMessage(mspack_file*, const char*, ...) {}
void* MemAlloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void MemFree(void* p) { std::free(p); }
void MemCopy(void* src, void* dest, size_t bytes) { std::memcpy(dest, src, bytes); }

mspack_system g_memory = {MemOpen, MemClose, MemRead, MemWrite, MemSeek, MemTell, MemMessage, MemAlloc, MemFree,
                          MemCopy, nullptr};

bool PeerExpand(const Bytes& packed, Bytes& out) {
  msszdd_decompressor* szdd = mspack_create_szdd_decompressor(&g_memory);
  MemFile in{const_cast<BYTE*>(packed.data()), packed.size()};
  MemFile result{out.data(), out.size()};
  const int error = szdd->decompress(szdd, reinterpret_cast<char*>(&in), reinterpret_cast<char*>(&result));
  mspack_destroy_szdd_decompressor(szdd);
  return error == MSPACK_ERR_OK && result.pos == out.size();
}

bool OurExpand(const std::string& path, Bytes& out) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  const INT lz = LZInit(static_cast<INT>(reinterpret_cast<INT_PTR>(file)));
  if (lz < 0) return false;
  const INT n = LZRead(lz, reinterpret_cast<LPSTR>(out.data()), static_cast<INT>(out.size()));
  LZClose(lz);
  return n == static_cast<INT>(out.size());
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& data) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
}

// One input, compressed by one compressor: made, and its expansions checked against the
// original and against libmspack's, when a benchmark first needs it.
struct Prepared {
  std::string path;
  Bytes packed;
  Bytes original;
};

Bytes Generate(const std::string& input) {
  std::mt19937 random(5);
  if (input == "text") return TextLike(random);
  if (input == "binary") return BinaryLike(random);
  return Random(random);
}

const Prepared& Prepare(const std::string& input, const std::string& by) {
  static std::map<std::string, std::unique_ptr<Prepared>> prepared;
  std::unique_ptr<Prepared>& p = prepared[input + "/" + by];
  if (p) return *p;
  p = std::make_unique<Prepared>();
  p->original = Generate(input);
  const std::string plain = (ScratchFolder() / input).string();
  p->path = plain + "." + by;
  if (by == "ours") {
    const auto packed = SzddCompressor().Compress(p->original.data(), p->original.size());
    WriteFile(p->path, Bytes(packed.begin(), packed.end()));
  } else {
    WriteFile(plain, p->original);
    if (std::system(("mscompress '" + plain + "'").c_str()) != 0) ReportMismatch("mscompress of " + input);
    std::error_code ignored;
    std::filesystem::rename(plain + "_", p->path, ignored);
    std::filesystem::remove(plain, ignored);
  }
  p->packed = ReadFile(p->path);
  Bytes ours(p->original.size()), peer(p->original.size());
  if (!PeerExpand(p->packed, peer) || !OurExpand(p->path, ours) || ours != peer || peer != p->original)
    ReportMismatch("SZDD expansion of " + input + " compressed by " + by);
  return *p;
}

}  // namespace

void RegisterSzddBenchmarks() {
  for (const std::string input : {"text", "binary", "random"}) {
    for (const std::string by : {"ours", "mscompress"}) {
      const std::string suffix = input + "/" + by;
      const std::string ourName = "szdd/lzread/" + suffix, peerName = "szdd/libmspack/" + suffix;
      const std::string copyName = "szdd/memcpy/" + suffix;
      benchmark::RegisterBenchmark(ourName.c_str(), [=](benchmark::State& state) {
        const Prepared& p = Prepare(input, by);
        Bytes out(p.original.size());
        for (auto _ : state) OurExpand(p.path, out);
      });
      benchmark::RegisterBenchmark(peerName.c_str(), [=](benchmark::State& state) {
        const Prepared& p = Prepare(input, by);
        Bytes out(p.original.size());
        for (auto _ : state) PeerExpand(p.packed, out);
      });
      benchmark::RegisterBenchmark(copyName.c_str(), [=](benchmark::State& state) {
        const Prepared& p = Prepare(input, by);
        Bytes out(p.original.size());
        MemcpyLoop(state, out.data(), p.original.data(), out.size());
      });
      AddGoal(ourName, peerName, 4.0);
      AddGoal(ourName, copyName, 0);
    }
  }
}

}  // namespace bench
