#include "InterruptGuard.h"

namespace {

volatile std::sig_atomic_t g_nSignal = 0;

extern "C" void Note(int nSignal) { g_nSignal = nSignal; }

}  // namespace

InterruptGuard::InterruptGuard() {
  g_nSignal = 0;
  struct sigaction action = {};
  action.sa_handler = Note;
  sigemptyset(&action.sa_mask);
  // Calls under way go on: the copy looks at the signal between its blocks.
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &m_previous[i]);
}

InterruptGuard::~InterruptGuard() {
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &m_previous[i], nullptr);
}

int InterruptGuard::Signal() { return g_nSignal; }

void InterruptGuard::ThrowIfNoted() {
  if (g_nSignal != 0) throw Interrupted{g_nSignal};
}

const char* InterruptGuard::Name(int nSignal) {
  switch (nSignal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}
