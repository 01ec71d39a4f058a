// SPDX-License-Identifier: GPL-3.0-or-later
// A calculated case for the printout tests: the figures of mid-2007, an employee of three and a half
// years with a wage of 2.000,00, and particulars with leading zeros.
#pragma once

#include "calc/hesapla.h"

namespace pamerol::testing {

inline Record CalculatedCase() {
    using F = Field;
    Record r;
    const std::pair<F, const char*> texts[] = {
        {F::DVOR, "6,6"},
        {F::KGN, "30"},
        {F::TAV, "1960,69"},
        {F::DL1, "14"},
        {F::DL2, "28"},
        {F::DL3, "42"},
        {F::DL4, "56"},
        {F::O1, "15"},
        {F::O2, "20"},
        {F::O3, "27"},
        {F::O4, "35"},
        {F::O5, "35"},
        {F::VD1, "7.500"},
        {F::VD2, "19.000"},
        {F::VD3, "43.000"},
        {F::VD4, "999.999.999"},
        {F::VD5, "999.999.999"},
        {F::txtUnvani, "Örnek Tekstil San. ve Tic. Ltd. Şti."},
        {F::txtSSkNoIsv, "2 1234 01 01 1234567 034 12 34 000"},
        {F::txtVergiDairesi, "Kadıköy"},
        {F::txtVergiNo, "0123456789"},
        {F::txtAdiSoyadi, "Ayşe Çağlar"},
        {F::txtSSkNoPer, "0340123456789"},
        {F::txtTcKNo, "01234567890"},
        {F::txtAdres, "Moda Cad. No: 5\r\nKadıköy / İstanbul"},
        {F::GTarih, "15.03.2004"},
        {F::CTarih, "14.09.2007"},
        {F::TBRUT, "2.000,00"},
        {F::YIUCRET, "1.234,56"},
    };
    for (auto [f, t] : texts) r.write(f, t);
    for (size_t i = 0; i < 5; ++i) {
        r.ytlHesap.O[i] = r.text(static_cast<F>(static_cast<size_t>(F::O1) + i));
        r.ytlHesap.VD[i] = r.text(static_cast<F>(static_cast<size_t>(F::VD1) + i));
    }
    RecordedMessages messages;
    Hesapla(r, messages);
    return r;
}

} // namespace pamerol::testing
