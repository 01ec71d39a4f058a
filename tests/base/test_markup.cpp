// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "base/markup.h"

using namespace pamerol;

// The workbook's XML leaves out every control character but the tab; the archive's page keeps its line
// breaks and drops only the carriage return.
TEST(MarkupText, EscapesOnceAndTreatsControlsAsAsked) {
    struct Case {
        std::string in;
        std::string leftOut;
        std::string crLeftOut;
    } cases[] = {
        {"<b>A & \"B\"</b>", "&lt;b&gt;A &amp; &quot;B&quot;&lt;/b&gt;",
         "&lt;b&gt;A &amp; &quot;B&quot;&lt;/b&gt;"},
        {"&amp;", "&amp;amp;", "&amp;amp;"},
        {"Moda Cad.\r\nKadıköy", "Moda Cad.Kadıköy", "Moda Cad.\nKadıköy"},
        {"a\tb", "a\tb", "a\tb"},
        {std::string("x\0y\x01z\x1F'", 7), "xyz'", std::string("x\0y\x01z\x1F'", 7)},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MarkupText(c.in, ControlCharacters::LeftOut), c.leftOut) << c.in;
        EXPECT_EQ(MarkupText(c.in, ControlCharacters::CarriageReturnLeftOut), c.crLeftOut) << c.in;
    }
}
