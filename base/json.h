// SPDX-License-Identifier: GPL-3.0-or-later
// JSON as the program writes it: one line of UTF-8 without blanks, the members in the order written, every
// text escaped by JsonString. The one way a JSON text is made; reading JSON is the JSON library's.
#pragma once

#include <charconv>
#include <concepts>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pamerol {

// A text as a JSON string, quotes included: '"', '\' and the control characters escaped ("\n", "\t",
// "\u001f", ...), every other character as it is. Each piece of the text that is not valid UTF-8 (a byte
// that begins no character, or the start of a character cut short) becomes one U+FFFD.
std::string JsonString(std::string_view text);
// JsonString(text) appended to out.
void AppendJsonString(std::string& out, std::string_view text);

// Writes JSON into a string in order: objects and arrays begun and ended, members named by key, values put.
// The commas are the writer's; that every object is ended, and a key comes before each member's value, is
// the caller's.
//   JsonWriter(line).beginObject().key("silinen").number(3).endObject();   // {"silinen":3}
class JsonWriter {
  public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }

    // The name of the member whose value comes next.
    JsonWriter& key(std::string_view name) {
        separate();
        AppendJsonString(out_, name);
        out_ += ':';
        comma_ = false;
        return *this;
    }

    JsonWriter& text(std::string_view t) {
        separate();
        AppendJsonString(out_, t);
        return *this;
    }
    // The text, or null when there is none.
    JsonWriter& textOrNull(const std::optional<std::string>& t) { return t ? text(*t) : null(); }
    // An array of the texts.
    JsonWriter& texts(const std::vector<std::string>& ts) {
        beginArray();
        for (const std::string& t : ts) text(t);
        return endArray();
    }
    template <std::integral Number>
    requires(!std::same_as<Number, bool>) JsonWriter& number(Number n) {
        char digits[24];
        return json(std::string_view(
            digits, static_cast<size_t>(std::to_chars(digits, digits + 24, n).ptr - digits)));
    }
    // A finite double as the shortest text that reads back as the same double.
    JsonWriter& number(double x) {
        char digits[32];
        return json(std::string_view(
            digits, static_cast<size_t>(std::to_chars(digits, digits + 32, x).ptr - digits)));
    }
    JsonWriter& boolean(bool b) { return json(b ? "true" : "false"); }
    JsonWriter& null() { return json("null"); }
    // A value already written as JSON (a text JsonString escaped before, kept for the next line).
    JsonWriter& json(std::string_view written) {
        separate();
        out_ += written;
        return *this;
    }

  private:
    void separate() {
        if (comma_) out_ += ',';
        comma_ = true;
    }
    JsonWriter& open(char c) {
        separate();
        out_ += c;
        comma_ = false;
        return *this;
    }
    JsonWriter& close(char c) {
        out_ += c;
        comma_ = true;
        return *this;
    }

    std::string& out_;
    bool comma_ = false; // a value stands before the next one
};

} // namespace pamerol
