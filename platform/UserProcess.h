// Starts a program with the rights of the user who started this one. The setup runs elevated;
// what it starts must not: another user may control the program's folder, and the program talks
// to the network.
#pragma once

#include <windows.h>

// Starts the program at pszApplication (a path in the ANSI code page) as CreateProcessA would
// with no command line, no inherited handles, no creation flags, the current directory and a
// zeroed start-up record; but when this process runs elevated, with an unelevated token of the
// desktop's user. Only where no such token can be had does it start with this process's own.
BOOL CreateUserProcess(const char* pszApplication, PROCESS_INFORMATION* pInfo);

// Whether a start with another token that failed with this error was refused the token (the
// privilege or the service it needs is missing), so that the next way may be tried, rather than
// the program failing to start.
BOOL IsTokenRefused(DWORD dwError);
