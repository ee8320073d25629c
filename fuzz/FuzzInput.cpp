#include "FuzzInput.h"

#include "SzddCompressor.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

std::string WriteFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension) {
  // Memory-backed where there is such a folder: a file is written for every input.
  const std::filesystem::path folder = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
  const std::string path = (folder / ("kv2-fuzz-" + std::to_string(getpid()) + extension)).string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

std::string WriteFuzzInput(const std::vector<std::uint8_t>& bytes, const char* extension) {
  return WriteFuzzInput(bytes.data(), bytes.size(), extension);
}

std::vector<std::uint8_t> CompressedFuzzInput(const std::uint8_t* data, std::size_t size) {
  // One compressor for the process, so that its tables are reused rather than allocated anew.
  static SzddCompressor compressor;
  return compressor.Compress(data, size);
}

int Step(int n, int d) { return static_cast<int>(std::clamp<long long>(static_cast<long long>(n) + d, INT_MIN, INT_MAX)); }
