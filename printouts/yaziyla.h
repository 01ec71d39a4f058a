// SPDX-License-Identifier: GPL-3.0-or-later
// An amount written out in Turkish words, as payment papers give it below the figure ("Yalnız: ...").
#pragma once

#include <string>

namespace pamerol {

// The amount in words with its currency: "Onüç Bin Altıyüz On Bir Türk Lirası Yirmi İki Kuruş" for
// 13.611,22; with yeniLira, "Yeni Türk Lirası" and "Yeni Kuruş" (the names of the currency before 2009).
// Rounded to the kuruş. A group of three digits before "Bin", "Milyon" or "Milyar" is written as one word
// ("Onüç Bin", "Dokuzyüzdoksandokuz Milyon"); one thousand is "Bin". The last group and the kuruş keep
// their tens and units apart ("Altıyüz On Bir"). No lira and no kuruş: "Sıfır Türk Lirası"; lira without
// kuruş and kuruş without lira leave the other out. A negative amount begins with "Eksi"; an amount that
// is not finite or beyond a trillion gives an empty text.
std::string TutarYaziyla(double amount, bool yeniLira);

} // namespace pamerol
