#include "TempDir.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  m_path = std::filesystem::temp_directory_path() /
           ("kv2-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
  namespace fs = std::filesystem;
  std::error_code ignored;
  // On Windows a read-only file cannot be deleted. A destructor must not throw, so the walk
  // stops at the first entry it cannot reach.
  std::error_code walk;
  for (fs::recursive_directory_iterator it(m_path, walk), end; !walk && it != end; it.increment(walk))
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  fs::remove_all(m_path, ignored);
}

std::string TempDir::Path(const std::string& name) const { return (m_path / name).string(); }

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path path(Path(name));
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

void TempDir::MakeFolder(const std::string& name) const { std::filesystem::create_directories(Path(name)); }

std::string TempDir::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
