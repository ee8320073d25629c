// Names as the platform sees them. NTFS tells names apart by their characters, each upcased by
// the file system's table: the lower-case letters of every script, full-width ones among them,
// are one with their capitals; a double-byte character of the code page is one character, whose
// second byte is never folded on its own. A Mac spells Hangul decomposed, as jamo, which no
// code page spells; the platform knows it composed.
#pragma once

#include "CodePage.h"

#include <string>

// The name, in the code page's bytes, as NTFS compares it; its bytes where it is no text there.
std::u32string FoldedName(const std::string& strName, const CodePage& codePage);

// Whether NTFS takes the two names for one.
bool SameName(const std::string& a, const std::string& b, const CodePage& codePage);

// UTF-8 text with its decomposed Hangul syllables composed (NFC), all else as it was.
std::string ComposedHangul(const std::string& utf8);
