// Any bytes as an SZDD file, read through the expansion library with seeks and read sizes taken
// from the same bytes, by two readers over the one file at once.
#include "FuzzInput.h"
#include "win32.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".lz_");
  FuzzedDataProvider steps(data, size);
  std::vector<INT> readers;
  for (int i = 0; i < 2; ++i) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) std::abort();
    // A reader closes its file with it; a failed one leaves it to us.
    const INT hLZ = LZInit(static_cast<INT>(reinterpret_cast<INT_PTR>(h)));
    if (hLZ >= 0)
      readers.push_back(hLZ);
    else
      CloseHandle(h);
  }
  // One buffer for the process: zeroing 64 KiB for every input took a quarter of the time.
  static std::vector<char> buffer(1 << 16);
  for (int n = 0; n < 64 && !readers.empty() && steps.remaining_bytes() > 0; ++n) {
    const INT hLZ = readers[steps.ConsumeIntegralInRange<size_t>(0, readers.size() - 1)];
    if (steps.ConsumeBool()) {
      LZSeek(hLZ, steps.ConsumeIntegral<LONG>(), steps.ConsumeIntegralInRange<INT>(0, 3));
    } else {
      const INT count = steps.ConsumeIntegralInRange<INT>(-1, static_cast<INT>(buffer.size()));
      const INT got = LZRead(hLZ, buffer.data(), count);
      if (got > count && count >= 0) std::abort();
    }
  }
  for (const INT hLZ : readers) LZClose(hLZ);
  return 0;
}
