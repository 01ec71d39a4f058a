// SPDX-License-Identifier: GPL-3.0-or-later
// What the release letter (ibraname) must meet before it is printed. A release is absolutely void unless
// it is written at least one month after the contract ended, names the kind and the amount of each claim
// it releases, and the payment was made through a bank (TBK m. 420). The window, the companion and the
// batch ask the same questions here: a letter that fails the month is refused (the window asks, "Hayır"
// first), one that lacks the bank's particulars or holds a blanket release is printed with a warning.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/compute.h"
#include "calc/record.h"

namespace pamerol {

// The law's word on a letter dated within a month of the end of employment.
inline constexpr std::string_view kIbranameBirAyHukmu =
    "TBK m. 420 uyarınca fesihten itibaren bir ay geçmeden düzenlenen ibraname kesin olarak hükümsüzdür.";

// The release letter's date as YYYYMMDD: the date typed in "İbraname Tarihi", else `today`.
int IbranameTarihi(const Record& r, int today);

// The day a letter may first be dated: one month after the exit (the same day of the next month, or that
// month's last day).
int IbranameIlkTarih(int exit);

// Why the letter cannot be printed as it stands: the entry or exit date is missing (the month is
// counted from the exit, and a letter without the period of service names no claim), or its date is
// less than one month after the exit (kIbranameBirAyHukmu, with both dates). Nothing when it may be.
struct IbranameEngeli {
    std::string neden;
    bool birAy = false; // the month: the window may print it once the clerk says so
};
std::optional<IbranameEngeli> IbranameEngeliVar(const Record& r, int today);

// A further payment the letter itemises, as the clerk typed it in "Diğer Ödemeler": its kind and its net
// amount ("Son ay ücreti: 12.345,67", one a line; the amount after the last ":" or tab).
struct EkOdeme {
    std::string tur;
    Kurus kurus = 0;
};
struct EkOdemeler {
    std::vector<EkOdeme> satirlar;
    std::vector<std::string> okunamayan; // the lines that name no kind or no amount, as typed
};
EkOdemeler EkOdemeleriOku(const std::string& text);

// What the letter lacks or holds that the law does not accept, each in a sentence for the clerk: the
// payment date, bank or IBAN missing, an IBAN that fails its check, a blanket release in the text, a
// further payment that cannot be read. Empty when there is nothing to say.
std::vector<std::string> IbranameUyarilari(const Record& r);

// The letter's sentence on how the payments were made: "Yukarıdaki tutarların her biri 15.11.2026
// tarihinde ... nezdindeki TR.. IBAN numaralı hesabıma ödenmiştir."; empty when the date, the bank or the
// IBAN is missing.
std::string OdemeBeyani(const Record& r);

// The phrases of a blanket release found in a letter's text (as the law's reason names them), in the
// order of the list; empty when there are none.
std::vector<std::string> GenelIbraIfadeleri(const std::string& text);

} // namespace pamerol
