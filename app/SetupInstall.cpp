// The installation: create the folder, copy the listed files with progress, offer the preview.
#include "AnsiText.h"
#include "CCopyFailures.h"
#include "CHandle.h"
#include "CInstallFolder.h"
#include "CSetupDlg.h"
#include "CStdioFile.h"
#include "InstallProgress.h"
#include "ListLineContainment.h"
#include "MediaNames.h"
#include "TimingMarks.h"
#include "UserProcess.h"

#include <direct.h>

#include <cerrno>

namespace {

const char kCaption[] = "Korvi2";

constexpr DWORD kClientReadyTimeout = 10000;

BOOL FolderExists(const char* pszFolder) {
  const DWORD dwAttributes = GetFileAttributesA(pszFolder);
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Throws a CFileException when the file cannot be opened.
DWORD LengthOf(const CString& strName) {
  CFile file(strName, CFile::modeRead | CFile::shareCompat);
  const DWORD nLength = file.GetLength();
  file.Close();
  return nLength;
}

DWORD TotalLength(CStdioFile& list) {
  DWORD nTotal = 0;
  CString strName;
  while (list.ReadString(strName)) nTotal += LengthOf(strName);
  return nTotal;
}

}  // namespace

LRESULT CSetupDlg::OnInstall(WPARAM, LPARAM) {
  MarkTiming("install-begin");
  if (!EndsInBackslash(m_strFolder)) m_strFolder += '\\';
  UpdateData(FALSE);
  if (!CreateInstallFolder()) return 0;

  CCopyFailures failures;
  if (!CopyListedFiles(failures)) return 0;
  if (!failures.IsEmpty()) MessageBox(failures.GetText(), kCaption, MB_OK | MB_ICONEXCLAMATION);

  MarkTiming("install-end");
  if (MessageBox("Setup is complete. \n\nHave a good time!\n\nWould you like to see the preview?", kCaption,
                 MB_OKCANCEL) == IDOK)
    StartClient();
  EndDialog(0);
  return 0;
}

BOOL CSetupDlg::CreateInstallFolder() {
  if (_mkdir(m_strFolder) == 0) return TRUE;
  const int nError = errno;
  // Another failure is not ours to judge: the copies will tell.
  if (nError != EEXIST && nError != EACCES && nError != ENOENT) return TRUE;
  // A protected parent also answers EACCES; only a folder that is there exists already.
  if (nError != ENOENT && FolderExists(m_strFolder))
    return MessageBox("The Directory exists already. Overwrite?", kCaption, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
  MessageBox("Can't create the directory. Choose new one.", kCaption, MB_OK | MB_ICONEXCLAMATION);
  return FALSE;
}

BOOL CSetupDlg::CopyListedFiles(CCopyFailures& failures) {
  CStdioFile list;
  CFileException e;
  if (!list.Open(media::kListFile, CFile::modeRead | CFile::shareCompat, &e)) {
    MessageBox(e.m_cause == CFileException::fileNotFound ? "Can't find KV2Setup.inf." : "Too many files opened.",
               kCaption, MB_OK);
    return FALSE;
  }
  const float fTotal = static_cast<float>(TotalLength(list));
  list.SeekToBegin();

  m_progress.ShowWindow(SW_SHOW);
  m_progress.SetRange(0, 100);
  m_progress.SetPos(0);
  float fPercent = 0.0f;
  // Held for the whole install; an install folder that is a link takes none of the files.
  CInstallFolder folder(m_strFolder);
  CString strName;
  while (list.ReadString(strName)) {
    if (!StaysInFolder(strName) || !folder.CopyIn(strName))
      failures.Add(strName);
    fPercent = AddShare(fPercent, LengthOf(strName), fTotal);
    m_progress.SetPos(ProgressPosition(fPercent));
  }
  return TRUE;
}

void CSetupDlg::StartClient() {
  SetCurrentDirectoryA(m_strFolder);
  PROCESS_INFORMATION pi{};
  // Administrator rights stay with the setup.
  if (!CreateUserProcess(m_strFolder + media::kClient, &pi)) {
    PostMessage(WM_CLOSE);
    return;
  }
  const CHandle process(pi.hProcess);
  const CHandle thread(pi.hThread);
  // Long enough for the client to show its window; its outcome is its own.
  WaitForInputIdle(process, kClientReadyTimeout);
}
