// Any bytes as a RIFF palette file, into a buffer and into a palette.
#include "CDIBPalette.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".pal");
  CFile file;
  if (!file.Open(path.c_str(), CFile::modeRead)) return 0;
  PALETTEENTRY entries[256];
  CDIBPalette buffered;
  buffered.Load(&file, entries);
  file.SeekToBegin();
  CDIBPalette created;
  created.Load(&file);
  return 0;
}
