// What the imaging tests share: fixture paths, files of bytes, bitmap files built field by field,
// scratch folders, and the answers a user would give (natively, through the platform's seams).
#pragma once

#include "CDIB.h"
#include "DIBLayout.h"
#ifdef _WIN32
#include "CFileDialogWatcher.h"
#include "CMessageBoxWatcher.h"
#endif

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// Refusals print as their sentence in a failed expectation.
inline void PrintTo(DIBRefusal refusal, std::ostream* os) { *os << DescribeRefusal(refusal); }

namespace imaging_test {

using Bytes = std::vector<BYTE>;

// A fixture under tests/data.
std::string DataPath(const std::string& relative);
Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& data);

template <typename T>
void Put(Bytes& data, std::size_t offset, T value) {
  std::memcpy(data.data() + offset, &value, sizeof value);
}
template <typename T>
T Get(const Bytes& data, std::size_t offset) {
  T value;
  std::memcpy(&value, data.data() + offset, sizeof value);
  return value;
}

// Colour entry i is blue i, green 255 - i, red i / 2, reserved 0x5A; pixel (x, y) is
// (x + 3y) & 0xFF; row padding is 0xEE, so that a reader that skips or keeps it shows.
RGBQUAD TestColor(int i);
BYTE TestPixel(int x, int y);
constexpr BYTE kPadding = 0xEE;

struct BitmapFile {
  WORD type = dib::kTypeBM;
  bool core = false;
  LONG width = 5;
  LONG height = 3;
  WORD bitCount = 8;
  DWORD compression = BI_RGB;
  DWORD clrUsed = 0;
  // Bytes between the colour table and the pixels.
  DWORD gap = 0;
  Bytes Build() const;
};

// The pixel rows a bitmap of this size holds, bottom row first, with TestPixel and kPadding.
Bytes TestPixels(int width, int height);

// Bitmap resources: the ImageMagick 8-bit file, the same cut short in its pixels, and its
// 24-bit file.
constexpr WORD kResourceBitmap = 2100;
constexpr WORD kResourceDamaged = 2101;
constexpr WORD kResourceDeepBitmap = 2102;
// Natively they go into the stand-in's resource table; the Windows build has them compiled in.
void ProvideTestResources();

// A folder of its own that is the current directory while the object lives.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

 private:
  std::filesystem::path m_previous;
  std::filesystem::path m_path;
};

// A bitmap whose state a failed load must leave exactly as it was.
struct Snapshot {
  explicit Snapshot(const CDIB& dib);
  const BITMAPINFO* pBMI;
  const BYTE* pBits;
  BOOL bOwnBits;
  BOOL bMapped;
  CString strName;
  Bytes header;
};
::testing::AssertionResult Unchanged(const CDIB& dib, const Snapshot& before);

// The message boxes shown while it lives, each answered with OK: natively through the platform's
// seam, on Windows the real ones, from a watcher thread.
class MessageBoxes {
 public:
  struct Box {
    std::string text;
    std::string caption;
    UINT type;  // buttons and icon
  };
  MessageBoxes();
  ~MessageBoxes();
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;
  std::vector<Box> shown() const;
  // The texts, for comparing in one go.
  std::vector<std::string> texts() const;

 private:
#ifdef _WIN32
  CMessageBoxWatcher m_watcher;
#else
  std::vector<Box> m_shown;
#endif
};

// The captions of the open and save dialogs when the caller gives no title: natively none, on
// Windows the platform's own.
extern const std::string kOpenCaption;
extern const std::string kSaveCaption;

// Answers every file dialog while it lives with a path, or with Cancel when the path is empty,
// and keeps what each dialog offered: natively through the platform's seam, on Windows the real
// dialogs, from a watcher thread.
class FileDialogAnswer {
 public:
  struct Asked {
    std::string caption;  // natively the title asked for, empty for the platform's own
    std::vector<std::string> types;  // the names of the file types offered
    std::string initialName;
    bool readOnlyShown;
#ifndef _WIN32
    // What only the call shows.
    BOOL save;
    DWORD flags;
    std::string filter;  // separators shown as '|'
    bool defaultExtension;
    bool owned;
#endif
  };
  explicit FileDialogAnswer(std::string path);
  ~FileDialogAnswer();
  FileDialogAnswer(const FileDialogAnswer&) = delete;
  FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;
  std::vector<Asked> asked() const;
  // The path the dialog hands back: on Windows the full path of the one given.
  const std::string& chosen() const { return m_path; }

 private:
  std::string m_path;
#ifdef _WIN32
  CFileDialogWatcher m_watcher;
#else
  std::vector<Asked> m_asked;
#endif
};

}  // namespace imaging_test
