// Which failures of a start with the desktop user's token let the next way be tried. A program
// that fails to start for itself (missing, denied to that user) must not be started elevated.
#ifdef _WIN32

#include "UserProcess.h"

#include <gtest/gtest.h>

TEST(UserProcess, OnlyARefusedTokenLetsTheNextWayBeTried) {
  struct Case {
    DWORD dwError;
    BOOL bRefused;
  };
  for (const Case& c : {Case{ERROR_PRIVILEGE_NOT_HELD, TRUE}, Case{ERROR_BAD_IMPERSONATION_LEVEL, TRUE},
                        Case{ERROR_SERVICE_DISABLED, TRUE}, Case{ERROR_CALL_NOT_IMPLEMENTED, TRUE},
                        Case{ERROR_FILE_NOT_FOUND, FALSE}, Case{ERROR_ACCESS_DENIED, FALSE},
                        Case{ERROR_BAD_EXE_FORMAT, FALSE}, Case{ERROR_SHARING_VIOLATION, FALSE}})
    EXPECT_EQ(IsTokenRefused(c.dwError), c.bRefused) << c.dwError;
}

#endif
