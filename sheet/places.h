// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its files. Run from a folder of its own that the user can write (the build
// folder, an unpacked copy, a shared network folder), everything lives beside the program, as always.
// Installed (the program's folder is a system folder such as /usr/bin), the read-only files come from
// the shared data folder beside it (../share/pamerol) and each user keeps settings and working files in
// the per-user folders of the XDG base directories.
#pragma once

#include <string>

#include "base/problem.h"

namespace pamerol {

struct Places {
    std::string resources; // templates, help and information pages, the sample settings file
    std::string settings;  // the folder of Pmrl.ini
    std::string work;      // working copies of the papers and other files the program writes
    bool perUser = false;  // settings and work are the user's own folders
};

// The environment the choice depends on; FromProcess reads it from the running process.
struct PlaceEnvironment {
    std::string home;          // $HOME
    std::string xdgConfigHome; // $XDG_CONFIG_HOME, empty when unset
    std::string xdgDataHome;   // $XDG_DATA_HOME, empty when unset
    static PlaceEnvironment FromProcess();
};

// Chooses the places for a program in programFolder. Beside the program when the folder holds a
// Pmrl.ini the process may write, or when the folder itself may be written and is not the folder of an
// installed program (one with ../share/pamerol/Pmrl.ini beside it and no Pmrl.ini of its own). Otherwise
// per user: $XDG_CONFIG_HOME/pamerol (default ~/.config/pamerol) and $XDG_DATA_HOME/pamerol (default
// ~/.local/share/pamerol).
Places ChoosePlaces(const std::string& programFolder, const PlaceEnvironment& env);

// Makes the per-user folders (mode 0700) and, on the first start, copies the shared sample settings
// file into the settings folder. Does nothing for places beside the program. A Problem whose message is the
// reason when a folder cannot be made or the sample cannot be copied; the program then starts with empty
// settings.
Expected<void> PreparePlaces(const Places& places);

} // namespace pamerol
