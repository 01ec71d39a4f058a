// SPDX-License-Identifier: GPL-3.0-or-later
// Zip files written byte by byte, their directories declaring whatever sizes a test needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pamerol::testing {

inline std::string LittleEndian(std::uint64_t v, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

struct ZipEntry {
    std::string name, data;
    std::uint64_t declared; // the unpacked size the directory gives
};

// A zip of stored entries whose directory declares the given unpacked sizes: over 4 GB in a zip64 extra
// field (with zip64Extra), in the zip64 end record too with zip64End; a comment after the end record.
inline std::string Zip(const std::vector<ZipEntry>& entries, bool zip64End = false,
                       const std::string& comment = "", bool zip64Extra = true) {
    std::string file, directory;
    for (const ZipEntry& e : entries) {
        const bool big = e.declared >= 0xFFFFFFFF;
        const std::string extra =
            big && zip64Extra ? LittleEndian(1, 2) + LittleEndian(8, 2) + LittleEndian(e.declared, 8) : "";
        const std::string sizes = LittleEndian(0, 4) + LittleEndian(e.data.size(), 4) +
                                  LittleEndian(big ? 0xFFFFFFFF : e.declared, 4) +
                                  LittleEndian(e.name.size(), 2) + LittleEndian(extra.size(), 2);
        directory += LittleEndian(0x02014b50, 4) + LittleEndian(20, 2) + LittleEndian(20, 2) +
                     LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(0, 4) + sizes +
                     LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(0, 4) +
                     LittleEndian(file.size(), 4) + e.name + extra;
        file += LittleEndian(0x04034b50, 4) + LittleEndian(20, 2) + LittleEndian(0, 2) + LittleEndian(0, 2) +
                LittleEndian(0, 4) + sizes + e.name + extra + e.data;
    }
    const std::uint64_t offset = file.size();
    file += directory;
    if (zip64End) {
        const std::uint64_t at = file.size();
        file += LittleEndian(0x06064b50, 4) + LittleEndian(44, 8) + LittleEndian(45, 2) +
                LittleEndian(45, 2) + LittleEndian(0, 4) + LittleEndian(0, 4) +
                LittleEndian(entries.size(), 8) + LittleEndian(entries.size(), 8) +
                LittleEndian(directory.size(), 8) + LittleEndian(offset, 8);
        file += LittleEndian(0x07064b50, 4) + LittleEndian(0, 4) + LittleEndian(at, 8) + LittleEndian(1, 4);
    }
    const auto count = zip64End ? 0xFFFF : entries.size();
    file += LittleEndian(0x06054b50, 4) + LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(count, 2) +
            LittleEndian(count, 2) + LittleEndian(zip64End ? 0xFFFFFFFF : directory.size(), 4) +
            LittleEndian(zip64End ? 0xFFFFFFFF : offset, 4) + LittleEndian(comment.size(), 2) + comment;
    return file;
}

} // namespace pamerol::testing
