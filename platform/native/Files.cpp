// Win32 file calls over POSIX, for the native build.
#include "win32.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_NEGATIVE_SEEK;
    default: return ERROR_INVALID_PARAMETER;
  }
}

BOOL Fail(int error) {
  lastError = ErrorFromErrno(error);
  return FALSE;
}

std::string PosixPath(LPCSTR name) {
  std::string path(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// A handle is the file descriptor plus one, so that descriptor 0 is not the null handle.
HANDLE HandleFromFd(int fd) { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(fd) + 1); }
int FdFromHandle(HANDLE h) { return static_cast<int>(reinterpret_cast<LONG_PTR>(h) - 1); }

// What GetCurrentProcess returns on Windows too: a pseudo handle, not a real one.
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD code) { lastError = code; }

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD, HANDLE) {
  if (name == nullptr || *name == '\0') {
    lastError = ERROR_PATH_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  int flags = 0;
  if ((access & GENERIC_READ) && (access & GENERIC_WRITE)) flags = O_RDWR;
  else if (access & GENERIC_WRITE) flags = O_WRONLY;
  else flags = O_RDONLY;
  switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: break;
  }
  const std::string path = PosixPath(name);
  const int fd = open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) {
    Fail(errno);
    return INVALID_HANDLE_VALUE;
  }
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    lastError = ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  return HandleFromFd(fd);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, OVERLAPPED*) {
  DWORD total = 0;
  while (total < toRead) {
    const ssize_t n = ::read(FdFromHandle(file), static_cast<char*>(buffer) + total, toRead - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (read) *read = total;
      return Fail(errno);
    }
    if (n == 0) break;
    total += static_cast<DWORD>(n);
  }
  if (read) *read = total;
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, OVERLAPPED*) {
  DWORD total = 0;
  while (total < toWrite) {
    const ssize_t n = ::write(FdFromHandle(file), static_cast<const char*>(buffer) + total, toWrite - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (written) *written = total;
      return Fail(errno);
    }
    total += static_cast<DWORD>(n);
  }
  if (written) *written = total;
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
  off_t offset = distance;
  if (distanceHigh) offset = static_cast<off_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                                                static_cast<std::uint32_t>(distance));
  const int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
  const off_t result = lseek(FdFromHandle(file), offset, whence);
  if (result < 0) {
    Fail(errno);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(result) >> 32);
  lastError = ERROR_SUCCESS;
  return static_cast<DWORD>(result);
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  struct stat st {};
  if (fstat(FdFromHandle(file), &st) != 0) {
    Fail(errno);
    return INVALID_FILE_SIZE;
  }
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(st.st_size) >> 32);
  return static_cast<DWORD>(st.st_size);
}

BOOL FlushFileBuffers(HANDLE file) { return fsync(FdFromHandle(file)) == 0 ? TRUE : Fail(errno); }

BOOL CloseHandle(HANDLE object) { return close(FdFromHandle(object)) == 0 ? TRUE : Fail(errno); }

HANDLE GetCurrentProcess() { return kCurrentProcess; }

BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, LPHANDLE target, DWORD, BOOL,
                     DWORD options) {
  if (sourceProcess != kCurrentProcess || targetProcess != kCurrentProcess || target == nullptr) {
    lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  const int fd = fcntl(FdFromHandle(source), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return Fail(errno);
  if (options & DUPLICATE_CLOSE_SOURCE) CloseHandle(source);
  *target = HandleFromFd(fd);
  return TRUE;
}

BOOL DeleteFileA(LPCSTR name) { return unlink(PosixPath(name).c_str()) == 0 ? TRUE : Fail(errno); }

DWORD GetFileAttributesA(LPCSTR name) {
  struct stat st {};
  if (stat(PosixPath(name).c_str(), &st) != 0) {
    Fail(errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  char path[4096];
  if (getcwd(path, sizeof path) == nullptr) {
    Fail(errno);
    return 0;
  }
  const DWORD length = static_cast<DWORD>(std::strlen(path));
  if (buffer == nullptr || length + 1 > size) return length + 1;
  std::memcpy(buffer, path, length + 1);
  return length;
}

BOOL SetCurrentDirectoryA(LPCSTR path) { return chdir(PosixPath(path).c_str()) == 0 ? TRUE : Fail(errno); }

int lstrlenA(LPCSTR s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

namespace {

// Case folded as the platform folds the letters of code page 1252, the stand-in's: ASCII and
// the accented Latin capitals, and Š, Œ, Ž, Ÿ, each to its small letter.
struct CaseFold {
  unsigned char to[256];
  constexpr CaseFold() : to() {
    for (int c = 0; c < 256; ++c) to[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) to[c] = static_cast<unsigned char>(c + ('a' - 'A'));
    for (int c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) to[c] = static_cast<unsigned char>(c + 0x20);
    to[0x8A] = 0x9A;
    to[0x8C] = 0x9C;
    to[0x8E] = 0x9E;
    to[0x9F] = 0xFF;
  }
};
constexpr CaseFold kCaseFold;

}  // namespace

int lstrcmpiA(LPCSTR a, LPCSTR b) {
  // A table rather than a C library call for each pair: an image archive's lookup compares the
  // name with every directory entry.
  const auto* p = reinterpret_cast<const unsigned char*>(a ? a : "");
  const auto* q = reinterpret_cast<const unsigned char*>(b ? b : "");
  for (;; ++p, ++q) {
    const int x = kCaseFold.to[*p];
    const int y = kCaseFold.to[*q];
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

UINT GetACP() { return 1252; }

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE c) {
  switch (codePage) {
    case 932: return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case 936:
    case 949:
    case 950: return c >= 0x81 && c <= 0xFE;
    default: return FALSE;
  }
}

BOOL SetRectEmpty(LPRECT rect) {
  if (!rect) return FALSE;
  *rect = RECT{0, 0, 0, 0};
  return TRUE;
}
