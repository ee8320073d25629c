// Any bytes as an image archive, plain and compressed as a whole, loaded by name: the member its
// first entry names and a name of the setup's skin.
#include "CDIB.h"
#include "FuzzInput.h"
#include "ImageArchiveFormat.h"

#include <cstring>
#include <string>

namespace {

void LoadMembers(const std::string& path, const std::string& first) {
  const std::string archive = path.substr(0, path.size() - 4);  // without ".kds"
  for (const std::string& member : {first, std::string("LoginBk.bmp")}) {
    CDIB dib;
    if (dib.Load((archive + "|" + member).c_str()))
      for (int y = 0; y < dib.GetHeight(); y += 3)
        if (BYTE* p = dib.GetPixelAddress(dib.GetWidth() - 1, y)) *p ^= 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string first = "LoginBk.bmp";
  if (size >= sizeof(kds::Header) + sizeof(kds::Entry)) {
    kds::Entry entry;
    std::memcpy(&entry, data + sizeof(kds::Header), sizeof entry);
    if (kds::IsTerminated(entry)) first = entry.name;
  }
  LoadMembers(WriteFuzzInput(data, size, ".kds"), first);
  LoadMembers(WriteFuzzInput(CompressedFuzzInput(data, size), "-sz.kds"), first);
  return 0;
}
