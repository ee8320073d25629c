// LZ expansion of SZDD files over the native file calls, with the expansion library's handle
// numbers: states are 0x400 upwards, sixteen at most; any other number is a file.
#include "LittleEndian.h"
#include "LzReader.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr INT kFirstHandle = 0x400;
constexpr INT kMaxReaders = 16;

using ReaderTable = std::array<std::unique_ptr<native::LzReader>, kMaxReaders>;

ReaderTable& Readers() {
  static ReaderTable readers;
  return readers;
}

bool IsLzHandle(INT file) { return file >= kFirstHandle && file < kFirstHandle + kMaxReaders; }

native::LzReader* ReaderOf(INT file) { return IsLzHandle(file) ? Readers()[file - kFirstHandle].get() : nullptr; }

HANDLE FileOf(INT file) { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(file)); }

DWORD ExpandedLength(const BYTE* header) { return native::ReadU32(header + szdd::kLengthOffset); }

INT AddReader(HANDLE file, LONG length) {
  for (INT i = 0; i < kMaxReaders; ++i) {
    if (Readers()[i]) continue;
    Readers()[i].reset(new (std::nothrow) native::LzReader(file, length));
    return Readers()[i] ? kFirstHandle + i : LZERROR_GLOBALLOC;
  }
  return LZERROR_GLOBALLOC;
}

}  // namespace

INT LZInit(INT file) {
  // A file number that reads as a state number would be taken for that state.
  if (file <= 0 || IsLzHandle(file)) return LZERROR_BADINHANDLE;
  const HANDLE handle = FileOf(file);
  BYTE header[szdd::kHeaderSize];
  DWORD got = 0;
  if (SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !ReadFile(handle, header, sizeof header, &got, nullptr))
    return LZERROR_BADINHANDLE;
  if (got < sizeof header || std::memcmp(header, szdd::kMagic, sizeof szdd::kMagic) != 0) {
    SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    return file;
  }
  if (header[szdd::kModeOffset] != szdd::kModeLzss) return LZERROR_UNKNOWNALG;
  return AddReader(handle, static_cast<LONG>(ExpandedLength(header)));
}

LONG LZSeek(INT file, LONG offset, INT origin) {
  if (native::LzReader* reader = ReaderOf(file)) return reader->Seek(offset, origin);
  if (IsLzHandle(file)) return LZERROR_BADINHANDLE;
  if (origin < FILE_BEGIN || origin > FILE_END) return LZERROR_BADVALUE;
  const DWORD position = SetFilePointer(FileOf(file), offset, nullptr, static_cast<DWORD>(origin));
  // As the expansion library, a plain file's failed seek reports -1.
  return position == INVALID_SET_FILE_POINTER ? LZERROR_BADINHANDLE : static_cast<LONG>(position);
}

INT LZRead(INT file, LPSTR buffer, INT count) {
  if (count < 0 || (count > 0 && buffer == nullptr)) return LZERROR_BADVALUE;
  if (native::LzReader* reader = ReaderOf(file)) return reader->Read(reinterpret_cast<BYTE*>(buffer), count);
  if (IsLzHandle(file)) return LZERROR_BADINHANDLE;
  DWORD got = 0;
  if (!ReadFile(FileOf(file), buffer, static_cast<DWORD>(count), &got, nullptr)) return LZERROR_BADINHANDLE;
  return static_cast<INT>(got);
}

void LZClose(INT file) {
  if (IsLzHandle(file)) Readers()[file - kFirstHandle].reset();
  else if (file > 0) CloseHandle(FileOf(file));
}
