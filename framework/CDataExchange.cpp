#include "CDataExchange.h"

#include "CWnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd == nullptr) rControl.SubclassDlgItem(nIDC, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  CWnd* pControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = pControl->GetWindowText();
  } else if (pControl->GetWindowText() != value) {
    // An unchanged text is not set again: no flicker, no change notification.
    pControl->SetWindowText(value);
  }
}
