// SPDX-License-Identifier: GPL-3.0-or-later
// One run of a table at a time on a papers' folder and on an archive: a lock file that names the run that
// holds it (its name, the user, the machine, the process and when it started). The file is held with
// flock while the run lasts, so a run that is killed lets go of it with its process; where the file system
// keeps no such locks, a lock whose process no longer runs on this machine is taken over all the same. A
// lock of another machine's run is never taken over: whether it still runs cannot be told from here.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/problem.h"

namespace pamerol {

// The lock file of a papers' folder (inside it, hidden) and of an archive (beside it).
std::string DokumKlasoruKilidi(const std::string& folder);
std::string ArsivKilidi(const std::string& archive);

class CalismaKilidi {
  public:
    // Takes the lock at path for the run named topluAdi: a new file, or one that no running run holds.
    // `what` names what the lock guards in the clerk's words ("döküm klasörü \"...\""). A Problem saying who
    // holds it when a run that still runs (or may, on another machine) does, or why the file cannot be made.
    static Expected<std::unique_ptr<CalismaKilidi>> Al(const std::string& path, const std::string& what,
                                                       const std::string& topluAdi);
    // Lets go: the file is removed.
    ~CalismaKilidi();
    CalismaKilidi(const CalismaKilidi&) = delete;
    CalismaKilidi& operator=(const CalismaKilidi&) = delete;

  private:
    CalismaKilidi(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    std::string path_;
    int fd_;
};

// The sentence CalismaKilidi::Al would refuse with, when a running run holds the lock at path; nothing when
// a run may take it. Reads the file only, for a window that asks before it starts a run.
std::optional<std::string> KilitTutuluyor(const std::string& path, const std::string& what);

} // namespace pamerol
