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

// The socket in the temporary folder through which an office listens on the pipe of this name.
std::string PipeSocketPath(const std::string& name);

// Ends the office of a temporary profile, and removes the profile, when this process ends however it ends:
// returning, a signal, or SIGKILL. A watchdog process of its own, in a session of its own (so that the
// terminal's Ctrl+C or hang-up does not reach it), waits on a pipe that only this process holds open. When
// the pipe closes (this object is destroyed, or the process is gone), the watchdog ends every process whose
// command line listens on the profile's pipe, with its process group (SIGTERM, then SIGKILL after five
// seconds), removes the pipe's socket and then the profile folder. Create it before the office starts and
// before this process starts threads: the watchdog is a copy of this process.
class OfficeWatchdog {
  public:
    explicit OfficeWatchdog(const std::string& profile);
    // Lets the watchdog clean up now and waits for it.
    ~OfficeWatchdog();
    OfficeWatchdog(const OfficeWatchdog&) = delete;
    OfficeWatchdog& operator=(const OfficeWatchdog&) = delete;

    // Whether the watchdog runs (it could not start when the system is out of processes or descriptors).
    bool watching() const { return pid_ > 0; }

  private:
    int pipe_ = -1;
    pid_t pid_ = -1;
};

} // namespace pamerol
