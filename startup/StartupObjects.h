// The global objects of the portable core, built at their stages of the start-up order
// (AfxInitOrder.h). The application adds its own between them.
#pragma once

#include "CLineParser.h"
#include "CResourceManager.h"

extern CLineParser g_lineParser;
extern CResourceManager g_resourceManager;
