// Any bytes as what kv2media reads from media and from a publisher: a list file, then, after a
// line "--8<--", the media's code-page note, then, after another, an --order file. The list and
// the note are checked as `check` finds them in media beside a few payload files whose names fold
// and compose; the order is read as `build --order` reads it. Every message must stay readable.
#include "CodePage.h"
#include "MediaTool.h"
#include "OrderFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCut = "\n--8<--\n";

// Media of this process's own, memory-backed where there is such a folder.
const fs::path& MediaFolder() {
  static const fs::path folder = [] {
    const fs::path base = fs::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    const fs::path media = base / ("kv2-fuzz-media-" + std::to_string(getpid()));
    fs::remove_all(media);
    fs::create_directories(media);
    for (const char* name : {"KV2.EXE", "readme.txt", "\xEA\xB0\x80.txt", "\xEA\xB0\x82.dat", "\xEF\xBD\x81.txt"})
      std::ofstream(media / name) << "payload";
    return media;
  }();
  return folder;
}

// Written without a stream: a stream's buffer is an allocation the sanitizer fills for every input.
void Put(const char* pszPath, std::string_view bytes) {
  const int fd = open(pszPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
  close(fd);
}

// The next part of the input, up to a cut or its end.
std::string_view Part(std::string_view& rest) {
  const std::size_t nCut = rest.find(kCut);
  const std::string_view part = rest.substr(0, nCut);
  rest = nCut == std::string_view::npos ? std::string_view() : rest.substr(nCut + kCut.size());
  return part;
}

// UTF-8 with no control character but the line end: a message is one line, shown as it is.
void CheckReadable(const std::string& text) {
  static std::u32string points;  // kept: its room serves every input
  if (!CodePage::Utf8ToCodePoints(text, points)) std::abort();
  for (const char32_t c : points)
    if ((c < 0x20 && c != '\n') || (c >= 0x7F && c < 0xA0)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view list = Part(rest);
  const std::string_view note = Part(rest);
  const std::string_view order = rest;

  const fs::path& media = MediaFolder();
  static const std::string strList = (media / "KV2Setup.inf").string(), strNote = (media / "KV2Media.txt").string();
  Put(strList.c_str(), list);
  Put(strNote.c_str(), note);
  std::ostringstream out, err;
  const int nStatus = MediaTool(out, err).Check(media.string(), 0);
  if (nStatus != MediaTool::kDone && nStatus != MediaTool::kProblems) std::abort();
  CheckReadable(out.str());
  CheckReadable(err.str());

  std::istringstream orderIn{std::string(order)};
  int nLast = 0;
  for (const OrderedName& entry : ReadOrder(orderIn)) {
    // A carriage return before the line end is the line end's; another is the name's, and fails to match.
    if (entry.nLine <= nLast || entry.name.empty() || entry.name.find('\n') != std::string::npos) std::abort();
    nLast = entry.nLine;
  }
  return 0;
}
