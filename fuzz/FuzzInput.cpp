#include "FuzzInput.h"

#include "native/LittleEndian.h"
#include "native/SzddDecoder.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

std::string WriteFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension) {
  // Memory-backed where there is such a folder: a file is written for every input.
  const std::filesystem::path folder = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
  const std::string path = (folder / ("kv2-fuzz-" + std::to_string(getpid()) + extension)).string();
  // Unbuffered: a stream's buffer, allocated and filled by the sanitizer for every input, took
  // a fifth of the time of the targets that read files.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t written = write(fd, data + done, size - done);
    if (written <= 0) std::abort();
    done += static_cast<std::size_t>(written);
  }
  close(fd);
  return path;
}

std::string WriteFuzzInput(const std::vector<std::uint8_t>& bytes, const char* extension) {
  return WriteFuzzInput(bytes.data(), bytes.size(), extension);
}

bool ExpandFuzzInput(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& expanded) {
  if (size < szdd::kHeaderSize || std::memcmp(data, szdd::kMagic, sizeof szdd::kMagic) != 0 ||
      data[szdd::kModeOffset] != szdd::kModeLzss)
    return false;
  // As the loaders believe a header: at most 9 bytes for every one compressed.
  const std::size_t claimed = native::ReadU32(data + szdd::kLengthOffset);
  expanded.resize(std::min(claimed, size * 9));
  static native::SzddDecoder decoder;
  decoder.Reset();
  const auto progress =
      decoder.Decode(data + szdd::kHeaderSize, size - szdd::kHeaderSize, expanded.data(), expanded.size());
  expanded.resize(progress.produced);
  return true;
}

void CheckMemoryRefusal(DIBRefusal refusal) {
  switch (refusal) {
    case DIBRefusal::kCannotOpen:
    case DIBRefusal::kUnreadable:
    case DIBRefusal::kExpansionEndsEarly: std::abort();
    default: break;
  }
  if (DescribeRefusal(refusal) == nullptr) std::abort();
}

int Step(int n, int d) { return static_cast<int>(std::clamp<long long>(static_cast<long long>(n) + d, INT_MIN, INT_MAX)); }
