// SPDX-License-Identifier: GPL-3.0-or-later
// Random key sequences, focus changes and commands on the sheet's entry rules. Besides crashes and
// sanitizer reports it checks that the day total always follows its two inputs, that a key a field
// refuses never reaches it, and that a calculation never offers the printouts with a payable amount
// missing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/conversions.h"
#include "calc/hesapla.h"
#include "sheet/pamerol.h"

using namespace pamerol;

namespace {
class Silent : public Messages {
  public:
    void show(const std::string&, MessageIcon) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Silent messages;
    Pamerol sheet(messages);
    Record& r = sheet.record();
    r.write(Field::DL1, "14");
    r.write(Field::DVOR, "6");
    r.write(Field::KGN, "30");
    for (size_t i = 0; i + 2 < size; i += 3) {
        Field f = static_cast<Field>(data[i] % kFieldCount);
        char32_t key = data[i + 2] < 0x80 ? data[i + 2] : U'ş';
        switch (data[i + 1] % 8) {
        case 0:
        case 1:
        case 2: {
            if (Pamerol::readOnly(f) || !Pamerol::acceptsKey(f, key, r.text(f))) break;
            std::string t = r.text(f);
            if (key == 8) {
                if (!t.empty()) t.pop_back();
            } else if (key == U'ş') {
                t += "ş";
            } else {
                t += static_cast<char>(key);
            }
            if (int max = Pamerol::maxLength(f); max > 0 && static_cast<int>(t.size()) > max) break;
            r.write(f, t);
            break;
        }
        case 3: sheet.focusIn(f); break;
        case 4:
            if (f != Field::DVOR) sheet.focusOut(f);
            break;
        case 5:
            sheet.hesapla();
            // A calculation that offers the printouts shows every amount it found payable.
            if (r.command3Enabled()) {
                const Hesap* h = r.hesap();
                if (!h) std::abort();
                if (h->sonuc.noticePaid() && !ParseNumber(r.text(Field::ITAZM))) std::abort();
                if (!ParseNumber(r.text(Field::KYILI))) std::abort();
                if (h->sonuc.severancePaid() && !ParseNumber(r.text(Field::NET))) std::abort();
            }
            break;
        case 6: sheet.bosalt(); break;
        case 7: r.setMode(data[i + 2] & 1 ? Mode::Dates : Mode::PremiumDays); break;
        }
        // The day total always follows its inputs.
        const auto days = [&r](Field f) { return ReadAmount(r.text(f), AmountForms::Leading).value_or(0); };
        auto expected = NumberText(days(Field::DGUN) + days(Field::TGUN));
        if (expected && r.text(Field::GGUN) != *expected) std::abort();
        // The digit fields hold digits only.
        for (Field d : {Field::DGUN, Field::TGUN})
            for (char c : r.text(d))
                if (c < '0' || c > '9') std::abort();
    }
    return 0;
}
