// The progress of laying out media, by bytes and within a file: a line at each tenth of the
// total, none sooner than a quarter of a second after the last but the one at the end.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstddef>
#include <ostream>

class CopyProgress {
 public:
  // Nothing is shown unless bShown.
  CopyProgress(std::ostream& out, std::uint64_t nTotal, std::size_t nFiles, bool bShown);

  void Copied(std::uint64_t nBytes);
  void FileDone();

 private:
  void Show();

  std::ostream& m_out;
  const std::uint64_t m_nTotal;
  const std::size_t m_nFiles;
  const bool m_bShown;
  std::uint64_t m_nDone = 0;
  std::size_t m_nFilesDone = 0;
  int m_nShownTenths = 0;
  std::chrono::steady_clock::time_point m_lastShown;
};
