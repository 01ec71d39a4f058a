// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the companion in the test's process on the given arguments and standard input.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/companion.h"

namespace pamerol::testing {

struct Outcome {
    int status;
    std::string out, err;
};

inline Outcome Companion(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    int status = RunCompanion(args, in, out, err);
    return {status, out.str(), err.str()};
}

} // namespace pamerol::testing
