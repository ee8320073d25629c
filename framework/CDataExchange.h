// One pass of data exchange between a dialog's members and its controls.
#pragma once

#include "CString.h"

class CWnd;

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  // TRUE: controls into members; FALSE: members into controls.
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
};

// Attaches rControl to the dialog's control nIDC the first time, by subclassing it.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The text of an edit or static control.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
