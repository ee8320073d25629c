// An object that records when static initialisation builds it and when exit destroys it.
#pragma once

#include "AfxInitOrder.h"

class CStartupProbe {
 public:
  explicit CStartupProbe(int stage);
  // The last probe destroyed checks the whole record and reports.
  ~CStartupProbe();
  CStartupProbe(const CStartupProbe&) = delete;
  CStartupProbe& operator=(const CStartupProbe&) = delete;

 private:
  int m_stage;
};
