// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <ostream>

namespace pamerol {

int Report(const Problem& problem, int status, std::ostream& err) {
    err << "pamerol-hesap: " << problem.message << '\n';
    return status;
}

} // namespace pamerol
