#include "StartupProbe.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int STAGE_COUNT = AFX_INIT_RESOURCE_MANAGER - AFX_INIT_MODULE_STATE + 1;

// Plain data, so it is there before the first probe is built and after the last is gone.
int record[2 * STAGE_COUNT + 1];
int nRecorded = 0;
int nAlive = 0;

void Record(int nEvent) {
  if (nRecorded < 2 * STAGE_COUNT + 1) record[nRecorded] = nEvent;
  ++nRecorded;
}

// Every stage built in its order, then destroyed in the reverse order: +stage, -stage.
bool RecordIsInOrder() {
  if (nRecorded != 2 * STAGE_COUNT) return false;
  for (int i = 0; i < STAGE_COUNT; ++i) {
    if (record[i] != AFX_INIT_MODULE_STATE + i) return false;
    if (record[2 * STAGE_COUNT - 1 - i] != -(AFX_INIT_MODULE_STATE + i)) return false;
  }
  return true;
}

}  // namespace

CStartupProbe::CStartupProbe(int stage) : m_stage(stage) {
  Record(stage);
  ++nAlive;
}

CStartupProbe::~CStartupProbe() {
  Record(-m_stage);
  if (--nAlive != 0) return;
  for (int i = 0; i < nRecorded && i < 2 * STAGE_COUNT + 1; ++i) std::printf("%+d\n", record[i]);
  std::puts(RecordIsInOrder() ? "start-up order kept" : "start-up order broken");
  std::fflush(stdout);
}
