// Any bytes as an image archive read from memory, loaded by name: the member its first entry
// names and a name of the setup's skin. Plain, as an archive expanded from a compressed one
// (whose magic is not looked at), and, for SZDD-compressed bytes, as they expand.
#include "CDIB.h"
#include "FuzzInput.h"
#include "ImageArchiveFormat.h"
#include "MemorySource.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void LoadMembers(const std::uint8_t* data, std::size_t size, bool bNoMagicToCheck, const std::string& first) {
  for (const std::string& member : {first, std::string("LoginBk.bmp")}) {
    CDIB dib;
    MemorySource in(data, size);
    const DIBRefusal refusal = dib.ReadArchiveMemberFromSource(in, bNoMagicToCheck, member.c_str());
    CheckMemoryRefusal(refusal);
    if (refusal == DIBRefusal::kNone)
      for (int y = 0; y < dib.GetHeight(); y += 3)
        if (BYTE* p = dib.GetPixelAddress(dib.GetWidth() - 1, y)) *p ^= 1;
  }
}

std::string FirstName(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(kds::Header) + sizeof(kds::Entry)) return "LoginBk.bmp";
  kds::Entry entry;
  std::memcpy(&entry, data + sizeof(kds::Header), sizeof entry);
  return kds::IsTerminated(entry) ? entry.name : "LoginBk.bmp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string first = FirstName(data, size);
  LoadMembers(data, size, false, first);
  LoadMembers(data, size, true, first);
  static std::vector<std::uint8_t> expanded;
  if (ExpandFuzzInput(data, size, expanded))
    LoadMembers(expanded.data(), expanded.size(), true, FirstName(expanded.data(), expanded.size()));
  return 0;
}
