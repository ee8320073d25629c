#include "InstallProgress.h"

float AddShare(float fPercent, DWORD nLength, float fTotal) {
  if (fTotal == 0.0f) return fPercent;
  const double dShare = static_cast<double>(nLength) / static_cast<double>(fTotal);
  return static_cast<float>(static_cast<double>(fPercent) - dShare * -100.0);
}

int ProgressPosition(float fPercent) { return static_cast<int>(fPercent); }
