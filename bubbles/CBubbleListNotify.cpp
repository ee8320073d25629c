#include "CBubbleListNotify.h"

#include "CBubble.h"
#include "CBubbleList.h"

namespace {

// The bubble asks to be shown in front; the sprites' hints (2 moved, 4 redrawn) mean nothing here.
constexpr DWORD HINT_TO_HEAD = 0x0001;

}  // namespace

void CBubbleListNotify::Change(CObject* pSender, DWORD dwHint, LPCRECT, LPCRECT) {
  if ((dwHint & HINT_TO_HEAD) == 0) return;
  // Only a bubble can be in the list; any other sender has nothing to move.
  if (auto* pBubble = dynamic_cast<CBubble*>(pSender)) m_pList->Reinsert(pBubble);
}
