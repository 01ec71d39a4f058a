// SPDX-License-Identifier: GPL-3.0-or-later
// File addresses: where the running program lies, and a local path as a "file://" address.
#pragma once

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

} // namespace pamerol
