// RIFF multimedia I/O for reading, over the native file calls.
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

// The file to read: opened by name, or the handle in adwInfo[0] for the DOS I/O procedure.
HANDLE FileToRead(LPCSTR fileName, const MMIOINFO* info) {
  if (fileName != nullptr)
    return CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (info == nullptr || info->pIOProc != nullptr || (info->fccIOProc != 0 && info->fccIOProc != FOURCC_DOS))
    return INVALID_HANDLE_VALUE;
  const auto file = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(info->adwInfo[0]));
  return GetFileSize(file, nullptr) == INVALID_FILE_SIZE ? INVALID_HANDLE_VALUE : file;
}

}  // namespace

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags) {
  constexpr DWORD kUnsupported = MMIO_RWMODE | MMIO_CREATE | MMIO_PARSE | MMIO_DELETE | MMIO_EXIST | MMIO_GETTEMP;
  if (flags & kUnsupported) return Fail(info, MMIOERR_CANNOTOPEN);
  const HANDLE file = FileToRead(fileName, info);
  if (file == INVALID_HANDLE_VALUE) return Fail(info, fileName ? MMIOERR_FILENOTFOUND : MMIOERR_CANNOTOPEN);
  auto mmio = std::unique_ptr<MmioFile>(new (std::nothrow) MmioFile(file, fileName != nullptr));
  if (!mmio) {
    if (fileName != nullptr) CloseHandle(file);
    return Fail(info, MMIOERR_OUTOFMEMORY);
  }
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
