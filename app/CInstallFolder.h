// The install folder, held open while the listed files are copied into it. The setup runs
// elevated and other users may write to the folder, so a copy is written only through a handle
// whose final path, every link resolved, is the folder's own plus the line: no link in the
// folder's place, in a file's place or swapped in below the folder while the copy runs leads a
// copy anywhere else.
#pragma once

#include "CHandle.h"
#include "CString.h"

#include <vector>

class CInstallFolder {
 public:
  // The folder exists and ends in a backslash.
  explicit CInstallFolder(const char* pszFolder);

  // Whether the folder could be opened and is itself no junction, symbolic link or mount point.
  BOOL IsUsable() const { return !m_strFinal.IsEmpty(); }

  // Copies the file the line names in the current directory to the folder plus the line, as the
  // platform's whole-file copy does: the contents, the last write time, and the archive attribute
  // alone. A read-only destination or one reached through a link is refused; a destination that
  // has other hard links is replaced by a new file, not written in place. A failed copy leaves no
  // file that was not there before.
  BOOL CopyIn(const CString& strLine);

 private:
  enum class NewCopy { Copied, Exists, Failed };
  NewCopy CopyToNew(HANDLE hSource, const CString& strPath, const CString& strExpected);
  BOOL CopyContents(HANDLE hSource, HANDLE hDestination);

  CHandle m_folder;
  CString m_strFolder;
  // The folder's final path; empty when it is unusable.
  CString m_strFinal;
  std::vector<char> m_buffer;
};
