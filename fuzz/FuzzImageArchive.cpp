// Any bytes as an image archive, plain or compressed, asked for the member its first entry
// names and for a name of the setup's skin.
#include "CDIB.h"
#include "FuzzInput.h"
#include "ImageArchiveFormat.h"

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".kds");
  std::string first = "LoginBk.bmp";
  if (size >= sizeof(kds::Header) + sizeof(kds::Entry)) {
    kds::Entry entry;
    std::memcpy(&entry, data + sizeof(kds::Header), sizeof entry);
    if (kds::IsTerminated(entry)) first = entry.name;
  }
  for (const std::string& member : {first, std::string("LoginBk.bmp")}) {
    CDIB dib;
    if (dib.LoadFromArchive(path.c_str(), member.c_str(), nullptr))
      for (int y = 0; y < dib.GetHeight(); y += 3)
        if (BYTE* p = dib.GetPixelAddress(dib.GetWidth() - 1, y)) *p ^= 1;
  }
  return 0;
}
