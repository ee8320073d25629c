// The listed files an installation could not copy, to tell the user which ones.
#pragma once

#include "CString.h"

#include <vector>

class CCopyFailures {
 public:
  void Add(const CString& strName) { m_names.push_back(strName); }
  BOOL IsEmpty() const { return m_names.empty(); }

  // How many files failed and the names of the first of them.
  CString GetText() const;

  // More names would make a message box taller than the screen.
  static constexpr int kMaxNamesShown = 10;

 private:
  std::vector<CString> m_names;
};
