// The smallest program doing the setup's per-file work on the same media, for the install's
// benchmark: the folder made, every listed file opened once for the total length, then copied,
// given the archive attribute and opened again for its length. Started in the media with the
// destination folder, its trailing backslash included, as its argument.
#include "TimingMarks.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

DWORD LengthOf(const std::string& strName) {
  const HANDLE h = CreateFileA(strName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  const DWORD nLength = GetFileSize(h, nullptr);
  CloseHandle(h);
  return nLength;
}

std::vector<std::string> ListedNames() {
  std::vector<std::string> names;
  FILE* f = std::fopen("KV2Setup.inf", "r");
  if (f == nullptr) return names;
  char szLine[MAX_PATH];
  while (std::fgets(szLine, sizeof(szLine), f)) {
    szLine[std::strcspn(szLine, "\r\n")] = '\0';
    if (szLine[0] != '\0') names.emplace_back(szLine);
  }
  std::fclose(f);
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string strFolder = argv[1];
  MarkTiming("install-begin");
  CreateDirectoryA(strFolder.c_str(), nullptr);
  const std::vector<std::string> names = ListedNames();
  DWORD nTotal = 0;
  for (const std::string& strName : names) nTotal += LengthOf(strName);
  DWORD nDone = 0;
  int nFailed = 0;
  for (const std::string& strName : names) {
    const std::string strDestination = strFolder + strName;
    if (!CopyFileA(strName.c_str(), strDestination.c_str(), FALSE) ||
        !SetFileAttributesA(strDestination.c_str(), FILE_ATTRIBUTE_ARCHIVE))
      ++nFailed;
    nDone += LengthOf(strName);
  }
  MarkTiming("install-end");
  return nFailed != 0 || nDone != nTotal;
}
