// The shared resource manager: the data folder, two tables of resource information and the
// objects it owns. It lives from start-up to exit; loaders fill the tables, Clear empties them.
#pragma once

#include "CObList.h"
#include "CString.h"

#include <memory>

class CResourceManager : public CObject {
 public:
  // A first-table entry.
  struct CFirstEntry {
    CString m_strName;
    DWORD m_adwValues[4] = {};
  };
  // An entry of a second-table entry's nested table; it owns its block.
  struct CNestedEntry {
    DWORD m_adwHead[2] = {};
    std::unique_ptr<BYTE[]> m_pBlock;
    DWORD m_adwTail[3] = {};
  };
  // A second-table entry. Members go in reverse order: the nested table first, then the
  // second string, then the first.
  struct CSecondEntry {
    CString m_strFirst;
    CString m_strSecond;
    DWORD m_adwValues[2] = {};
    std::unique_ptr<CNestedEntry[]> m_pNested;
  };

  // Reads the current directory and sets the data folder below it.
  CResourceManager();
  ~CResourceManager() override;

  // Operations
  // Stores the folder with a final backslash added when it lacks one. Always 1.
  int SetDataFolder(LPCSTR lpszFolder);
  // Releases both tables and the owned objects; harmless when there is nothing to release.
  void Clear();
  // Deletes every owned object (null elements are skipped) and empties the list.
  void DeleteObjects();

  // Fields in their declared order. A table is one array block or null, its count beside it;
  // the owned list holds heap objects only. A loader fills them; nothing here does.
  UINT m_nFirstCount = 0;
  std::unique_ptr<CFirstEntry[]> m_pFirstTable;
  CObList m_listObjects{10};
  std::unique_ptr<CSecondEntry[]> m_pSecondTable;
  UINT m_nSecondCount = 0;
  CString m_strValue;
  CString m_strDataFolder;
  BOOL m_bFlag = TRUE;
};
