// SPDX-License-Identifier: GPL-3.0-or-later
// What a zip file (an .xlsx or .ods workbook is one) says it holds, read from its central directory
// without unpacking anything: how many entries and how many bytes they take unpacked, as declared.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/problem.h"

namespace pamerol {

struct ZipDirectory {
    std::uint64_t entries = 0;
    std::uint64_t unpacked = 0; // the declared unpacked sizes summed (saturating at the largest value)
};

// The central directory of the file at path, zip64 records included: nothing when the file is no zip (it
// neither begins with an entry nor ends with the end record); a Problem whose message is the reason when
// it is one but its directory cannot be read (cut short or damaged) or the file cannot be read.
Expected<std::optional<ZipDirectory>> ReadZipDirectory(const std::string& path);

} // namespace pamerol
