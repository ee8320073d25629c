#include "FileCopy.h"

#include "CopyProgress.h"
#include "InterruptGuard.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

// A file descriptor, closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  ~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return m_fd; }
  // Closed now, for its error: a write the disk refused may only show here.
  bool Close() { return ::close(std::exchange(m_fd, -1)) == 0; }

 private:
  int m_fd;
};

[[noreturn]] void Fail(const char* pszWhat, const fs::path& path) {
  throw fs::filesystem_error(pszWhat, path, std::error_code(errno, std::generic_category()));
}

// The next block of a file, copied within the kernel where the file systems allow it (no copy
// through the process, and a clone where the file system makes them), else read and written;
// the bytes copied, 0 at the end.
ssize_t CopyBlock(int nIn, int nOut, std::vector<char>& buffer, const fs::path& from, const fs::path& to) {
  if (buffer.empty()) {
    ssize_t n = -1;
    while ((n = ::copy_file_range(nIn, nullptr, nOut, nullptr, kBlock, 0)) < 0 && errno == EINTR) {
    }
    if (n >= 0) return n;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) Fail("cannot be written", to);
    buffer.resize(kBlock);
  }
  ssize_t nRead = -1;
  while ((nRead = ::read(nIn, buffer.data(), buffer.size())) < 0)
    if (errno != EINTR) Fail("cannot be read", from);
  for (ssize_t nWritten = 0; nWritten < nRead;) {
    const ssize_t n = ::write(nOut, buffer.data() + nWritten, static_cast<std::size_t>(nRead - nWritten));
    if (n < 0 && errno != EINTR) Fail("cannot be written", to);
    nWritten += std::max<ssize_t>(n, 0);
  }
  return nRead;
}

}  // namespace

std::string WhyUnreadable(const fs::path& path) {
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  return file.Get() < 0 ? std::strerror(errno) : std::string();
}

std::uint64_t CopyMediaFile(const fs::path& from, const fs::path& to, CopyProgress* pProgress) {
  Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.Get() < 0) Fail("cannot be read", from);
  struct stat status = {};
  if (::fstat(in.Get(), &status) != 0) Fail("cannot be read", from);
  Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR));
  if (out.Get() < 0) Fail("cannot be created", to);
  std::vector<char> block;
  std::uint64_t nTotal = 0;
  for (;;) {
    const ssize_t nCopied = CopyBlock(in.Get(), out.Get(), block, from, to);
    if (nCopied == 0) break;
    nTotal += static_cast<std::uint64_t>(nCopied);
    if (pProgress) pProgress->Copied(static_cast<std::uint64_t>(nCopied));
    InterruptGuard::ThrowIfNoted();
  }
  // A read-only file stays read-only in the media, and every file keeps its dates.
  const struct timespec times[2] = {status.st_atim, status.st_mtim};
  if (::fchmod(out.Get(), status.st_mode & 07777) != 0 || ::futimens(out.Get(), times) != 0 || !out.Close())
    Fail("cannot be written", to);
  return nTotal;
}

