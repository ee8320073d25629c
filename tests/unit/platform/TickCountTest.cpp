#include "win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(TickCount, FollowsTheClockInMilliseconds) {
  const DWORD before = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  const DWORD elapsed = GetTickCount() - before;
  // The platform's tick has a granularity of up to 16 ms.
  EXPECT_GE(elapsed, 100u);
  EXPECT_LT(elapsed, 2000u);
}
