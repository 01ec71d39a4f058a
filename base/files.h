// SPDX-License-Identifier: GPL-3.0-or-later
// File addresses: where the running program lies, and a local path as a "file://" address.
#pragma once

#include <string>

namespace pamerol {

// The folder that holds the running executable.
std::string ProgramFolder();

// A "file://" address for a local path: "/" and unreserved characters stay, every other byte is
// percent-encoded.
std::string FileUrl(const std::string& path);

} // namespace pamerol
