// The setup program's global objects, in the order they are built.
#include "AfxInitOrder.h"
#include "CSetupApp.h"
#include "SetupGlobals.h"

const CRect g_rcEdit AFX_INIT_ORDER(AFX_INIT_RECT_EDIT)(80, 210, 340, 230);
const CRect g_rcLabel AFX_INIT_ORDER(AFX_INIT_RECT_LABEL)(65, 190, 390, 210);

CSetupApp theApp AFX_INIT_ORDER(AFX_INIT_APP);
