#include "CSmallDriveFolder.h"

#include <algorithm>
#include <filesystem>

CSmallDriveFolder::CSmallDriveFolder() : m_strRoot("Z:" + std::string(KV2_SMALL_DRIVE)) {
  std::replace(m_strRoot.begin(), m_strRoot.end(), '/', '\\');
}

CSmallDriveFolder::~CSmallDriveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Path(), ignored);
}

::testing::AssertionResult CSmallDriveFolder::Mounted() const {
  ULARGE_INTEGER free{}, total{};
  if (GetDiskFreeSpaceExA(m_strRoot.c_str(), &free, &total, nullptr) && total.QuadPart == kSize)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no 1 MB drive at " << KV2_SMALL_DRIVE
                                       << ": ctest mounts it (tests/gui/small-drive.sh up, as root)";
}

ULONGLONG CSmallDriveFolder::FreeBytes() const {
  ULARGE_INTEGER free{};
  GetDiskFreeSpaceExA(m_strRoot.c_str(), &free, nullptr, nullptr);
  return free.QuadPart;
}
