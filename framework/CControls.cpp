// The run-time classes of the plain control wrappers.
#include "CEdit.h"
#include "CProgressCtrl.h"
#include "CStatic.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
