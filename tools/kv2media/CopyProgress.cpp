#include "CopyProgress.h"

namespace {

constexpr auto kInterval = std::chrono::milliseconds(250);

std::uint64_t MiB(std::uint64_t nBytes) { return nBytes >> 20; }

}  // namespace

CopyProgress::CopyProgress(std::ostream& out, std::uint64_t nTotal, std::size_t nFiles, bool bShown)
    : m_out(out), m_nTotal(nTotal), m_nFiles(nFiles), m_bShown(bShown) {}

void CopyProgress::Copied(std::uint64_t nBytes) {
  m_nDone += nBytes;
  if (!m_bShown || m_nTotal == 0) return;
  const int nTenths = static_cast<int>(m_nDone * 10 / m_nTotal);
  if (nTenths <= m_nShownTenths) return;
  const auto now = std::chrono::steady_clock::now();
  // The first line comes at once; the last always.
  if (m_nShownTenths > 0 && nTenths < 10 && now - m_lastShown < kInterval) return;
  m_nShownTenths = nTenths;
  m_lastShown = now;
  Show();
}

void CopyProgress::FileDone() { ++m_nFilesDone; }

void CopyProgress::Show() {
  m_out << "kv2media: copied " << MiB(m_nDone) << " MiB of " << MiB(m_nTotal) << " MiB (file " << m_nFilesDone + 1 << " of "
        << m_nFiles << ")" << std::endl;
}
