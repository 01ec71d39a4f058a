// SPDX-License-Identifier: GPL-3.0-or-later
// Where the archive lives: "arsiv.db" in the folder of the settings file, unless the settings file names
// another file under [Arsiv] Yol= (a folder shared by the office's clerks, for instance). A relative path
// there counts from the settings file's folder.
#pragma once

#include <string>

namespace pamerol {

inline constexpr const char* kArsivBolumu = "Arsiv";
inline constexpr const char* kArsivAnahtari = "Yol";

std::string ArsivYolu(const std::string& iniYolu);

} // namespace pamerol
