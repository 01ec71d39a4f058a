// SPDX-License-Identifier: GPL-3.0-or-later
#include "gelir_vergisi.h"

#include "base/conversions.h"

namespace pamerol {

namespace {
double OrZero(const std::string& t) {
    return ParseNumber(t).value_or(0.0);
}
} // namespace

void YTLHesap::GelVerHesapla(YTLHesaplama& out) {
    // Limits and bases that cannot be read count as 0.
    double vd[6]; // vd[1]..vd[5]
    vd[0] = 0;
    for (int k = 1; k <= 5; ++k) vd[k] = OrZero(VD[static_cast<size_t>(k - 1)]);
    const double gm2 = OrZero(GM2);

    // Starting bracket: each later match replaces an earlier one; a base on a limit stays below it.
    int n = 1;
    if (gm2 <= vd[1]) n = 1;
    if (vd[1] < gm2 && gm2 <= vd[2]) n = 2;
    if (vd[2] < gm2 && gm2 <= vd[3]) n = 3;
    if (vd[3] < gm2 && gm2 <= vd[4]) n = 4;
    if (vd[4] < gm2 && gm2 <= vd[5]) n = 5;
    if (gm2 > vd[5]) n = 6;

    const double gm = OrZero(GM);
    double h[7] = {0, 0, 0, 0, 0, 0, 0};
    double t[7] = {0, 0, 0, 0, 0, 0, 0};

    if (n == 6) {
        h[6] = gm;
    } else {
        if (n == 1) {
            h[1] = gm2 + gm <= vd[1] ? gm : vd[1] - gm2;
        } else if (gm2 + gm > vd[n - 1]) {
            h[n] = gm2 + gm <= vd[n] ? gm : vd[n] - gm2;
        }
        double rest = gm - h[n];
        for (int k = n + 1; k <= 5; ++k) {
            double width = vd[k] - vd[k - 1];
            h[k] = width < rest ? width : rest;
            rest -= h[k];
        }
        h[6] = rest;
    }

    for (int k = n; k <= 6; ++k) {
        auto rate = ParseNumber(O[static_cast<size_t>(k - 1)]);
        if (!rate) continue;
        double tk = *rate * h[k] / 100;
        t[k] = tk < 0 ? 0 : tk;
    }

    for (int k = 1; k <= 6; ++k) {
        if (auto s = NumberText(h[k])) HM[static_cast<size_t>(k - 1)] = *s;
    }
    if (auto s = NumberText(t[1] + t[2] + t[3] + t[4] + t[5] + t[6])) out.GVK = *s;
}

std::optional<YTLHesap::UnreadableRow> YTLHesap::unreadableRow() const {
    // Rows are asked for from the first up to the one the year's base (carried plus this month's) ends in.
    const double top = OrZero(GM2) + OrZero(GM);
    double below = 0; // the limit of the row before
    for (size_t k = 0; k < 5; ++k) {
        if (k > 0 && top <= below) break;
        const std::string& limit = VD[k];
        if (limit.empty()) break; // an empty limit counts as 0 and ends the table
        auto value = ParseNumber(limit);
        if (!value) return UnreadableRow{static_cast<int>(k) + 1, false};
        if (OrZero(HM[k]) > 0 && !ParseNumber(O[k])) return UnreadableRow{static_cast<int>(k) + 1, true};
        below = *value;
    }
    return std::nullopt;
}

} // namespace pamerol
