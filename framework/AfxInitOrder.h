// The order in which static initialisation builds the program's global objects, first to last;
// at exit they are destroyed in the reverse order. Each of them is defined with
// AFX_INIT_ORDER(stage), so the order holds whatever order the linker puts the files in.
// Globals without a stage are built after all of these.
#pragma once

enum AFX_INIT_STAGE : int {
  // Priorities below 1000 are left to the runtime and to libraries that must come first.
  AFX_INIT_MODULE_STATE = 1000,
  AFX_INIT_CLASS_CBUBBLE,
  AFX_INIT_CLASS_CBUBBLELIST,
  AFX_INIT_CLASS_CDIB,
  AFX_INIT_RECT_EDIT,
  AFX_INIT_RECT_LABEL,
  AFX_INIT_CLASS_CPHASEDSPRITE,
  AFX_INIT_CLASS_CSPRITE,
  AFX_INIT_APP,
  AFX_INIT_LINE_PARSER,
  AFX_INIT_RESOURCE_MANAGER,
};

// Placed after the declarator: `CFoo g_foo AFX_INIT_ORDER(AFX_INIT_FOO)(args);`
#define AFX_INIT_ORDER(stage) __attribute__((init_priority(stage)))
