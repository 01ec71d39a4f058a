// SPDX-License-Identifier: GPL-3.0-or-later
// Random texts as the table of legal figures. Besides crashes and sanitizer reports it checks that a
// table that loads keeps its promises: every value reads as a number, no two periods of a field overlap,
// and filling a sheet from it writes exactly the values it has and names every other field the case uses
// as missing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/conversions.h"
#include "figures/yasal_degerler.h"

using namespace pamerol;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = "alan;baslangic;bitis;deger;durum;kaynaklar\n" +
                             std::string(reinterpret_cast<const char*>(data), size);
    auto table = YasalDegerler::Parse(text);
    if (!table) {
        if (table.error().message.rfind("satır ", 0) != 0) std::abort();
        return 0;
    }
    for (const YasalDeger& row : table->rows()) {
        if (!row.value.empty() && !ParseNumber(row.value)) std::abort();
        if (row.end && *row.end < row.start) std::abort();
        for (int date : {row.start, row.end.value_or(row.start)})
            if (table->inForce(row.field, date) != &row) std::abort();
    }
    for (const YasalDeger& row : table->rows()) {
        Record r;
        Getirilen g = YasalDegerleriYaz(r, *table, row.start);
        // Every figure is written or named as missing, but one the case does not use (the leave pay's
        // SGK figures without a leave pay), which the table need not have.
        for (Field f : kYasalAlanlar) {
            const bool filled = std::find(g.filled.begin(), g.filled.end(), f) != g.filled.end();
            const bool missing = std::find(g.missing.begin(), g.missing.end(), f) != g.missing.end();
            if (filled == missing && (filled || UsesFigure(r, f))) std::abort();
        }
        for (Field f : g.filled)
            if (r.text(f) != table->inForce(f, row.start)->value) std::abort();
        (void)TavanUyarisi(*table, row.start, r.text(Field::TAV));
    }
    return 0;
}
