// SPDX-License-Identifier: GPL-3.0-or-later
// How the companion says that something could not be done: every failure it reports, whether its own
// (a wrong argument) or a Problem from below (an archive, a table, a settings file), leaves it here.
#pragma once

#include <iosfwd>

#include "base/problem.h"

namespace pamerol {

// Writes "pamerol-hesap: " and the Problem's message, a line of its own, on err and returns status (one of
// the exit statuses in toplu/protokol.h), so that a caller ends with `return Report(problem, status, err);`.
int Report(const Problem& problem, int status, std::ostream& err);

} // namespace pamerol
