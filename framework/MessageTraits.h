// How each message the framework routes is unpacked into a typed handler call.
// A message without a specialisation here cannot appear in a message table: it does not compile.
#pragma once

#include "CDC.h"
#include "CPoint.h"

class CWnd;

// All the control-colour messages share one table entry; the handler learns the control type.
constexpr UINT WM_CTLCOLOR = 0x0019;

template <UINT nMessage>
struct MessageTraits;

template <>
struct MessageTraits<WM_ERASEBKGND> {
  template <class T>
  using Handler = BOOL (T::*)(CDC* pDC);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM) {
    return (p->*pfn)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
  }
};

template <>
struct MessageTraits<WM_SIZE> {
  template <class T>
  using Handler = void (T::*)(UINT nType, int cx, int cy);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM lParam) {
    (p->*pfn)(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
  }
};

template <>
struct MessageTraits<WM_QUERYNEWPALETTE> {
  template <class T>
  using Handler = BOOL (T::*)();
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM, LPARAM) {
    return (p->*pfn)();
  }
};

template <>
struct MessageTraits<WM_PALETTECHANGED> {
  template <class T>
  using Handler = void (T::*)(CWnd* pFocusWnd);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM) {
    (p->*pfn)(T::FromHandle(reinterpret_cast<HWND>(wParam)));
    return 0;
  }
};

template <>
struct MessageTraits<WM_SETCURSOR> {
  template <class T>
  using Handler = BOOL (T::*)(CWnd* pWnd, UINT nHitTest, UINT message);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM lParam) {
    return (p->*pfn)(T::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
  }
};

template <>
struct MessageTraits<WM_CTLCOLOR> {
  template <class T>
  using Handler = HBRUSH (T::*)(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    return reinterpret_cast<LRESULT>((p->*pfn)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                               T::FromHandle(reinterpret_cast<HWND>(lParam)),
                                               nMessage - WM_CTLCOLORMSGBOX));
  }
};

template <>
struct MessageTraits<WM_DRAWITEM> {
  template <class T>
  using Handler = void (T::*)(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM lParam) {
    (p->*pfn)(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    return TRUE;
  }
};

template <>
struct MessageTraits<WM_TIMER> {
  template <class T>
  using Handler = void (T::*)(UINT_PTR nIDEvent);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM) {
    (p->*pfn)(static_cast<UINT_PTR>(wParam));
    return 0;
  }
};

template <>
struct MessageTraits<WM_PAINT> {
  template <class T>
  using Handler = void (T::*)();
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM, LPARAM) {
    (p->*pfn)();
    return 0;
  }
};

// The left button and the pointer's moves: the keys and buttons held, and where the pointer is
// in client coordinates (negative left of or above the window while it is captured).
template <UINT nMessage>
  requires(nMessage == WM_LBUTTONDOWN || nMessage == WM_LBUTTONUP || nMessage == WM_MOUSEMOVE)
struct MessageTraits<nMessage> {
  template <class T>
  using Handler = void (T::*)(UINT nFlags, CPoint point);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM lParam) {
    (p->*pfn)(static_cast<UINT>(wParam), CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    return 0;
  }
};

// A program's private messages carry whatever it decides: the handler gets both parameters.
template <UINT nMessage>
  requires(nMessage >= WM_USER && nMessage < 0xC000)
struct MessageTraits<nMessage> {
  template <class T>
  using Handler = LRESULT (T::*)(WPARAM wParam, LPARAM lParam);
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM wParam, LPARAM lParam) {
    return (p->*pfn)(wParam, lParam);
  }
};

// WM_COMMAND from a control, keyed by notification code and control id.
struct CommandTraits {
  template <class T>
  using Handler = void (T::*)();
  template <class T>
  static LRESULT Call(T* p, Handler<T> pfn, UINT, WPARAM, LPARAM) {
    (p->*pfn)();
    return 0;
  }
};
