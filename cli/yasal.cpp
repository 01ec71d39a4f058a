// SPDX-License-Identifier: GPL-3.0-or-later
#include "yasal.h"

#include <cstdio>
#include <ostream>

namespace pamerol {

Expected<std::unique_ptr<YasalDegerler>> YasalDegerleriYukle() {
    auto table = ProgramYasalDegerleri();
    if (!table) return Failure("yasal değerler tablosu okunamadı: " + table.error().message);
    return std::make_unique<YasalDegerler>(std::move(*table));
}

void YasalRaporuEkle(const Vaka& vaka, const YasalDegerler& table, JsonWriter& json) {
    const YasalRapor& report = *vaka.yasal;
    const Record& r = vaka.sheet.record();
    json.key("yasalDegerler").beginObject();
    json.key("uygulandi").boolean(vaka.yasalUygulandi);
    json.key("tarih").textOrNull(report.date ? std::optional(DateText(*report.date)) : std::nullopt);
    json.key("yazilan").beginObject();
    for (const auto& [field, text] : report.filled) json.key(FieldName(field)).text(text);
    json.endObject().key("eksik").beginArray();
    for (Field field : report.missing) json.text(FieldName(field));
    json.endArray().key("mesaj").text(report.message);
    json.key("tavanUyarisi")
        .textOrNull(report.date ? TavanUyarisi(table, *report.date, r.text(Field::TAV)) : std::nullopt);
    json.key("uyarilar").beginArray();
    for (const YasalUyari& u : vaka.uyarilar) {
        json.beginObject().key("alan").text(FieldName(u.alan)).key("baslik").text(u.baslik);
        json.key("kullanilan").text(u.kullanilan).key("yururlukte").textOrNull(u.yururlukte);
        json.key("metin").text(u.metin).endObject();
    }
    json.endArray().key("tavanNotu").textOrNull(vaka.tavanNotu);
    json.endObject();
}

} // namespace pamerol
