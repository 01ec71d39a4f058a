// SPDX-License-Identifier: GPL-3.0-or-later
// Folding a UTF-8 text for a search as a Turkish clerk expects: "I" matches "ı" and "İ" matches "i",
// without regard to letter case, and the circumflex letters of loanwords match their plain letters.
#pragma once

#include <string>
#include <string_view>

namespace pamerol {

// The folded form: Turkish lower case ("I" -> "ı", "İ" -> "i", "Ç" -> "ç", "Ğ" -> "ğ", "Ö" -> "ö",
// "Ş" -> "ş", "Ü" -> "ü", other ASCII and Latin-1 capitals to their small letters), "â", "î", "û" (and
// their capitals) to "a", "i", "u", and a combining dot above after "i" dropped (the form "İ" takes under
// a lower-casing that does not know Turkish). Everything else, invalid bytes included, stays as it is.
std::string TurkishFold(std::string_view utf8);

} // namespace pamerol
