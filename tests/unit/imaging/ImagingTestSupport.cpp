#include "ImagingTestSupport.h"

#ifndef _WIN32
#include "native/Resources.h"
#include "native/Seams.h"
#endif

#include <algorithm>
#include <fstream>
#include <iterator>

namespace imaging_test {

// Taken before any test changes the current directory.
std::string DataPath(const std::string& relative) {
  static const std::filesystem::path data = std::filesystem::absolute(KV2_TEST_DATA);
  return (data / relative).string();
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

RGBQUAD TestColor(int i) {
  return RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0x5A};
}

BYTE TestPixel(int x, int y) { return static_cast<BYTE>(x + 3 * y); }

Bytes TestPixels(int width, int height) {
  const int stride = (width + 3) & ~3;
  Bytes rows(static_cast<std::size_t>(stride) * height, kPadding);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[static_cast<std::size_t>(height - 1 - y) * stride + x] = TestPixel(x, y);
  return rows;
}

Bytes BitmapFile::Build() const {
  const std::size_t headerBytes = core ? dib::kCoreHeaderBytes : dib::kInfoHeaderBytes;
  const std::size_t entryBytes = core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
  BITMAPINFOHEADER info{};
  info.biSize = dib::kInfoHeaderBytes;
  info.biBitCount = bitCount;
  info.biClrUsed = clrUsed;
  const int colors = type == dib::kTypeBM ? CDIB::GetNumColors(&info) : 0;
  const int bytesPerPixel = bitCount >= 8 ? bitCount / 8 : 1;
  const Bytes pixels = width > 0 && height > 0 && width < 0x10000 && height < 0x10000
                           ? TestPixels(width * bytesPerPixel, height)
                           : Bytes(16, 0);

  const std::size_t colorStart = dib::kFileHeaderBytes + headerBytes;
  const std::size_t offBits = colorStart + colors * entryBytes + gap;
  Bytes file(offBits + pixels.size(), 0);
  Put<WORD>(file, 0, type);
  Put<DWORD>(file, 2, static_cast<DWORD>(file.size()));
  Put<DWORD>(file, 10, static_cast<DWORD>(offBits));
  if (core) {
    Put<BITMAPCOREHEADER>(file, dib::kFileHeaderBytes,
                          BITMAPCOREHEADER{dib::kCoreHeaderBytes, static_cast<WORD>(width), static_cast<WORD>(height), 1,
                                           bitCount});
  } else {
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biCompression = compression;
    Put<BITMAPINFOHEADER>(file, dib::kFileHeaderBytes, info);
  }
  for (int i = 0; i < colors; ++i) {
    const RGBQUAD c = TestColor(i);
    if (core) Put<RGBTRIPLE>(file, colorStart + i * entryBytes, RGBTRIPLE{c.rgbBlue, c.rgbGreen, c.rgbRed});
    else Put<RGBQUAD>(file, colorStart + i * entryBytes, c);
  }
  std::copy(pixels.begin(), pixels.end(), file.begin() + static_cast<std::ptrdiff_t>(offBits));
  return file;
}

void ProvideTestResources() {
#ifndef _WIN32
  static const bool provided = [] {
    native::AddResource("DIB", kResourceBitmap, ReadBytes(DataPath("bmp/good/magick-bmp3-8bit.bmp")));
    native::AddResource("DIB", kResourceDamaged, ReadBytes(DataPath("bmp/bad/magick-bmp3-8bit-cut-at-1100.bmp")));
    native::AddResource("DIB", kResourceDeepBitmap, ReadBytes(DataPath("bmp/good/magick-bmp3-24bit.bmp")));
    return true;
  }();
  static_cast<void>(provided);
#endif
}

ScratchDir::ScratchDir() : m_previous(std::filesystem::current_path()) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("scratch-") + test->test_suite_name() + "-" + test->name();
  for (char& c : name)
    if (c == '/') c = '-';
  m_path = m_previous / name;
  std::filesystem::remove_all(m_path);
  std::filesystem::create_directories(m_path);
  std::filesystem::current_path(m_path);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::current_path(m_previous, ignored);
  std::filesystem::remove_all(m_path, ignored);
}

Snapshot::Snapshot(const CDIB& dib)
    : pBMI(dib.m_pBMI),
      pBits(dib.m_pBits),
      bOwnBits(dib.m_bOwnBits),
      bMapped(dib.m_bMapped),
      strName(dib.m_strName),
      header(reinterpret_cast<const BYTE*>(dib.m_pBMI), reinterpret_cast<const BYTE*>(dib.m_pBMI) + dib::kHeaderBlockBytes) {}

::testing::AssertionResult Unchanged(const CDIB& dib, const Snapshot& before) {
  if (dib.m_pBMI != before.pBMI || dib.m_pBits != before.pBits) return ::testing::AssertionFailure() << "bitmap replaced";
  if (dib.m_bOwnBits != before.bOwnBits) return ::testing::AssertionFailure() << "ownership changed";
  if (dib.m_bMapped != before.bMapped) return ::testing::AssertionFailure() << "mapped flag changed";
  if (!(dib.m_strName == before.strName)) return ::testing::AssertionFailure() << "name is " << dib.m_strName;
  if (std::memcmp(dib.m_pBMI, before.header.data(), before.header.size()) != 0)
    return ::testing::AssertionFailure() << "header block changed";
  return ::testing::AssertionSuccess();
}

std::vector<std::string> MessageBoxes::texts() const {
  std::vector<std::string> texts;
  for (const Box& box : shown()) texts.push_back(box.text);
  return texts;
}

#ifdef _WIN32
MessageBoxes::MessageBoxes() = default;
MessageBoxes::~MessageBoxes() = default;

std::vector<MessageBoxes::Box> MessageBoxes::shown() const {
  std::vector<Box> boxes;
  for (const SeenBox& seen : m_watcher.Seen())
    boxes.push_back(Box{seen.text, seen.caption, (seen.bCancel ? MB_OKCANCEL : MB_OK) | seen.uIcon});
  return boxes;
}

// "열기" and "다른 이름으로 저장" in the Korean locale's code page, where the tests run.
const std::string kOpenCaption = "\xBF\xAD\xB1\xE2";
const std::string kSaveCaption = "\xB4\xD9\xB8\xA5 \xC0\xCC\xB8\xA7\xC0\xB8\xB7\xCE \xC0\xFA\xC0\xE5";

// The full path, so that the answer does not depend on the folder the dialog opens in.
FileDialogAnswer::FileDialogAnswer(std::string path)
    : m_path(path.empty() ? path : std::filesystem::absolute(path).string()), m_watcher(m_path) {}

FileDialogAnswer::~FileDialogAnswer() = default;

std::vector<FileDialogAnswer::Asked> FileDialogAnswer::asked() const {
  std::vector<Asked> asked;
  for (const SeenFileDialog& seen : m_watcher.Seen())
    asked.push_back(Asked{seen.caption, seen.types, seen.fileName, seen.bReadOnlyShown});
  return asked;
}
#else
MessageBoxes::MessageBoxes() {
  native::SetMessageBoxHandler([this](HWND, LPCSTR text, LPCSTR caption, UINT type) {
    m_shown.push_back(Box{text, caption != nullptr ? caption : "", type});
    return IDOK;
  });
}

MessageBoxes::~MessageBoxes() { native::SetMessageBoxHandler(nullptr); }

std::vector<MessageBoxes::Box> MessageBoxes::shown() const { return m_shown; }

const std::string kOpenCaption;
const std::string kSaveCaption;

FileDialogAnswer::FileDialogAnswer(std::string path) : m_path(std::move(path)) {
  native::SetFileDialogHandler([this](BOOL save, const OPENFILENAMEA& ofn) -> std::optional<std::string> {
    std::string filter;
    std::vector<std::string> types;
    // Pairs of a name and its patterns; the filter ends with two terminators.
    for (const char* p = ofn.lpstrFilter; p != nullptr && *p != '\0'; p += std::strlen(p) + 1) {
      if (std::count(filter.begin(), filter.end(), '|') % 2 == 0) types.emplace_back(p);
      filter += std::string(p) + "|";
    }
    m_asked.push_back(Asked{ofn.lpstrTitle ? ofn.lpstrTitle : "", types, ofn.lpstrFile ? ofn.lpstrFile : "",
                            (ofn.Flags & OFN_HIDEREADONLY) == 0, save, ofn.Flags, filter, ofn.lpstrDefExt != nullptr,
                            ofn.hwndOwner != nullptr});
    if (m_path.empty()) return std::nullopt;
    return m_path;
  });
}

FileDialogAnswer::~FileDialogAnswer() { native::SetFileDialogHandler(nullptr); }

std::vector<FileDialogAnswer::Asked> FileDialogAnswer::asked() const { return m_asked; }
#endif

}  // namespace imaging_test
