// Any bytes as the setup's list file, read twice as the install reads it: both passes must see
// the same lines, none holding a line feed or the end of the text.
#include "CStdioFile.h"
#include "FuzzInput.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(CStdioFile& list) {
  std::vector<std::string> lines;
  CString strLine;
  while (list.ReadString(strLine)) {
    const std::string line(strLine, static_cast<size_t>(strLine.GetLength()));
    if (line.find_first_of("\n\x1a") != std::string::npos) std::abort();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".inf");
  CStdioFile list;
  if (!list.Open(path.c_str(), CFile::modeRead | CFile::shareCompat)) std::abort();
  const std::vector<std::string> first = Lines(list);
  list.SeekToBegin();
  if (Lines(list) != first) std::abort();
  list.Close();
  return 0;
}
