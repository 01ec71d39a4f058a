// SPDX-License-Identifier: GPL-3.0-or-later
// The completed cases of a run stored in the case archive: a single case, a batch of JSON lines or a table
// of employees.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "archive/archive.h"
#include "calc/record.h"
#include "printouts/dokum.h"

namespace pamerol {

// The completed cases of a run, kept as they are computed (from any thread) and stored in their order.
// An archive that cannot be opened is reported once; the run goes on calculating and printing.
class ArchiveRun {
  public:
    // run: the name of the run of a table of employees, stored with each case (empty for single cases).
    ArchiveRun(const std::string& path, std::ostream& err, std::string run = {});
    // Keeps the case when its calculation completed; printed is the paper filled from it, if any.
    void keep(const Record& r, const Dokum* printed, size_t order);
    // The same with every paper filled from it, in order.
    void keep(const Record& r, const std::vector<Dokum>& printed, size_t order);
    // Whether the archive could be opened.
    bool opened() const { return archive_ != nullptr; }
    // Stores every case kept since the last call in one transaction; a case of a named run takes the place
    // of the case the same run's name stored for the same person before (a run made again). Returns the
    // exit status: 0 stored (or nothing to store), 1 not (the reason written to err once).
    int flush();
    // How many of the cases stored took the place of a case stored before.
    size_t replaced() const { return replaced_; }

  private:
    std::unique_ptr<Archive> archive_;
    std::ostream& err_;
    bool failed_ = false;
    size_t replaced_ = 0;
    std::mutex mutex_;
    std::string run_;
    std::vector<std::pair<size_t, CaseToStore>> kept_;
};

} // namespace pamerol
