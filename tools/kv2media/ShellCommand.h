// A publisher's shell command, run so that a signal noted by an InterruptGuard reaches it too.
#pragma once

#include <string>

// Runs the command with /bin/sh in a process group of its own, and waits for it; a signal noted
// meanwhile is passed on to that group, and the command is waited for still. The wait status,
// as waitpid gives it; -1 where the shell could not be started.
int RunShellCommand(const std::string& command);
