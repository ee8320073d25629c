#include "DIBRefusal.h"

const char* DescribeRefusal(DIBRefusal refusal) {
  switch (refusal) {
    case DIBRefusal::kNone: return "loaded";
    case DIBRefusal::kCannotOpen: return "the file cannot be opened";
    case DIBRefusal::kUnreadable: return "the file cannot be read";
    case DIBRefusal::kNotABitmap: return "not a bitmap (no \"BM\" or \"BC\" at its start)";
    case DIBRefusal::kHeaderCut: return "the file ends inside its headers";
    case DIBRefusal::kHeaderSize: return "a bitmap header of neither 12 nor 40 bytes";
    case DIBRefusal::kSizeBelowOffset: return "the file size is below the offset of its pixels";
    case DIBRefusal::kCompressedPixels: return "compressed pixels (run lengths or bit fields)";
    case DIBRefusal::kBitCount: return "not 8, 16, 24 or 32 bits per pixel";
    case DIBRefusal::kNoPixels: return "no pixels: a width or height of 0 or less";
    case DIBRefusal::kTooManyColors: return "more than 256 colours";
    case DIBRefusal::kTooLarge: return "more pixels than a bitmap may hold (2 GB)";
    case DIBRefusal::kRowsShort: return "fewer pixel bytes than its rows need";
    case DIBRefusal::kColorTablePastEnd: return "colour table past the end of the file";
    case DIBRefusal::kPixelsPastEnd: return "pixels past the end of the file";
    case DIBRefusal::kExpansionEndsEarly: return "compressed data ends early";
    case DIBRefusal::kOutOfMemory: return "not enough memory";
    case DIBRefusal::kNotAnArchive: return "not an image archive (no \"DS\" or \"SZ\" at its start)";
    case DIBRefusal::kDirectoryPastEnd: return "directory past the end of the archive";
    case DIBRefusal::kMemberNotFound: return "member not in the archive";
    case DIBRefusal::kMemberOffset: return "member offset past 2 GB";
    case DIBRefusal::kMemberPastEnd: return "member past the end of the archive";
    case DIBRefusal::kNotAPalette: return "not a palette file (no RIFF \"PAL \" form)";
    case DIBRefusal::kNoPaletteData: return "no \"data\" chunk in the palette form";
    case DIBRefusal::kPaletteDataPastEnd: return "\"data\" chunk past the end of the file";
    case DIBRefusal::kPaletteVersion: return "palette version other than 0x300";
    case DIBRefusal::kNoColors: return "a palette of no colours";
    case DIBRefusal::kRecordPastChunk: return "palette record longer than its \"data\" chunk";
  }
  return "unknown";
}
