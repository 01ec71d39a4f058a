// SPDX-License-Identifier: GPL-3.0-or-later
// What the companion tells a program that runs it: the exit statuses of every run, and the lines of a run
// of a table of employees under --ilerleme. The window's "Toplu Hesap" runs the companion as a process of
// its own and reads its standard output through this header; the companion writes it through the same.
//
// Under --ilerleme the standard output holds JSON lines only, one object a line:
//   {"ilerleme":{"bitti":3,"toplam":250,"ad":"Ayşe Yılmaz"}}   as each row is done (papers included)
//   {"ozet":{"durum":0,"toplam":250,"hesaplanan":249,...}}      once, after the results table is written
// The summary line is the last; a run that wrote no results table ends without it, the reason on standard
// error. Without --ilerleme the companion writes the summary for a person: "label: value" lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tablo_yaz.h"

namespace pamerol {

// The companion's exit statuses, from the least to the most serious but for the warning, which ranks
// between the first two.
// 0: calculated (or the settings loaded and written).
inline constexpr int kStatusOk = 0;
// 1: a case or a row not calculated, a file not written, a run stopped.
inline constexpr int kStatusRefused = 1;
// 2: an unknown field, a wrong argument, an input or output that cannot be used: nothing computed.
inline constexpr int kStatusUsage = 2;
// 3: calculated, with a legal figure that differs from the law of the exit date (or that the table lacks
// for it).
inline constexpr int kStatusWarning = 3;

// The more serious of two exit statuses: 0 < 3 (a warning) < 1 (refused) < 2 (misused).
int WorseStatus(int a, int b);

// A row done: how many are done, of how many, and the name of the last one.
struct TopluIlerleme {
    size_t bitti = 0;
    size_t toplam = 0;
    std::string ad;
};

// What a run of a table came to.
struct TopluSonuc {
    int durum = kStatusOk;                   // the exit status
    size_t toplam = 0;                       // the rows with text in the table
    size_t hesaplanan = 0;                   // rows calculated
    size_t hesaplanamayan = 0;               // rows written with their reason in "Hata"
    size_t uyarili = 0;                      // rows with a legal figure that is not the law of the date
    bool durduruldu = false;                 // stopped before the last row; the rows done are written
    std::string sonucTablosu;                // the results table written; empty when none was
    size_t dokum = 0;                        // papers stored as PDFs
    size_t yazilamayanDokum = 0;             // papers that could not be stored
    std::vector<std::string> birlesikPdfler; // the combined PDFs written, one per paper
    size_t arsivlenen = 0;                   // cases stored in the archive
    Ozet ozet;                               // the summary as a clerk reads it, line by line
};

// The progress line, line feed included.
std::string IlerlemeSatiri(const TopluIlerleme& ilerleme);
// The progress in a line of the companion's output; nothing when the line is no progress line.
std::optional<TopluIlerleme> IlerlemeOku(std::string_view line);

// The summary line, line feed included.
std::string OzetSatiri(const TopluSonuc& sonuc);
// The summary in a line of the companion's output; nothing when the line is no summary line.
std::optional<TopluSonuc> OzetOku(std::string_view line);

} // namespace pamerol
