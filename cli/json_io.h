// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's JSON: one result line per case written from the sheet through the JSON writer, and one
// line of assignments read into a list in the order of its keys.
#pragma once

#include <array>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/json.h"
#include "calc/messages.h"
#include "calc/record.h"
#include "statement/aciklama.h"
#include "toplu/vaka.h"

namespace pamerol {

using Json = nlohmann::ordered_json;

// Writes one result line through the JSON writer. A field holding the same text as in the last result (the
// settings and the release text, usually) reuses its escaped form, which keeps a large batch fast.
class ResultWriter {
  public:
    // Appends the result line to line.
    void write(const Record& r, const RecordedMessages& m, std::string& line) {
        JsonWriter json(line);
        members(r, m, json.beginObject());
        json.endObject();
        line += '\n';
    }

    // The result's members, into an object the caller has begun and ends (after members of its own).
    void members(const Record& r, const RecordedMessages& m, JsonWriter& json) {
        json.key("fields").beginObject();
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = static_cast<Field>(i);
            Cached& c = cache_[static_cast<size_t>(i)];
            if (!c.valid || c.text != r.text(f)) {
                c.text = r.text(f);
                c.escaped = JsonString(c.text);
                c.valid = true;
            }
            json.key(FieldName(f)).json(c.escaped);
        }
        json.endObject();
        json.key("mode").number(static_cast<int>(r.mode()));
        json.key("Check1").number(r.check1()).key("Check2").number(r.check2());
        json.key("Command3").boolean(r.command3Enabled());
        json.key("YillikKidemTutari").number(r.yillikKidemTutari);
        // What the termination reason makes of each payment: null when it is paid as worked out.
        const Hesap* h = r.command3Enabled() ? r.hesap() : nullptr;
        json.key("kidemDurumu")
            .textOrNull(h && h->sonuc.entitled ? SeveranceDueNote(h->sonuc) : std::nullopt);
        json.key("ihbarDurumu").textOrNull(h ? NoticeDueNote(h->sonuc) : std::nullopt);
        json.key("messages").beginArray();
        for (const RecordedMessages::Entry& e : m.entries) {
            json.beginObject().key("text").text(e.text).key("icon");
            json.text(e.icon == MessageIcon::Information ? "information"
                      : e.icon == MessageIcon::Warning   ? "warning"
                                                         : "none");
            json.endObject();
        }
        json.endArray();
    }

  private:
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
