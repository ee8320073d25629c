#include "CPreviewDlg.h"

#include "resource.h"

const CPreviewDlg::MessageTable CPreviewDlg::messages = {
    &CDialog::messages,
    {
        OnMessage<WM_TIMER>(&CPreviewDlg::OnTimer),
    }};

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShownFor = 5000;

}  // namespace

CPreviewDlg::CPreviewDlg() : CDialog(IDD_PREVIEW) {}

BOOL CPreviewDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  char szPath[MAX_PATH];
  const CString strPath(szPath, static_cast<int>(GetModuleFileNameA(nullptr, szPath, MAX_PATH)));
  GetDlgItem(IDC_FOLDER)->SetWindowText("Running from " + strPath.Left(strPath.ReverseFind('\\') + 1));
  SetTimer(m_hWnd, kCloseTimer, kShownFor, nullptr);
  return TRUE;
}

void CPreviewDlg::OnTimer(UINT_PTR) { EndDialog(IDOK); }
