#include "CCopyFailures.h"

CString CCopyFailures::GetText() const {
  const int nCount = static_cast<int>(m_names.size());
  CString strMessage;
  if (nCount == 1)
    strMessage = "1 file could not be copied:\n";
  else
    strMessage.Format("%d files could not be copied:\n", nCount);
  for (int i = 0; i < nCount && i < kMaxNamesShown; ++i) strMessage += "\n" + m_names[static_cast<size_t>(i)];
  if (nCount > kMaxNamesShown) {
    CString strMore;
    strMore.Format("\n... and %d more", nCount - kMaxNamesShown);
    strMessage += strMore;
  }
  return strMessage;
}
