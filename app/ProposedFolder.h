// Which install folder the profile proposes. The profile value names a file of an earlier
// installation; the proposal is a folder KV2 beside that file.
#pragma once

#include "CString.h"

// Where the search for a backslash starts: the profile value, or the default base when the
// value is missing, empty or a single character.
CString BaseFolder(const CString& strIniPath);

// The folder KV2 beside the last backslash of strBase, ending in a backslash. FALSE when strBase
// has no backslash, or only as its first character.
BOOL FolderBeside(const CString& strBase, CString& strFolder);
