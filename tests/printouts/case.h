// SPDX-License-Identifier: GPL-3.0-or-later
// A calculated case for the printout tests: the figures of the first half of 2007, an employee of three and a
// half years with a wage of 2.000,00, and particulars with leading zeros.
#pragma once

#include "calc/hesapla.h"
#include "tests/common/figures2007.h"

namespace pamerol::testing {

inline Record CalculatedCase() {
    using F = Field;
    Record r;
    const std::pair<F, const char*> texts[] = {
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
    Put2007(r, Half2007::First);
    for (auto [f, t] : texts) r.write(f, t);
    RecordedMessages messages;
    Hesapla(r, messages);
    return r;
}

} // namespace pamerol::testing
