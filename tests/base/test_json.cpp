// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>

#include "base/json.h"

using namespace pamerol;
using Json = nlohmann::ordered_json;

namespace {

std::string Dumped(const Json& j) {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace

// The companion's lines were written by the JSON library before; every text still comes out byte for byte
// as the library writes it, invalid UTF-8 included.
TEST(JsonString, WritesEveryTextAsTheJsonLibrary) {
    const unsigned char interesting[] = {'a',  ' ',  '"',  '\\', '/',  0x00, 0x01, 0x08, 0x09, 0x0A, 0x0C,
                                         0x0D, 0x1F, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
                                         0xC2, 0xC4, 0xDF, 0xE0, 0xE2, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) {
        std::string text(rng() % 9, '\0');
        for (char& c : text)
            c = static_cast<char>(rng() % 4 ? interesting[rng() % sizeof interesting] : rng() % 256);
        ASSERT_EQ(JsonString(text), Dumped(Json(text))) << ::testing::PrintToString(text);
    }
}

TEST(JsonWriter, PutsCommasWhereTheLibraryDoes) {
    std::string out;
    JsonWriter w(out);
    w.beginObject().key("a").beginObject().endObject().key("b").beginArray().endArray();
    w.key("c").beginArray().beginArray().text("x").number(-2).endArray().beginObject().key("d").null();
    w.endObject().boolean(true).endArray().key("e").textOrNull(std::nullopt).key("f").number(size_t{7});
    w.key("g").texts({"1", "2"}).endObject();
    const Json expected = {{"a", Json::object()},
                           {"b", Json::array()},
                           {"c", {{"x", -2}, {{"d", nullptr}}, true}},
                           {"e", nullptr},
                           {"f", 7},
                           {"g", {"1", "2"}}};
    EXPECT_EQ(out, Dumped(expected));
}
