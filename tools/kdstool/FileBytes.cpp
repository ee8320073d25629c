#include "FileBytes.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

// The expansion library closes the file it was given.
bool ReadExpanded(const std::string& path, Bytes& bytes, bool& compressed, std::string& error) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot open " + path;
    return false;
  }
  const INT fileNumber = static_cast<INT>(reinterpret_cast<INT_PTR>(file));
  const INT lz = LZInit(fileNumber);
  if (lz < 0) {
    CloseHandle(file);
    error = path + " is damaged: its compressed data cannot be expanded";
    return false;
  }
  compressed = lz != fileNumber;
  const LONG length = LZSeek(lz, 0, 2);
  bool ok = length >= 0 && LZSeek(lz, 0, 0) == 0;
  if (ok) {
    bytes.assign(static_cast<std::size_t>(length), 0);
    LONG done = 0;
    while (ok && done < length) {
      const INT got = LZRead(lz, reinterpret_cast<LPSTR>(bytes.data() + done), length - done);
      ok = got > 0;
      done += got > 0 ? got : 0;
    }
  }
  LZClose(lz);
  if (!ok) error = path + " is damaged: it expands to fewer bytes than it claims";
  return ok;
}

}  // namespace

bool ReadFileBytes(const std::string& path, bool expand, Bytes& bytes, bool& compressed, std::string& error) {
  if (expand) return ReadExpanded(path, bytes, compressed, error);
  compressed = false;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool WriteFileAtomically(const std::string& path, const Bytes& bytes, std::string& error) {
  const std::filesystem::path target(path);
  std::filesystem::path temporary = target;
  temporary += ".kdstool-partial";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      error = "cannot write " + path;
      return false;
    }
  }
  std::error_code failed;
  std::filesystem::rename(temporary, target, failed);
  if (failed) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    error = "cannot write " + path + ": " + failed.message();
    return false;
  }
  return true;
}
