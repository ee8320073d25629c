// The image archive (".kds"): a 16-byte header, a directory of 20-byte entries, and complete
// bitmap files at the offsets the entries give. Compressed, the whole file is one SZDD stream of
// that same layout.
#pragma once

#include "win32.h"

#include <cstring>

namespace kds {

constexpr char kMagic[2] = {'D', 'S'};
constexpr char kCompressedMagic[2] = {'S', 'Z'};
// A name is terminated within its 16 bytes.
constexpr int kMaxNameLength = 15;

struct Header {
  char magic[2];
  BYTE unused1[6];
  WORD count;  // directory entries
  BYTE unused2[6];
};
static_assert(sizeof(Header) == 16);

struct Entry {
  char name[kMaxNameLength + 1];
  DWORD offset;  // from the archive's start
};
static_assert(sizeof(Entry) == 20);

inline bool HasMagic(const void* data, const char (&magic)[2]) { return std::memcmp(data, magic, 2) == 0; }

// A name without its terminator inside the entry is damage, and names no member.
inline bool IsTerminated(const Entry& entry) {
  // Names are mostly short and padded with zeros: the last byte tells at once.
  return entry.name[kMaxNameLength] == '\0' || std::memchr(entry.name, '\0', sizeof entry.name) != nullptr;
}

}  // namespace kds
