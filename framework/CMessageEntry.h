// One line of a message table: which message (and, for commands, which notification from which
// control) goes to which handler. Made only through OnMessage and OnNotify, which check the
// handler's type against the message at compile time.
#pragma once

#include "MessageTraits.h"

#include <bit>
#include <type_traits>

struct CMessageEntry {
  // Handlers are stored type-erased and turned back into their exact type by the thunk that was
  // instantiated for them, so the bits are always read as the type they were made from.
  using Generic = void (CWnd::*)();
  using Thunk = LRESULT (*)(CWnd* pWnd, Generic pfn, UINT nMessage, WPARAM wParam, LPARAM lParam);

  UINT nMessage;
  UINT nCode;
  UINT nID;
  Generic pfn;
  Thunk pfnThunk;
};

namespace afx {

template <class Traits, class T>
LRESULT Thunk(CWnd* pWnd, CMessageEntry::Generic pfn, UINT nMessage, WPARAM wParam, LPARAM lParam) {
  using Handler = typename Traits::template Handler<T>;
  return Traits::Call(static_cast<T*>(pWnd), std::bit_cast<Handler>(pfn), nMessage, wParam, lParam);
}

template <class Traits, class T, class F>
CMessageEntry MakeEntry(UINT nMessage, UINT nCode, UINT nID, F T::*pfn) {
  static_assert(std::is_base_of_v<CWnd, T>, "message handlers are members of windows");
  static_assert(std::is_same_v<F T::*, typename Traits::template Handler<T>>,
                "the handler's signature does not match the message");
  return {nMessage, nCode, nID, std::bit_cast<CMessageEntry::Generic>(pfn), &Thunk<Traits, T>};
}

}  // namespace afx

// A window message, e.g. OnMessage<WM_ERASEBKGND>(&CMyDlg::OnEraseBkgnd).
template <UINT nMessage, class T, class F>
CMessageEntry OnMessage(F T::*pfn) {
  return afx::MakeEntry<MessageTraits<nMessage>>(nMessage, 0, 0, pfn);
}

// A notification a control sends through WM_COMMAND, e.g. OnNotify<EN_CHANGE>(IDC_FOLDER, ...).
template <UINT nCode, class T, class F>
CMessageEntry OnNotify(UINT nID, F T::*pfn) {
  return afx::MakeEntry<CommandTraits>(WM_COMMAND, nCode, nID, pfn);
}
