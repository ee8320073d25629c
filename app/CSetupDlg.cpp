#include "CSetupDlg.h"

#include "AfxMessageBox.h"
#include "AfxRealizePalette.h"
#include "CDataExchange.h"
#include "CPaletteSelection.h"
#include "MediaNames.h"
#include "ProposedFolder.h"
#include "SetupGlobals.h"
#include "TimingMarks.h"
#include "resource.h"

const CSetupDlg::MessageTable CSetupDlg::messages = {
    &CDialog::messages,
    {
        OnMessage<WM_ERASEBKGND>(&CSetupDlg::OnEraseBkgnd),
        OnMessage<WM_PALETTECHANGED>(&CSetupDlg::OnPaletteChanged),
        OnMessage<WM_QUERYNEWPALETTE>(&CSetupDlg::OnQueryNewPalette),
        OnMessage<WM_SIZE>(&CSetupDlg::OnSize),
        OnMessage<WM_CTLCOLOR>(&CSetupDlg::OnCtlColor),
        OnNotify<EN_CHANGE>(IDC_FOLDER, &CSetupDlg::OnChangeFolder),
        OnMessage<WM_INSTALL>(&CSetupDlg::OnInstall),
    }};

namespace {

// The profile value is read into a buffer of this many characters, its terminator included.
constexpr int kProfileBuffer = 256;

constexpr UINT kLayoutFlags = SWP_NOZORDER | SWP_NOACTIVATE;

}  // namespace

CSetupDlg::CSetupDlg(CWnd* pParent) : CDialog(IDD_SETUP, pParent) { LoadSkin(); }

CSetupDlg::~CSetupDlg() {
  m_pBackground.reset();
  m_pPalette.reset();
}

void CSetupDlg::LoadSkin() {
  m_pBackground = std::make_unique<CDIB>();
  // A missing skin is no error: the dialog is then the plain template.
  if (!m_pBackground->Load(media::kSkinBackground)) {
    m_pBackground.reset();
    return;
  }
  m_pPalette = std::make_unique<CDIBPalette>();
  if (!m_pPalette->Create(m_pBackground.get())) {
    AfxMessageBox("Failed to create palette from DIB file", MB_OK);
    m_pPalette.reset();
  }
  // A button whose picture fails has said so and draws nothing; it takes the palette all the same.
  m_btnOK.Load(media::kSkinOKButton, media::kButtonRows);
  m_btnOK.m_pPalette = m_pPalette.get();
  m_btnCancel.Load(media::kSkinCancelButton, media::kButtonRows);
  m_btnCancel.m_pPalette = m_pPalette.get();
}

void CSetupDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  DDX_Text(pDX, IDC_FOLDER, m_strFolder);
  DDX_Text(pDX, IDC_LABEL, m_strLabel);
}

BOOL CSetupDlg::OnInitDialog() {
  if (!m_pBackground) return FALSE;
  CDialog::OnInitDialog();
  PlaceButtons();
  m_strLabel = "Setup will install Korvi 2 to...";
  LayOutControls();
  m_brNull.Attach(GetStockObject(NULL_BRUSH), FALSE);
  if (!ProposeFolder()) return FALSE;
  UpdateData(FALSE);
  m_progress.ShowWindow(SW_HIDE);
  return TRUE;
}

void CSetupDlg::PlaceButtons() {
  m_btnOK.SubclassDlgItem(IDOK, this);
  m_btnCancel.SubclassDlgItem(IDCANCEL, this);
  m_btnOK.MoveTo(349, 238);
  m_btnCancel.MoveTo(17, 238);
}

void CSetupDlg::LayOutControls() {
  GetDlgItem(IDC_FOLDER)->SetWindowPos(nullptr, g_rcEdit.left, g_rcEdit.top, g_rcEdit.Width(), g_rcEdit.Height(),
                                       kLayoutFlags);
  GetDlgItem(IDC_LABEL)->SetWindowPos(nullptr, g_rcLabel.left, g_rcLabel.top, g_rcLabel.Width(), g_rcLabel.Height(),
                                      kLayoutFlags);
  // Half as tall as the folder box, 5 pixels below it.
  GetDlgItem(IDC_PROGRESS)->SetWindowPos(nullptr, g_rcEdit.left, g_rcEdit.top + 25, g_rcEdit.Width(),
                                         g_rcEdit.Height() - 10, kLayoutFlags);
}

BOOL CSetupDlg::ProposeFolder() {
  const DWORD nRead =
      GetProfileStringA("KORWIN", "INI", nullptr, m_strIniPath.GetBuffer(kProfileBuffer - 1), kProfileBuffer);
  m_strIniPath.ReleaseBuffer(static_cast<int>(nRead));
  m_strBaseFolder = BaseFolder(m_strIniPath);
  if (FolderBeside(m_strBaseFolder, m_strFolder)) return TRUE;
  AfxMessageBox(m_strBaseFolder, MB_OK);
  PostQuitMessage(-1);
  return FALSE;
}

void CSetupDlg::OnChangeFolder() { UpdateData(TRUE); }

void CSetupDlg::OnOK() {
  m_strLabel = "Installing Korvi 2 ...";
  // Hidden while its text changes, the label is redrawn on a clean background.
  CWnd* pLabel = GetDlgItem(IDC_LABEL);
  pLabel->ShowWindow(SW_HIDE);
  UpdateData(FALSE);
  pLabel->ShowWindow(SW_SHOW);
  pLabel->UpdateWindow();
  PostMessage(WM_INSTALL);
}

BOOL CSetupDlg::OnEraseBkgnd(CDC* pDC) {
  Default();
  if (!m_pBackground) return FALSE;
  // Painting only selects the palette; it is realised when the dialog is asked for it.
  const CPaletteSelection palette(pDC, m_pPalette.get());
  m_pBackground->Draw(pDC, 0, 0);
  MarkTiming("skin-drawn");
  return TRUE;
}

BOOL CSetupDlg::OnQueryNewPalette() { return AfxRealizePalette(this, m_pPalette.get()); }

void CSetupDlg::OnPaletteChanged(CWnd* pFocusWnd) {
  Default();
  // Our own realisation changed it: realising again would never end.
  if (pFocusWnd == nullptr || pFocusWnd->m_hWnd != m_hWnd) OnQueryNewPalette();
}

void CSetupDlg::OnSize(UINT, int, int) {
  Default();
  // No frame, no caption: the window is the bitmap, whatever size it was given.
  if (m_pBackground)
    SetWindowPos(nullptr, 0, 0, m_pBackground->GetWidth(), m_pBackground->GetHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH CSetupDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  const HBRUSH hBrush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  if (nCtlColor != CTLCOLOR_STATIC) return hBrush;
  // The label's text lies on the bitmap, with no box behind it.
  pDC->SetBkMode(TRANSPARENT);
  return m_brNull;
}
