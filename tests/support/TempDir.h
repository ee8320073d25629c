// A fresh folder for a test's files, removed afterwards with everything in it, read-only files
// included.
#pragma once

#include <filesystem>
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's path and that of a file in it, in the platform's own form.
  std::string Path() const { return m_path.string(); }
  std::string Path(const std::string& name) const;
  // Writes a file, making the folders of its name.
  void Write(const std::string& name, const std::string& bytes) const;
  void MakeFolder(const std::string& name) const;
  std::string Read(const std::string& name) const { return ReadFile(Path(name)); }

  static std::string ReadFile(const std::string& path);
  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

 private:
  std::filesystem::path m_path;
};
