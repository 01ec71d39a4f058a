// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's tables, version by version. A database's PRAGMA user_version says how many of the steps
// it has taken; opening it takes the rest, each in its own transaction, so a file of any earlier version
// is brought up to date and one that a newer program has written is refused. PRAGMA application_id marks
// the file as this program's archive: new archives get it with their first step, older ones with the step
// that brings them up to date.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pamerol::archive_schema {

// Step i brings a database from version i to version i + 1.
extern const std::array<std::string_view, 4> kSteps;

inline constexpr int kVersion = static_cast<int>(kSteps.size());

// "PMRL" in the file's header.
inline constexpr std::int32_t kApplicationId = 0x504D524C;

} // namespace pamerol::archive_schema
