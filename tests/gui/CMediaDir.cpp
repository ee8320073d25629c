#include "CMediaDir.h"

#include "SzddCompressor.h"

#include <filesystem>

namespace {

std::string Compressed(const std::string& bytes) {
  const auto compressed =
      SzddCompressor().Compress(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return std::string(compressed.begin(), compressed.end());
}

// The member keeps its bytes under another name, so the setup's lookup misses it.
std::string Renamed(std::string archive, const std::string& member) {
  const std::size_t at = archive.find(member);
  if (at != std::string::npos) archive[at] = '_';
  return archive;
}

}  // namespace

CMediaDir::CMediaDir(Skin skin) {
  const std::string archive = SkinArchive();
  switch (skin) {
    case Skin::kPlain: Write("K2Login.kds", archive); break;
    case Skin::kCompressed: Write("K2Login.kds", Compressed(archive)); break;
    case Skin::kNone: break;
    case Skin::kWithoutCancelButton: Write("K2Login.kds", Renamed(archive, "BtnNo.bmp")); break;
  }
  GetCurrentDirectoryA(MAX_PATH, m_szOldDirectory);
  SetCurrentDirectoryA(Path().c_str());
}

CMediaDir::~CMediaDir() { SetCurrentDirectoryA(m_szOldDirectory); }

std::string CMediaDir::SkinArchive() {
  // Relative to where the suite started, before any test changed the current directory.
  static const std::string archive = ReadFile(std::filesystem::absolute(KV2_SKIN_ARCHIVE).string());
  return archive;
}
