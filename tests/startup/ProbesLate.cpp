// Stages defined out of order and in files linked out of order: only the stages decide.
#include "StartupProbe.h"

static CStartupProbe resourceManager AFX_INIT_ORDER(AFX_INIT_RESOURCE_MANAGER)(AFX_INIT_RESOURCE_MANAGER);
static CStartupProbe classCBubble AFX_INIT_ORDER(AFX_INIT_CLASS_CBUBBLE)(AFX_INIT_CLASS_CBUBBLE);
static CStartupProbe rectLabel AFX_INIT_ORDER(AFX_INIT_RECT_LABEL)(AFX_INIT_RECT_LABEL);
static CStartupProbe app AFX_INIT_ORDER(AFX_INIT_APP)(AFX_INIT_APP);
