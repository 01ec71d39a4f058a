// SPDX-License-Identifier: GPL-3.0-or-later
#include "yasal.h"

#include <cstdio>
#include <ostream>

#include "base/files.h"
#include "cli/json_io.h"
#include "sheet/places.h"

namespace pamerol {

namespace {

std::string JsonText(std::string_view text) {
    return JsonString(text);
}

} // namespace

std::unique_ptr<YasalDegerler> YasalDegerleriYukle(std::ostream& err) {
    // A read-only file of the program: beside it, or in the shared data folder when installed.
    const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
    const std::string path = YasalDegerlerYolu(places.resources);
    std::string why;
    auto table = YasalDegerler::Load(path, &why);
    if (!table) {
        err << "pamerol-hesap: yasal değerler tablosu okunamadı: " << why << '\n';
        return nullptr;
    }
    return std::make_unique<YasalDegerler>(std::move(*table));
}

YasalRapor YasalDegerleriUygula(Record& r, const YasalDegerler& table,
                                const std::vector<std::pair<std::string, std::string>>& assignments) {
    auto given = [&](Field f) {
        for (const auto& a : assignments)
            if (a.first == FieldName(f)) return true;
        return false;
    };
    return TarihinYasalDegerleriniUygula(r, table, CikisTarihi(r), given, AsgariKurali::Yazilir);
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
