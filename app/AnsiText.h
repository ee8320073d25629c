// Characters of text in an ANSI code page. In a double-byte code page a lead byte starts a
// character of two bytes, whose second byte may be any ASCII value, the backslash 0x5C among
// them: text is walked by character, with the platform's judgement of lead bytes.
#pragma once

#include "win32.h"

// The character after the one at p, which is not the terminator.
const char* NextChar(const char* p, UINT nCodePage = CP_ACP);

// Whether the last character of the text, not its last byte, is a backslash.
BOOL EndsInBackslash(const char* pszText, UINT nCodePage = CP_ACP);
