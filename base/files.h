// SPDX-License-Identifier: GPL-3.0-or-later
// File addresses: where the running program lies, and a local path as a "file://" address; the mode a
// file written for the clerk takes; processes by their ids.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace pamerol {

// The folder that holds the running executable.
std::string ProgramFolder();

// A "file://" address for a local path: "/" and unreserved characters stay, every other byte is
// percent-encoded.
std::string FileUrl(const std::string& path);

// A small file read whole with plain system calls; nothing when it cannot be opened or read. Meant for
// /proc, where a process may end while its files are read: that is no error, the process is gone.
std::optional<std::string> ReadWholeFile(const std::string& path);

// The processes that run now, by their ids under /proc (those that end while they are listed may be
// missing or still named).
std::vector<int> RunningProcessIds();

// When the process started, in clock ticks since the machine started (/proc/PID/stat): 0 when it runs and
// its start cannot be read, nothing when no such process runs (one that ended and waits to be collected
// included). With the id, it tells a process from a later one that was given the same id.
std::optional<unsigned long long> ProcessStart(int pid);

// The mode and group a file written for the clerk takes in place of `target`: those of the file there when
// there is one (a regular file), else what the folder gives any program's new file: 0666 less the
// process's umask, and the folder's group when it has the set-group-id bit (group -1: left as it is).
struct FileMode {
    mode_t mode = 0;
    gid_t group = static_cast<gid_t>(-1);
};
FileMode UsualModeFor(const std::string& target);

// Gives the open file, or the file at path, that mode and group (the group where this user may).
void GiveMode(int fd, const FileMode& mode);
void GiveMode(const std::string& path, const FileMode& mode);

} // namespace pamerol
