// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's JSON: one result line per case written from the sheet, and one line of assignments read
// into a list in the order of its keys.
#pragma once

#include <array>
#include <charconv>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/messages.h"
#include "calc/record.h"
#include "statement/aciklama.h"
#include "toplu/vaka.h"

namespace pamerol {

using Json = nlohmann::ordered_json;

// Writes one result line. The texts are escaped by the JSON library; a field holding the same text as in
// the last result (the settings and the release text, usually) reuses its escaped form, which keeps a
// large batch fast.
// A text as a JSON string, quotes included; an invalid UTF-8 byte becomes U+FFFD. The one escaping of
// every JSON text the companion writes.
std::string JsonString(std::string_view text);

class ResultWriter {
  public:
    // Appends the result line to line.
    void write(const Record& r, const RecordedMessages& m, std::string& line_) {
        line_ += "{\"fields\":{";
        for (int i = 0; i < kFieldCount; ++i) {
            Field f = static_cast<Field>(i);
            if (i > 0) line_ += ',';
            line_ += '"';
            line_ += FieldName(f);
            line_ += "\":";
            Cached& c = cache_[static_cast<size_t>(i)];
            if (!c.valid || c.text != r.text(f)) {
                c.text = r.text(f);
                c.escaped = JsonString(c.text);
                c.valid = true;
            }
            line_ += c.escaped;
        }
        line_ += "},\"mode\":";
        line_ += std::to_string(static_cast<int>(r.mode()));
        line_ += ",\"Check1\":" + std::to_string(r.check1());
        line_ += ",\"Check2\":" + std::to_string(r.check2());
        line_ += r.command3Enabled() ? ",\"Command3\":true" : ",\"Command3\":false";
        char number[32]; // the shortest text that reads back as the same double: a valid JSON number
        line_ += ",\"YillikKidemTutari\":";
        line_.append(number, std::to_chars(number, number + sizeof number, r.yillikKidemTutari).ptr);
        line_ += ",\"messages\":[";
        for (size_t k = 0; k < m.entries.size(); ++k) {
            if (k > 0) line_ += ',';
            line_ += "{\"text\":" + JsonString(m.entries[k].text) + ",\"icon\":";
            line_ += m.entries[k].icon == MessageIcon::Information ? "\"information\"}"
                     : m.entries[k].icon == MessageIcon::Warning   ? "\"warning\"}"
                                                                   : "\"none\"}";
        }
        line_ += "]}\n";
    }

  private:
    // Texts of printable ASCII without quotes or backslashes stand in JSON as they are; the others are
    // escaped by the JSON library. The library reads the locale as it starts a serializer, which is not
    // safe in several threads at once, so those calls take turns.
    struct Cached {
        bool valid = false;
        std::string text, escaped;
    };
    std::array<Cached, kFieldCount> cache_;
};

// The statement of a calculated case as JSON lines, one object per line:
// {"baslik": caption, "degerler": {name: text, ...}, "sonuc": text}.
std::string AciklamaJson(const Aciklama& aciklama);

// Reads one line's object of assignments straight into a list, keeping the order of the keys.
class AssignmentReader {
  public:
    explicit AssignmentReader(Assignments& out) : out_(out) {}
    std::string error;

    bool null() { return notText(); }
    bool boolean(bool) { return notText(); }
    bool number_integer(Json::number_integer_t) { return notText(); }
    bool number_unsigned(Json::number_unsigned_t) { return notText(); }
    bool number_float(Json::number_float_t, const std::string&) { return notText(); }
    bool binary(Json::binary_t&) { return notText(); }
    bool string(std::string& value) {
        if (depth_ != 1) return notText();
        out_.emplace_back(std::move(key_), std::move(value));
        return true;
    }
    bool start_object(std::size_t) {
        if (depth_++ == 0) return true;
        return notText();
    }
    bool key(std::string& k) {
        key_ = std::move(k);
        return true;
    }
    bool end_object() {
        --depth_;
        return true;
    }
    bool start_array(std::size_t) { return notText(); }
    bool end_array() { return true; }
    // The library's own message is English; the place and the text read last say enough.
    bool parse_error(std::size_t position, const std::string& last, const nlohmann::detail::exception&) {
        error = "geçerli bir JSON değil: " + std::to_string(position) + ". baytta hata (son okunan: '" +
                Excerpt(last) + "')";
        return false;
    }

  private:
    bool notText() {
        error = depth_ == 0 ? "her satır tek bir JSON nesnesi olmalı"
                            : "\"" + Excerpt(key_) + "\" alanının değeri tırnak içinde bir metin olmalı";
        return false;
    }
    Assignments& out_;
    std::string key_;
    int depth_ = 0;
};

} // namespace pamerol
