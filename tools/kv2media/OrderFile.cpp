#include "OrderFile.h"

namespace {

const std::string kBom = "\xEF\xBB\xBF";

}  // namespace

std::vector<OrderedName> ReadOrder(std::istream& in) {
  std::vector<OrderedName> names;
  std::string line;
  for (int nLine = 1; std::getline(in, line); ++nLine) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (nLine == 1 && line.starts_with(kBom)) line.erase(0, kBom.size());
    if (!line.empty()) names.push_back(OrderedName{nLine, line});
  }
  return names;
}
