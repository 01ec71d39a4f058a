// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablo_yaz.h"

#include <algorithm>
#include <cmath>

#include "base/conversions.h"
#include "calc/fields.h"

namespace pamerol {

const std::vector<Field>& SonucAlanlari() {
    using F = Field;
    static const std::vector<Field> fields{
        F::txtAdiSoyadi, F::txtTcKNo, F::txtSSkNoPer, F::GTarih, F::CTarih, F::DGUN, F::TGUN, F::GGUN,
        F::DGVMAT, F::ESUCRET, F::IUCRET, F::TBRUT, F::YIUCRET,
        // Both tabs' results.
        F::TGUNU, F::KYILI, F::KAYI, F::KGUNU, F::BKTAZ, F::DVER, F::NET, F::TIGUNU, F::IAYI, F::KIGUNU,
        F::HIGUNU, F::BITZM, F::IGVER, F::IDVER, F::ITAZM,
        // The figures used.
        F::TAV, F::DVOR, F::KGN, F::DL1, F::DL2, F::DL3, F::DL4};
    return fields;
}

const std::vector<Field>& ToplananAlanlar() {
    using F = Field;
    static const std::vector<Field> fields{F::BKTAZ, F::DVER, F::NET, F::BITZM, F::IGVER, F::IDVER, F::ITAZM};
    return fields;
}

std::vector<std::string> SonucBasliklari() {
    std::vector<std::string> titles{"Sıra"};
    for (Field f : SonucAlanlari()) {
        std::string caption(FieldCaption(f));
        // Two captions appear on both tabs.
        if (caption == "Toplam Gün" && f != Field::GGUN)
            caption = (f == Field::TGUNU ? "Kıdem " : "İhbar ") + caption;
        if (caption == "Damga Vergisi") caption = (f == Field::DVER ? "Kıdem " : "İhbar ") + caption;
        titles.push_back(caption);
    }
    titles.emplace_back("Uyarı");
    titles.emplace_back("Hata");
    return titles;
}

std::string Toplam(const std::vector<SonucSatiri>& satirlar, Field f) {
    // Whole kuruş, so that the sum is exact whatever the number of rows.
    long long kurus = 0;
    for (const SonucSatiri& s : satirlar) {
        if (!s.hesaplandi) continue;
        if (auto v = ParseNumber(s.alan[static_cast<size_t>(f)])) kurus += std::llround(*v * 100);
    }
    return AmountText(static_cast<double>(kurus) / 100).value_or(std::string());
}

std::string CsvHucresi(std::string_view text) {
    std::string out = "\"";
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' ||
                          text[0] == '\t' || text[0] == '\r'))
        out += '\'';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string SonucCsv(const std::vector<SonucSatiri>& satirlar) {
    std::string out = "\xEF\xBB\xBF";
    const auto line = [&](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) out += ';';
            out += CsvHucresi(cells[i]);
        }
        out += "\r\n";
    };
    line(SonucBasliklari());
    const auto& results = kResultFields;
    for (const SonucSatiri& s : satirlar) {
        std::vector<std::string> cells{std::to_string(s.sira)};
        for (Field f : SonucAlanlari()) {
            const bool result = std::find(results.begin(), results.end(), f) != results.end();
            cells.push_back(result && !s.hesaplandi ? std::string() : s.alan[static_cast<size_t>(f)]);
        }
        cells.push_back(s.uyari);
        cells.push_back(s.hata);
        line(cells);
    }
    std::vector<std::string> totals{"TOPLAM"};
    const auto& summed = ToplananAlanlar();
    for (Field f : SonucAlanlari())
        totals.push_back(std::find(summed.begin(), summed.end(), f) != summed.end() ? Toplam(satirlar, f)
                                                                                    : std::string());
    totals.emplace_back();
    totals.emplace_back();
    line(totals);
    return out;
}

} // namespace pamerol
