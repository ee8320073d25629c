// RIFF multimedia I/O for reading, over the native file calls or bytes in memory.
#include "HandleTable.h"
#include "MmioFile.h"

#include <memory>
#include <new>

using native::MmioFile;

namespace {

native::HandleTable<MmioFile>& MmioFiles() {
  static native::HandleTable<MmioFile> table;
  return table;
}

MmioFile* FromHandle(HMMIO mmio) { return MmioFiles().Find(mmio); }

HMMIO Fail(LPMMIOINFO info, UINT error) {
  if (info != nullptr) info->wErrorRet = error;
  return nullptr;
}

// The size of a memory file the stand-in allocates when asked for a buffer of no size.
constexpr LONG kDefaultBuffer = 8192;

// A memory file: the caller's bytes, or zeroed bytes of its own when pchBuffer is null.
std::unique_ptr<MmioFile> OpenMemory(const MMIOINFO& info, DWORD flags, UINT& error) {
  error = MMIOERR_OUTOFMEMORY;
  if (info.cchBuffer < 0) {
    error = MMIOERR_CANNOTOPEN;
    return nullptr;
  }
  if (info.pchBuffer != nullptr)
    return std::unique_ptr<MmioFile>(
        new (std::nothrow) MmioFile(reinterpret_cast<const BYTE*>(info.pchBuffer), info.cchBuffer));
  const LONG size = info.cchBuffer == 0 && (flags & MMIO_ALLOCBUF) ? kDefaultBuffer : info.cchBuffer;
  std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[static_cast<std::size_t>(size)]());
  if (!bytes) return nullptr;
  return std::unique_ptr<MmioFile>(new (std::nothrow) MmioFile(std::move(bytes), size));
}

// A file opened by name, or the handle in adwInfo[0] for the DOS I/O procedure, read from
// where its owner left it.
std::unique_ptr<MmioFile> OpenFile(LPCSTR fileName, const MMIOINFO* info, UINT& error) {
  error = MMIOERR_CANNOTOPEN;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (fileName != nullptr) {
    file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) error = MMIOERR_FILENOTFOUND;
  } else if (info != nullptr && (info->fccIOProc == 0 || info->fccIOProc == FOURCC_DOS)) {
    file = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(info->adwInfo[0]));
  }
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  const DWORD position = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
  std::unique_ptr<MmioFile> mmio;
  if (position != INVALID_SET_FILE_POINTER && position <= DWORD{0x7FFFFFFF}) {
    mmio.reset(new (std::nothrow) MmioFile(file, fileName != nullptr, static_cast<LONG>(position)));
    if (!mmio) error = MMIOERR_OUTOFMEMORY;
  }
  if (!mmio && fileName != nullptr) CloseHandle(file);
  return mmio;
}

}  // namespace

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags) {
  constexpr DWORD kUnsupported = MMIO_RWMODE | MMIO_CREATE | MMIO_PARSE | MMIO_DELETE | MMIO_EXIST | MMIO_GETTEMP;
  if ((flags & kUnsupported) || (info != nullptr && info->pIOProc != nullptr)) return Fail(info, MMIOERR_CANNOTOPEN);
  UINT error = MMSYSERR_NOERROR;
  std::unique_ptr<MmioFile> mmio = fileName == nullptr && info != nullptr && info->fccIOProc == FOURCC_MEM
                                       ? OpenMemory(*info, flags, error)
                                       : OpenFile(fileName, info, error);
  if (!mmio) return Fail(info, error);
  const auto handle = reinterpret_cast<HMMIO>(MmioFiles().Add(std::move(mmio)));
  if (info != nullptr) {
    info->wErrorRet = MMSYSERR_NOERROR;
    info->hmmio = handle;
  }
  return handle;
}

MMRESULT mmioClose(HMMIO mmio, UINT flags) {
  std::unique_ptr<MmioFile> file = MmioFiles().Remove(mmio);
  if (!file) return MMSYSERR_INVALHANDLE;
  if (flags & MMIO_FHOPEN) file->KeepFileOpen();
  return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO mmio, HPSTR buffer, LONG count) {
  MmioFile* file = FromHandle(mmio);
  return file ? file->Read(buffer, count) : -1;
}

LONG mmioSeek(HMMIO mmio, LONG offset, int origin) {
  MmioFile* file = FromHandle(mmio);
  return file ? file->Seek(offset, origin) : -1;
}

MMRESULT mmioDescend(HMMIO mmio, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags) {
  MmioFile* file = FromHandle(mmio);
  if (file == nullptr) return MMSYSERR_INVALHANDLE;
  return chunk ? file->Descend(*chunk, parent, flags) : MMSYSERR_INVALPARAM;
}

MMRESULT mmioAscend(HMMIO mmio, LPMMCKINFO chunk, UINT) {
  MmioFile* file = FromHandle(mmio);
  if (file == nullptr) return MMSYSERR_INVALHANDLE;
  return chunk ? file->Ascend(*chunk) : MMSYSERR_INVALPARAM;
}
