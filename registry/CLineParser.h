// The shared line parser: one line at a time in a buffer of its own, and the test whether that
// line is a comment.
#pragma once

#include "win32.h"

#include <memory>

class CLineParser {
 public:
  // A buffer of nBufferSize bytes, holding an empty line until a reader fills it.
  explicit CLineParser(UINT nBufferSize);

  // Overridables
  // 1 when the line, after spaces and tabs, is empty or starts with ";" or "//"; else 0.
  virtual int IsComment() const;

  // Fields in their declared order. The three words are a reader's; nothing here uses them.
  DWORD m_dwFirst = 1;
  DWORD m_dwSecond = 0;
  DWORD m_dwThird = 0;
  // One zero-terminated line; the end of the buffer also ends it.
  std::unique_ptr<char[]> m_pszLine;
  UINT m_nBufferSize;
};
