// The boundary between the platform's callbacks and our handlers: whatever a handler throws is
// reported to the user here and goes no further, so no exception unwinds through Win32 frames.
#pragma once

#include "CException.h"

#include <exception>
#include <new>

// Shows the failure in a message box captioned with the application's title.
void AfxReportException(const CException& e) noexcept;
void AfxReportException(const char* pszMessage) noexcept;

template <class F>
LRESULT AfxCallGuarded(F&& f, LRESULT lFailed) noexcept {
  try {
    return f();
  } catch (const CException& e) {
    AfxReportException(e);
  } catch (const std::bad_alloc&) {
    AfxReportException("Out of memory.");
  } catch (...) {
    AfxReportException("An unexpected error occurred.");
  }
  return lFailed;
}
