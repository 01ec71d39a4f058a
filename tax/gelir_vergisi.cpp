// SPDX-License-Identifier: GPL-3.0-or-later
#include "gelir_vergisi.h"

#include "base/conversions.h"

namespace pamerol {

namespace {
double OrZero(const std::string& t) {
    return ParseNumber(t).value_or(0.0);
}
} // namespace

IncomeTax GelirVergisi(double gm, double gm2, const TaxTable& rows, std::optional<double> sixthRate) {
    // Limits that cannot be read count as 0.
    double vd[6]; // vd[1]..vd[5]
    vd[0] = 0;
    for (int k = 1; k <= 5; ++k) vd[k] = rows[static_cast<size_t>(k - 1)].limit.value_or(0.0);

    // Starting bracket: each later match replaces an earlier one; a base on a limit stays below it.
    int n = 1;
    if (gm2 <= vd[1]) n = 1;
    if (vd[1] < gm2 && gm2 <= vd[2]) n = 2;
    if (vd[2] < gm2 && gm2 <= vd[3]) n = 3;
    if (vd[3] < gm2 && gm2 <= vd[4]) n = 4;
    if (vd[4] < gm2 && gm2 <= vd[5]) n = 5;
    if (gm2 > vd[5]) n = 6;

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
        const std::optional<double> rate = k == 6 ? sixthRate : rows[static_cast<size_t>(k - 1)].rate;
        if (!rate) continue;
        double tk = *rate * h[k] / 100;
        t[k] = tk < 0 ? 0 : tk;
    }

    IncomeTax out;
    out.startBracket = n;
    for (int k = 1; k <= 6; ++k) {
        out.slice[static_cast<size_t>(k - 1)] = h[k];
        out.tax[static_cast<size_t>(k - 1)] = t[k];
    }
    out.total = t[1] + t[2] + t[3] + t[4] + t[5] + t[6];
    return out;
}

std::optional<UnreadableBracket> FindUnreadableBracket(double base, double carried, const TaxTable& rows) {
    const IncomeTax tax = GelirVergisi(base, carried, rows);
    // Rows are asked for from the first up to the one the year's base (carried plus this month's) ends in.
    const double top = carried + base;
    double below = 0; // the limit of the row before
    for (size_t k = 0; k < rows.size(); ++k) {
        if (k > 0 && top <= below) break;
        if (!rows[k].limitGiven) break; // an empty limit counts as 0 and ends the table
        if (!rows[k].limit) return UnreadableBracket{static_cast<int>(k) + 1, false};
        if (tax.slice[k] > 0 && !rows[k].rate) return UnreadableBracket{static_cast<int>(k) + 1, true};
        below = *rows[k].limit;
    }
    return std::nullopt;
}

TaxTable YTLHesap::table() const {
    TaxTable rows;
    for (size_t k = 0; k < rows.size(); ++k)
        rows[k] = {ParseNumber(O[k]), ParseNumber(VD[k]), !VD[k].empty()};
    return rows;
}

void YTLHesap::GelVerHesapla(YTLHesaplama& out) {
    const IncomeTax tax = GelirVergisi(OrZero(GM), OrZero(GM2), table(), ParseNumber(O[5]));
    for (size_t k = 0; k < 6; ++k) {
        if (static_cast<int>(k) + 1 < tax.startBracket) {
            HM[k] = "0";
        } else if (auto s = NumberText(tax.slice[k])) {
            HM[k] = *s;
        }
    }
    if (auto s = NumberText(tax.total)) out.GVK = *s;
}

} // namespace pamerol
