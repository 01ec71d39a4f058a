// SPDX-License-Identifier: GPL-3.0-or-later
// Random texts in every figure of a case, calculated as a batch line is: besides crashes and sanitizer
// reports it checks that a calculation that completes has no negative payment and none larger than a
// paper can show, and that the payable amounts never exceed the gross ones.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/conversions.h"
#include "calc/compute.h"
#include "sheet/pamerol.h"

using namespace pamerol;

namespace {
class Silent : public Messages {
  public:
    void show(const std::string&, MessageIcon) override {}
};

// The figures a case is calculated with, and texts of the kinds a clerk or a script gives them.
constexpr Field kFigures[] = {Field::GTarih,  Field::CTarih, Field::DGUN, Field::TGUN, Field::DGVMAT,
                              Field::ESUCRET, Field::IUCRET, Field::DVOR, Field::KGN,  Field::TAV,
                              Field::O1,      Field::VD1,    Field::O2,   Field::VD2,  Field::DL1,
                              Field::DL2,     Field::DL3,    Field::DL4};

double Amount(const Record& r, Field f) {
    auto v = ParseNumber(r.text(f));
    if (!v) std::abort(); // a completed calculation wrote an amount it cannot read
    return *v;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Silent messages;
    Pamerol sheet(messages);
    Record& r = sheet.record();
    // Sensible figures first, so that most inputs calculate; the fuzzer then replaces some of them.
    for (auto [f, t] : {std::pair{Field::GTarih, "15.03.2004"},
                        {Field::CTarih, "14.09.2007"},
                        {Field::ESUCRET, "2.000,00"},
                        {Field::DVOR, "6,6"},
                        {Field::KGN, "30"},
                        {Field::TAV, "1960,69"},
                        {Field::O1, "15"},
                        {Field::VD1, "7500"},
                        {Field::O2, "20"},
                        {Field::VD2, "999999999"},
                        {Field::DL1, "14"},
                        {Field::DL2, "28"},
                        {Field::DL3, "42"},
                        {Field::DL4, "56"}})
        r.write(f, t);
    std::string text;
    for (size_t i = 0; i < size;) {
        const Field f = kFigures[data[i++] % std::size(kFigures)];
        text.clear();
        while (i < size && data[i] != '\n' && text.size() < 40) text += static_cast<char>(data[i++]);
        ++i;
        r.write(f, text);
    }
    if (data[0] % 4 == 0) r.setMode(Mode::PremiumDays);
    sheet.hesapla();
    if (!r.command3Enabled()) return 0;
    for (Field f : {Field::BITZM, Field::IDVER, Field::IGVER, Field::ITAZM}) {
        const double v = Amount(r, f);
        if (v < 0 || v > kMaxAmount) std::abort();
    }
    if (Amount(r, Field::ITAZM) > Amount(r, Field::BITZM)) std::abort();
    if (!r.text(Field::NET).empty()) {
        const double net = Amount(r, Field::NET), gross = Amount(r, Field::BKTAZ);
        if (net < 0 || gross > kMaxAmount || net > gross) std::abort();
    }
    return 0;
}
