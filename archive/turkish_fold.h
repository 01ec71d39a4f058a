// SPDX-License-Identifier: GPL-3.0-or-later
// Folding a UTF-8 text for a search. Two folds: the Turkish one, in which "I" matches "ı" and "İ" matches
// "i" without regard to letter case, and the plain one, in which every letter is reduced to its plain base
// letter ("ş" and "s", "ı" and "i" match), for names typed on a keyboard without Turkish letters or taken
// from another system's export in plain capitals. A search matches by the plain fold and lists the
// matches of the Turkish fold first.
#pragma once

#include <string>
#include <string_view>

namespace pamerol {

// The Turkish fold: Turkish lower case ("I" -> "ı", "İ" -> "i", "Ç" -> "ç", "Ğ" -> "ğ", "Ö" -> "ö",
// "Ş" -> "ş", "Ü" -> "ü", other ASCII and Latin-1 capitals to their small letters), "â", "î", "û" (and
// their capitals) to "a", "i", "u". A letter written as a base letter and a combining mark (as some
// systems store them) is taken as the one letter: "I" or "i" with a combining dot above is "i", "c" and
// "s" with a cedilla are "ç" and "ş", "g" with a breve "ğ", "o" and "u" with a diaeresis "ö" and "ü".
// Everything else, invalid bytes included, stays as it is.
std::string TurkishFold(std::string_view utf8);

// The plain fold: lower case, and every Turkish and Latin-1 letter to its plain base letter (ç -> c,
// ğ -> g, ı, I, İ, i -> i, ö -> o, ş -> s, ü -> u, â -> a, î -> i, û -> u, é -> e, ...); combining marks
// are dropped. Everything else, invalid bytes included, stays as it is.
std::string PlainFold(std::string_view utf8);

} // namespace pamerol
