#include "platform/PlatformTestSupport.h"

#include <fstream>
#include <iterator>

std::string FixturePath(const std::string& relative) { return std::string(KV2_TEST_DATA) + "/" + relative; }

std::string ReadFixture(const std::string& relative) {
  std::ifstream in(FixturePath(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

HANDLE OpenForReading(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

HANDLE Duplicate(HANDLE file) {
  HANDLE copy = nullptr;
  const HANDLE process = GetCurrentProcess();
  return DuplicateHandle(process, file, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS) ? copy : nullptr;
}

bool RunningUnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

std::string ReadToEnd(INT lz) {
  std::string all;
  char chunk[1000];
  for (int n; all.size() < (1u << 24) && (n = LZRead(lz, chunk, sizeof chunk)) > 0;) all.append(chunk, n);
  return all;
}
