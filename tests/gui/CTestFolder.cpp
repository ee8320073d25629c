#include "CTestFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string UniqueName() {
  static int nCount = 0;
  return "kv2gui-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++nCount);
}

}  // namespace

CTestFolder::CTestFolder() {
  char szTemp[MAX_PATH];
  GetTempPathA(MAX_PATH, szTemp);
  m_strPath = std::string(szTemp) + UniqueName();
  CreateDirectoryA(m_strPath.c_str(), nullptr);
}

CTestFolder::~CTestFolder() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_strPath, ec))
    SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(m_strPath, ec);
}

void CTestFolder::MakeFolder(const std::string& name) const { std::filesystem::create_directories(Path(name)); }

void CTestFolder::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path path(Path(name));
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string CTestFolder::Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}
