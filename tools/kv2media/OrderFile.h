// The order a publisher gives the list's lines, one name a line: in UTF-8, as the payload's file
// system spells it, or in the code page, as a previous release's list file does. Lines end in
// CRLF or LF; a BOM before the first and blank lines are the editor's, not names.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct OrderedName {
  int nLine;         // from 1, counting blank lines
  std::string name;  // never empty
};

std::vector<OrderedName> ReadOrder(std::istream& in);
