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
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Path(const std::string& name) const { return (m_path / name).string(); }

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(m_path / name, std::ios::binary) << bytes;
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(m_path / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
