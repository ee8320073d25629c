#include "StartupObjects.h"

#include "AfxInitOrder.h"
#include "CBubble.h"
#include "CBubbleList.h"
#include "CDIB.h"
#include "CPhasedSprite.h"

// The classes archives create by name are linked here at their stages; each class's own
// registration, which runs later, then finds it linked already. Naming them here also links
// them into the program, which otherwise never refers to them.
static const AFX_CLASSINIT initCBubble AFX_INIT_ORDER(AFX_INIT_CLASS_CBUBBLE)(RUNTIME_CLASS(CBubble));
static const AFX_CLASSINIT initCBubbleList AFX_INIT_ORDER(AFX_INIT_CLASS_CBUBBLELIST)(RUNTIME_CLASS(CBubbleList));
static const AFX_CLASSINIT initCDIB AFX_INIT_ORDER(AFX_INIT_CLASS_CDIB)(RUNTIME_CLASS(CDIB));
static const AFX_CLASSINIT initCPhasedSprite AFX_INIT_ORDER(AFX_INIT_CLASS_CPHASEDSPRITE)(RUNTIME_CLASS(CPhasedSprite));
static const AFX_CLASSINIT initCSprite AFX_INIT_ORDER(AFX_INIT_CLASS_CSPRITE)(RUNTIME_CLASS(CSprite));

CLineParser g_lineParser AFX_INIT_ORDER(AFX_INIT_LINE_PARSER)(4096);
CResourceManager g_resourceManager AFX_INIT_ORDER(AFX_INIT_RESOURCE_MANAGER);
