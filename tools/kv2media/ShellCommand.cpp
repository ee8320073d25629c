#include "ShellCommand.h"

#include "InterruptGuard.h"

#include <cerrno>
#include <csignal>
#include <ctime>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// How often the wait looks for a noted signal: the handler lets calls go on, so waitpid would not.
constexpr long kPollNanoseconds = 10'000'000;

}  // namespace

int RunShellCommand(const std::string& command) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  char sh[] = "/bin/sh", c[] = "-c";
  std::string text = command;
  char* argv[] = {sh, c, text.data(), nullptr};
  pid_t pid = -1;
  const int nSpawned = posix_spawn(&pid, sh, nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (nSpawned != 0) return -1;
  int nStatus = 0;
  bool bForwarded = false;
  for (;;) {
    const pid_t nDone = ::waitpid(pid, &nStatus, bForwarded ? 0 : WNOHANG);
    if (nDone == pid) return nStatus;
    if (nDone < 0 && errno != EINTR) return -1;
    if (!bForwarded && InterruptGuard::Signal() != 0) {
      ::kill(-pid, InterruptGuard::Signal());
      bForwarded = true;
    } else if (!bForwarded) {
      const struct timespec pause = {0, kPollNanoseconds};
      ::nanosleep(&pause, nullptr);
    }
  }
}
