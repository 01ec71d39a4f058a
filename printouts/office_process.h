// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the office as a process of its own, and the names and addresses it is reached by. No UNO here.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace pamerol {

struct Spawned {
    pid_t pid = -1; // the started program, in a session of its own; -1 when it could not be started
    int error = 0;  // errno of the failed start
};

// Runs the program (found on PATH) with these arguments in a new session, detached: it is not a child of
// this process, keeps running when this process ends, and its output goes nowhere.
Spawned SpawnDetached(const std::vector<std::string>& argv);

// Whether the process still runs (a process that has ended but was not yet reaped counts as ended).
bool ProcessRunning(pid_t pid);

// Whether an office listens on the pipe of this name: its socket accepts a connection. Quick, and needs no
// UNO: a socket left behind by an office that has ended refuses.
bool PipeListening(const std::string& name);

// The name of the pipe an office on this profile listens on: the same profile always gives the same name.
std::string PipeNameFor(const std::string& profile);

} // namespace pamerol
