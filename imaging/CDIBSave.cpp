#include "AfxMessageBox.h"
#include "CDIB.h"
#include "CFileDialog.h"
#include "DIBLayout.h"

#include <cctype>

namespace {

constexpr int kTypeBCFile = 2;

// The message buffer holds 256 bytes, terminator included.
constexpr int kMaxMessage = 255;
constexpr char kUnrecognized[] = "Unrecognized bitmap file type - \"%s\"";

// A path too long for the message keeps its end, from a folder boundary where there is one: the
// file name is what the user needs to see.
CString UnrecognizedMessage(const CString& path) {
  const int room = kMaxMessage - (static_cast<int>(sizeof kUnrecognized) - 1 - 2);
  CString shown = path;
  if (path.GetLength() > room) {
    CString tail = path.Right(room - 3);
    const int folder = tail.Find('\\');
    shown = "..." + (folder >= 0 ? tail.Mid(folder) : tail);
  }
  CString text;
  text.Format(kUnrecognized, static_cast<const char*>(shown));
  return text;
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

int CDIB::SaveToFile(CFile* pFile, int bColorTable) {
  if (m_pBMI == nullptr) return 0;
  // Every row at the bitmap's own depth: a 24-bit row written at the 8-bit stride would leave
  // the file too short to load.
  const std::int64_t pixels = dib::HeldPixelBytes(m_pBMI->bmiHeader);
  if (pixels > dib::kMaxPixelBytes) return 0;
  const DWORD header = bColorTable ? dib::kHeaderBlockBytes : dib::kInfoHeaderBytes;
  const DWORD offBits = dib::kFileHeaderBytes + header;
  const BITMAPFILEHEADER file{bColorTable ? dib::kTypeBM : dib::kTypeBC, offBits + static_cast<DWORD>(pixels), 0, 0,
                              offBits};
  const struct {
    const void* data;
    DWORD bytes;
  } writes[] = {{&file, dib::kFileHeaderBytes}, {m_pBMI, header}, {m_pBits, static_cast<DWORD>(pixels)}};
  // What was written before a failed write stays in the file.
  for (const auto& w : writes) {
    try {
      pFile->Write(w.data, w.bytes);
    } catch (const CFileException&) {
      return 0;
    }
  }
  return 1;
}

int CDIB::Save(const char* pszName) {
  CString path;
  if (!CFileDialog::GivenOrChosen(pszName, FALSE, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                                  "Image files (*.DIB;*.BM*)|*.DIB;*.BM*|All files (*.*)|*.*||", m_strName, path))
    return 0;
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::shareExclusive | CFile::modeReadWrite)) {
    AfxMessageBox("Failed to open file", MB_OK);
    return 0;
  }
  const int result = SaveToFile(&file, GetFileType(path) != kTypeBCFile);
  file.Close();
  if (result == 0) AfxMessageBox("Failed to save file", MB_OK);
  return result;
}

int CDIB::GetFileType(const char* pszPath) {
  const CString path = pszPath;
  const int dot = path.ReverseFind('.');
  if (dot >= 0) {
    const CString ext = path.Mid(dot + 1);
    if (ext.GetLength() >= 2 && Upper(ext[0]) == 'B' && Upper(ext[1]) == 'M') {
      if (ext.GetLength() == 2) return kTypeBCFile;
      switch (Upper(ext[2])) {
        case 'C': return 4;
        case 'Z': return 3;
        default: return 1;
      }
    }
    static const char* const kWholeExtensions[] = {"GIF", "TIF", "JPG"};
    for (int i = 0; i < 3; ++i)
      if (lstrcmpiA(ext, kWholeExtensions[i]) == 0) return 5 + i;
  }
  AfxMessageBox(UnrecognizedMessage(path), MB_OK);
  return 0;
}
