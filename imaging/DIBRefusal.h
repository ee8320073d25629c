// Why a reader of bitmap files, image archives or palette files refused its bytes. The public
// loaders still answer 1 or 0; the reason is for tests, fuzzing and the skin author's tools.
#pragma once

enum class DIBRefusal {
  kNone,
  kCannotOpen,
  kUnreadable,
  kNotABitmap,
  kHeaderCut,
  kHeaderSize,
  kSizeBelowOffset,
  kCompressedPixels,
  kBitCount,
  kNoPixels,
  kTooManyColors,
  kTooLarge,
  kRowsShort,
  kColorTablePastEnd,
  kPixelsPastEnd,
  kExpansionEndsEarly,
  kOutOfMemory,
  kNotAnArchive,
  kDirectoryPastEnd,
  kMemberNotFound,
  kMemberOffset,
  kMemberPastEnd,
  kNotAPalette,
  kNoPaletteData,
  kPaletteDataPastEnd,
  kPaletteVersion,
  kNoColors,
  kRecordPastChunk,
};

// One sentence, without a capital or a full stop, to follow a name and a colon.
const char* DescribeRefusal(DIBRefusal refusal);
