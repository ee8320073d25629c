// A fresh folder under the temporary folder, removed with everything in it afterwards, even
// read-only files.
#pragma once

#include "win32.h"

#include <string>

class CTestFolder {
 public:
  CTestFolder();
  ~CTestFolder();
  CTestFolder(const CTestFolder&) = delete;
  CTestFolder& operator=(const CTestFolder&) = delete;

  // The folder's Windows path, without a trailing backslash.
  const std::string& Path() const { return m_strPath; }
  std::string Path(const std::string& name) const { return m_strPath + "\\" + name; }

  // Writes a file, making the folders of its name.
  void Write(const std::string& name, const std::string& bytes) const;
  void MakeFolder(const std::string& name) const;

  static std::string Read(const std::string& path);
  static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::string m_strPath;
};
