// A window: the handle map that finds our object for an HWND, subclassing, message tables and
// the wrappers of the window operations the programs use.
#pragma once

#include "CDC.h"
#include "CMessageTable.h"
#include "CString.h"

class CDataExchange;

class CWnd : public CObject {
  DECLARE_DYNAMIC(CWnd)

 public:
  using MessageTable = CMessageTable;

  CWnd() = default;
  // Gives a subclassed window back its own window procedure.
  ~CWnd() override;

  // ---- Attributes
  operator HWND() const { return m_hWnd; }

  // Our object for the window; for a window nobody attached, a temporary one that lives
  // until DeleteTempMap.
  static CWnd* FromHandle(HWND hWnd);
  // Our object for the window, or null when nobody attached one.
  static CWnd* FromHandlePermanent(HWND hWnd);
  static void DeleteTempMap();

  CWnd* GetDlgItem(int nID) const;
  CString GetWindowText() const;
  void SetWindowText(const char* pszString);

  // ---- Operations
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Attaches and routes the window's messages through this object's message table.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
  }
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
  CDC* GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
  int ReleaseDC(CDC* pDC) { return ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()); }
  // Modal to this window; the caption defaults to the application's title.
  int MessageBox(const char* pszText, const char* pszCaption = nullptr, UINT nType = MB_OK);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL DestroyWindow();

  // Runs DoDataExchange in one direction; notifications of the controls written meanwhile are
  // not routed, so a change handler that reads the controls back cannot undo the exchange.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // ---- Message routing
  // Routes one message: the first matching entry of the message table, else the window's
  // own procedure. The window procedure calls this; so can a test.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The window's own processing of the message being routed.
  LRESULT Default();
  // A message the parent reflects to the control it concerns; TRUE when handled.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  virtual const MessageTable& GetMessageTable() const { return messages; }
  static const MessageTable messages;

  HWND m_hWnd = nullptr;

 protected:
  virtual void DoDataExchange(CDataExchange*) {}

  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  // Owner-drawn controls draw themselves: the request goes to the control's object.
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

  // Subclasses, from its very first message, the first top-level window of class pszClass and
  // owner hWndOwner that this thread creates while the hook lives; other windows are left alone.
  class CCreationHook {
   public:
    CCreationHook(CWnd* pWnd, const char* pszClass, HWND hWndOwner);
    ~CCreationHook();
    CCreationHook(const CCreationHook&) = delete;
    CCreationHook& operator=(const CCreationHook&) = delete;

   private:
    HHOOK m_hHook;
  };

 private:
  static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  WNDPROC m_pfnSuper = nullptr;
  CurrentMessage m_msgCur{};
  BOOL m_bLockoutNotify = FALSE;
};
