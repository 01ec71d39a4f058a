// SPDX-License-Identifier: GPL-3.0-or-later
// The headless companion: the same sheet and calculation as the window, driven by assignments on the
// command line or by JSON Lines, with the results printed as JSON.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pamerol {

// Runs the companion on the given arguments (without the program name). Returns the exit status:
// 0 success, 1 some lines of a batch failed, 2 a usage error (nothing computed).
int RunCompanion(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                 std::ostream& err);

} // namespace pamerol
