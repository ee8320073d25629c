// While one lives, SIGINT, SIGTERM and SIGHUP are noted instead of ending the process, so that
// the media in hand can be taken away and an old OUT put back before the tool ends.
#pragma once

#include <csignal>

class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  // What stops the work in hand: the signal noted.
  struct Interrupted {
    int nSignal;
  };

  // The signal noted since the guard began, or 0.
  static int Signal();
  // Throws Interrupted once a signal is noted.
  static void ThrowIfNoted();
  // Its name, as a message shows it: "SIGINT".
  static const char* Name(int nSignal);

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction m_previous[3] = {};
};
