// The install folder, held open while the listed files are copied into it. The setup runs
// elevated and other users may write to the folder, so nothing is written by a path that a link
// could redirect: the folder is opened from the open handle of its parent and every subfolder
// from the open handle of the folder above it, each checked against that folder's own listing to
// be no link, and every file is created in the open handle of its folder.
#pragma once

#include "CHandle.h"
#include "CString.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CInstallFolder {
 public:
  // The folder exists and ends in a backslash.
  explicit CInstallFolder(const char* pszFolder);

  // Whether the folder could be opened and is itself no junction, symbolic link or mount point.
  BOOL IsUsable() const { return m_folder != nullptr; }

  // Copies the file the line names in the current directory to the folder plus the line, as the
  // platform's whole-file copy does: the contents, the last write time, and the archive attribute
  // alone. A read-only destination or one reached through a link is refused. A destination that
  // is there already is replaced by a new file, never written through: no link or other hard
  // link of it sees the copy. A failed copy leaves no file that was not there before and the
  // destination as it was.
  BOOL CopyIn(const CString& strLine);

 private:
  enum class NewFile { Copied, Exists, Failed };
  // Copies into a new file of the name; with pstrReplaced, that file then takes the place of
  // the file so named. A failure leaves no new file.
  NewFile CopyToNew(HANDLE hSource, HANDLE hFolder, const std::wstring& strName, const std::wstring* pstrReplaced);
  BOOL CopyContents(HANDLE hSource, HANDLE hDestination);
  // The held subfolder of the relative path (backslashes between its parts); null when a part
  // is missing or a link. The install folder itself for an empty path.
  HANDLE FolderOf(const std::wstring& strRelative);

  // The folder's path as typed, made absolute; the lines are resolved against it as text.
  CString m_strFull;
  CHandle m_folder;
  // Subfolders checked once and held for the whole install, by their relative path in capitals.
  std::map<std::wstring, std::unique_ptr<CHandle>> m_subfolders;
  std::vector<char> m_buffer;
  unsigned m_nTemporary = 0;
};
