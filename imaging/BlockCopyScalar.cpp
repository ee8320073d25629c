// The portable row loops: one pixel at a time, the reference every vector path must match.
#include "BlockCopyRows.h"

namespace blockcopy {
namespace {

struct Scalar {
  static constexpr int kLanes = 1;
};

constexpr BlitTable kTable = MakeTable<Scalar>();

}  // namespace

const BlitTable& ScalarTable() { return kTable; }

}  // namespace blockcopy
