// SPDX-License-Identifier: GPL-3.0-or-later
// Zip directories written by hand: what they declare, and the ones that cannot be read.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>

#include "base/zip.h"
#include "tests/common/temp_folder.h"
#include "tests/common/zip_bytes.h"

using namespace pamerol;
using namespace pamerol::testing;

TEST(ZipDirectory, DeclaredSizesAreSummedAndDamagedDirectoriesRefused) {
    constexpr std::uint64_t MB = 1024 * 1024;
    const std::vector<ZipEntry> two = {{"content.xml", "<a/>", 4}, {"xl/sharedStrings.xml", "x", 1900 * MB}};
    const std::string whole = Zip(two);
    const struct {
        const char* what;
        std::string bytes;
        std::optional<std::uint64_t> unpacked; // nothing: no zip
        bool damaged;
    } cases[] = {
        {"entries declaring more than they hold", whole, 1900 * MB + 4, false},
        {"a comment after the end record", Zip(two, false, "yorum"), 1900 * MB + 4, false},
        {"a zip64 size", Zip({{"a", "x", 5 * 1024 * MB}}), 5 * 1024 * MB, false},
        {"a zip64 end record", Zip(two, true), 1900 * MB + 4, false},
        {"cut short", whole.substr(0, whole.size() - 10), {}, true},
        {"its start cut off", whole.substr(30), {}, true},
        {"a zip64 size without its field", Zip({{"a", "x", 5 * 1024 * MB}}, false, "", false), {}, true},
        {"a text", "Adı Soyadı;Giriş Tarihi\n", {}, false},
        {"an older workbook",
         std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'),
         {},
         false},
        {"an empty file", "", {}, false},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("k.xlsx");
        std::ofstream(path, std::ios::binary) << c.bytes;
        const auto zip = ReadZipDirectory(path);
        ASSERT_EQ(!zip, c.damaged) << (zip ? "" : zip.error().message);
        if (c.damaged) {
            EXPECT_NE(zip.error().message.find("dizini okunamadı"), std::string::npos);
            continue;
        }
        ASSERT_EQ(zip->has_value(), c.unpacked.has_value());
        if (c.unpacked) {
            EXPECT_EQ((*zip)->unpacked, *c.unpacked);
        }
    }
}
