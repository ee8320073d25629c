// A folder on the 1 MB drive ctest mounts for the tests of a destination that fills up, in the
// platform's form (Wine's Z: is the Unix root); removed with everything in it afterwards.
#pragma once

#include "win32.h"

#include <gtest/gtest.h>

#include <string>

class CSmallDriveFolder {
 public:
  CSmallDriveFolder();
  ~CSmallDriveFolder();
  CSmallDriveFolder(const CSmallDriveFolder&) = delete;
  CSmallDriveFolder& operator=(const CSmallDriveFolder&) = delete;

  std::string Path() const { return m_strRoot + "\\KV2"; }
  ::testing::AssertionResult Mounted() const;
  ULONGLONG FreeBytes() const;

  static constexpr ULONGLONG kSize = 1 << 20;

 private:
  std::string m_strRoot;
};
