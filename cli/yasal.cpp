// SPDX-License-Identifier: GPL-3.0-or-later
#include "yasal.h"

#include <cstdio>
#include <ostream>

#include "cli/json_io.h"

namespace pamerol {

namespace {

std::string JsonText(std::string_view text) {
    return JsonString(text);
}

} // namespace

Expected<std::unique_ptr<YasalDegerler>> YasalDegerleriYukle() {
    auto table = ProgramYasalDegerleri();
    if (!table) return Failure("yasal değerler tablosu okunamadı: " + table.error().message);
    return std::make_unique<YasalDegerler>(std::move(*table));
}

void YasalRaporuEkle(const YasalRapor& report, const YasalDegerler& table, const Record& r,
                     const std::vector<YasalUyari>& uyarilar, std::string& line) {
    // The line ends with the closing brace of its object and a line feed.
    if (line.size() < 2) return;
    line.resize(line.size() - 2);
    line += ",\"yasalDegerler\":{\"tarih\":";
    line += report.date ? JsonText(DateText(*report.date)) : "null";
    line += ",\"yazilan\":{";
    for (size_t i = 0; i < report.filled.size(); ++i) {
        if (i > 0) line += ',';
        line += JsonText(FieldName(report.filled[i].first)) + ':' + JsonText(report.filled[i].second);
    }
    line += "},\"eksik\":[";
    for (size_t i = 0; i < report.missing.size(); ++i) {
        if (i > 0) line += ',';
        line += JsonText(FieldName(report.missing[i]));
    }
    line += "],\"mesaj\":" + JsonText(report.message);
    auto warning = report.date ? TavanUyarisi(table, *report.date, r.text(Field::TAV)) : std::nullopt;
    line += ",\"tavanUyarisi\":" + (warning ? JsonText(*warning) : std::string("null"));
    line += ",\"uyarilar\":[";
    for (size_t i = 0; i < uyarilar.size(); ++i) {
        const YasalUyari& u = uyarilar[i];
        if (i > 0) line += ',';
        line += "{\"alan\":" + JsonText(FieldName(u.alan)) + ",\"baslik\":" + JsonText(u.baslik) +
                ",\"kullanilan\":" + JsonText(u.kullanilan) +
                ",\"yururlukte\":" + (u.yururlukte ? JsonText(*u.yururlukte) : std::string("null")) +
                ",\"metin\":" + JsonText(u.metin) + "}";
    }
    line += "]";
    line += "}}\n";
}

} // namespace pamerol
