// SPDX-License-Identifier: GPL-3.0-or-later
#include "protokol.h"

#include <nlohmann/json.hpp>
#include <type_traits>

#include "base/json.h"

namespace pamerol {

namespace {

using Json = nlohmann::ordered_json;

// The object under key in a line of the companion's output; nothing when the line holds no such object.
std::optional<Json> Member(std::string_view line, const char* key) {
    Json j = Json::parse(line, nullptr, false);
    if (!j.is_object() || !j.contains(key) || !j[key].is_object()) return std::nullopt;
    return std::move(j[key]);
}

// A member of the expected type, or what the type holds when nothing.
template <typename T> T Value(const Json& o, const char* key, T otherwise = T{}) {
    const auto it = o.find(key);
    if (it == o.end()) return otherwise;
    if constexpr (std::is_same_v<T, bool>) {
        return it->is_boolean() ? it->template get<bool>() : otherwise;
    } else if constexpr (std::is_unsigned_v<T>) {
        return it->is_number_unsigned() ? it->template get<T>() : otherwise;
    } else if constexpr (std::is_integral_v<T>) {
        return it->is_number_integer() ? it->template get<T>() : otherwise;
    } else {
        return it->is_string() ? it->template get<T>() : otherwise;
    }
}

} // namespace

int WorseStatus(int a, int b) {
    // From the least to the most serious: calculated, calculated with a warning, refused, misused.
    const auto rank = [](int s) {
        return s == kStatusOk ? 0 : s == kStatusWarning ? 1 : s == kStatusRefused ? 2 : 3;
    };
    return rank(a) >= rank(b) ? a : b;
}

std::string IlerlemeSatiri(const TopluIlerleme& i) {
    std::string line;
    JsonWriter(line)
        .beginObject()
        .key("ilerleme")
        .beginObject()
        .key("bitti")
        .number(i.bitti)
        .key("toplam")
        .number(i.toplam)
        .key("ad")
        .text(i.ad)
        .endObject()
        .endObject();
    return line + '\n';
}

std::optional<TopluIlerleme> IlerlemeOku(std::string_view line) {
    const auto o = Member(line, "ilerleme");
    if (!o) return std::nullopt;
    return TopluIlerleme{Value<size_t>(*o, "bitti"), Value<size_t>(*o, "toplam"),
                         Value<std::string>(*o, "ad")};
}

std::string OzetSatiri(const TopluSonuc& s) {
    std::string line;
    JsonWriter json(line);
    json.beginObject().key("ozet").beginObject();
    json.key("durum").number(s.durum).key("toplam").number(s.toplam);
    json.key("hesaplanan").number(s.hesaplanan).key("hesaplanamayan").number(s.hesaplanamayan);
    json.key("uyarili").number(s.uyarili).key("durduruldu").boolean(s.durduruldu);
    json.key("sonucTablosu").text(s.sonucTablosu);
    json.key("dokum").number(s.dokum).key("yazilamayanDokum").number(s.yazilamayanDokum);
    json.key("birlesikPdfler").texts(s.birlesikPdfler).key("arsivlenen").number(s.arsivlenen);
    json.key("satirlar").beginArray();
    for (const auto& [label, value] : s.ozet) json.beginArray().text(label).text(value).endArray();
    json.endArray().endObject().endObject();
    return line + '\n';
}

std::optional<TopluSonuc> OzetOku(std::string_view line) {
    const auto o = Member(line, "ozet");
    if (!o) return std::nullopt;
    TopluSonuc s;
    s.durum = Value<int>(*o, "durum", kStatusRefused);
    s.toplam = Value<size_t>(*o, "toplam");
    s.hesaplanan = Value<size_t>(*o, "hesaplanan");
    s.hesaplanamayan = Value<size_t>(*o, "hesaplanamayan");
    s.uyarili = Value<size_t>(*o, "uyarili");
    s.durduruldu = Value<bool>(*o, "durduruldu");
    s.sonucTablosu = Value<std::string>(*o, "sonucTablosu");
    s.dokum = Value<size_t>(*o, "dokum");
    s.yazilamayanDokum = Value<size_t>(*o, "yazilamayanDokum");
    s.arsivlenen = Value<size_t>(*o, "arsivlenen");
    if (const auto it = o->find("birlesikPdfler"); it != o->end() && it->is_array())
        for (const Json& p : *it)
            if (p.is_string()) s.birlesikPdfler.push_back(p.get<std::string>());
    if (const auto it = o->find("satirlar"); it != o->end() && it->is_array())
        for (const Json& l : *it)
            if (l.is_array() && l.size() == 2 && l[0].is_string() && l[1].is_string())
                s.ozet.emplace_back(l[0].get<std::string>(), l[1].get<std::string>());
    return s;
}

} // namespace pamerol
