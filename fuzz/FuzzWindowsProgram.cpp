// Any bytes as the setup kv2media ships or finds in media: judged a Windows program or not, and
// signed or not, without reading outside the file; only a program can carry a signature.
#include "FuzzInput.h"
#include "WindowsProgram.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".exe");
  if (IsSigned(path) && !WhyNotWindowsProgram(path).empty()) std::abort();
  return 0;
}
