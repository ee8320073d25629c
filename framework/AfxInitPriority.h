// Static initialisation in a set order: a global defined with AFX_INIT_ORDER(stage) is built at
// its stage whatever order the linker puts the files in, and destroyed in the reverse order at
// exit. The framework's module state comes first; the program's later stages go on from it.
// Globals without a stage are built after all of them.
#pragma once

// Priorities below 1000 are left to the runtime and to libraries that must come first.
constexpr int AFX_INIT_MODULE_STATE = 1000;

// Placed after the declarator: `CFoo g_foo AFX_INIT_ORDER(AFX_INIT_FOO)(args);`
#define AFX_INIT_ORDER(stage) __attribute__((init_priority(stage)))
