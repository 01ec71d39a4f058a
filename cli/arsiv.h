// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's archive: storing the cases of a run, and finding, reopening, exporting and deleting
// stored cases from the command line.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/archive.h"
#include "calc/messages.h"
#include "printouts/dokum.h"
#include "toplu/arsiv_kaydi.h"

namespace pamerol {

struct ArchiveOptions {
    std::optional<std::string> file;                             // --arsiv FILE
    std::optional<std::string> search;                           // --arsiv-ara TEXT
    std::optional<std::int64_t> reopen;                          // --arsiv-ac ID
    std::optional<std::int64_t> remove;                          // --arsiv-sil ID
    std::optional<int> removeOlderThan;                          // --arsiv-sil-eski YEARS
    std::optional<std::pair<std::string, std::string>> exportTo; // --arsiv-disa TCKNO FILE
    bool all = false;                                            // --hepsi: a search without its limit
    std::string name;                                            // the archive command given, if any
    // A command that works on the archive instead of calculating.
    bool command() const { return search || remove || removeOlderThan || exportTo; }
};

// Takes args[i] and its values when it is an archive option, leaving i on its last value. Returns whether
// args[i] is one (and was taken); a Problem when it is malformed, a second archive command or a second
// --arsiv.
Expected<bool> ArchiveArgument(const std::vector<std::string>& args, size_t& i, ArchiveOptions& o);

// What is wrong with the options as a whole (--hepsi without --arsiv-ara), once all are taken.
Expected<void> CheckArchiveOptions(const ArchiveOptions& o);

// The archive file of the options: --arsiv FILE, otherwise the one the settings file names (or
// arsiv.db beside it); empty when neither is given.
std::optional<std::string> ArchivePath(const ArchiveOptions& o,
                                       const std::optional<std::string>& settingsFile);

// Runs --arsiv-ara, --arsiv-sil, --arsiv-sil-eski or --arsiv-disa; a search and an export open the
// archive for reading only. A search that its limit cut says so on err. Returns the exit status: 0 done,
// 1 not (the reason written to err), an export of a number without cases included.
int RunArchiveCommand(const ArchiveOptions& o, const std::string& path, std::ostream& out, std::ostream& err);

// Loads the stored case id into a fresh sheet, exactly as stored and without calculating, and hands it to
// show; then, when dokum is given, fills that paper again into paperPath and records the printing in the
// case. Returns the exit status: 0 done; 1 the archive or the case cannot be read, or the paper not filled
// or not recorded (the reason written to err).
int ReopenArchivedCase(const std::string& path, std::int64_t id,
                       const std::function<void(const Record&, const RecordedMessages&)>& show,
                       const Dokum* dokum, const std::string& paperPath, std::ostream& err);

} // namespace pamerol
