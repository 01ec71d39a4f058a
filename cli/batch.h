// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's batch mode: JSON Lines of assignments in, one result line per case out, in order.
#pragma once

#include <istream>
#include <ostream>

#include "case_run.h"

namespace pamerol {

// Lines are read and parsed in chunks on this thread; the cases of a chunk are computed by one worker per
// processor, each on its own sheets, and their results are written in the order of the lines. A chunk
// ends at 4,096 lines or 8 MiB of input, whichever comes first, and its memory is given back after it,
// so the batch's memory stays bounded whatever the size of its lines. Returns the exit status.
int RunBatch(const Settings* settings, YasalTablo table, std::istream& in, std::ostream& out,
             std::ostream& err, ArchiveRun* archive);

} // namespace pamerol
