// Any bytes as an archive of objects, loaded as each archived class by name or as any object.
#include "CArchive.h"
#include "CBubble.h"
#include "CBubbleList.h"
#include "CDIB.h"
#include "FuzzInput.h"

#include <cstdlib>
#include <set>

namespace {

// The archived classes; null asks for any object.
const CRuntimeClass* const kRequested[] = {
    nullptr,
    RUNTIME_CLASS(CDIB),
    RUNTIME_CLASS(CBubble),
    RUNTIME_CLASS(CBubbleList),
};

// A list never deletes its bubbles; one may be in it more than once, or be the list itself.
void Delete(CObject* pOb) {
  std::set<CObject*> owned{pOb};
  if (auto* pList = dynamic_cast<CObList*>(pOb))
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) owned.insert(pList->GetNext(pos));
  for (CObject* p : owned) delete p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".ar");
  for (const CRuntimeClass* pRequested : kRequested) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead)) std::abort();
    try {
      CArchive ar(&file, CArchive::load);
      CObject* pOb = ar.ReadObject(pRequested);
      if (pOb != nullptr && pRequested != nullptr && !pOb->IsKindOf(pRequested)) std::abort();
      Delete(pOb);
    } catch (const CException&) {
    }
  }
  return 0;
}
