// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/yaziyla.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pamerol {

namespace {

// Each word as it begins a written word and as it continues one ("Üç", "üç").
struct Word {
    std::string_view first, joined;
};
constexpr Word kOnes[] = {{"", ""},           {"Bir", "bir"},    {"İki", "iki"},   {"Üç", "üç"},
                          {"Dört", "dört"},   {"Beş", "beş"},    {"Altı", "altı"}, {"Yedi", "yedi"},
                          {"Sekiz", "sekiz"}, {"Dokuz", "dokuz"}};
constexpr Word kTens[] = {
    {"", ""},         {"On", "on"},         {"Yirmi", "yirmi"},   {"Otuz", "otuz"},     {"Kırk", "kırk"},
    {"Elli", "elli"}, {"Altmış", "altmış"}, {"Yetmiş", "yetmiş"}, {"Seksen", "seksen"}, {"Doksan", "doksan"}};
constexpr std::string_view kScales[] = {"", "Bin", "Milyon", "Milyar"};

// The parts of a number below a thousand: hundreds ("Altıyüz", "Yüz"), tens, units.
std::vector<Word> Parts(int n) {
    static const std::string hundreds[] = {"",       "Yüz",     "İkiyüz",  "Üçyüz",    "Dörtyüz",
                                           "Beşyüz", "Altıyüz", "Yediyüz", "Sekizyüz", "Dokuzyüz"};
    static const std::string joinedHundreds[] = {"",       "yüz",     "ikiyüz",  "üçyüz",    "dörtyüz",
                                                 "beşyüz", "altıyüz", "yediyüz", "sekizyüz", "dokuzyüz"};
    std::vector<Word> out;
    if (n / 100) out.push_back({hundreds[n / 100], joinedHundreds[n / 100]});
    if (n / 10 % 10) out.push_back(kTens[n / 10 % 10]);
    if (n % 10) out.push_back(kOnes[n % 10]);
    return out;
}

// Words apart: "Altıyüz On Bir".
std::string Apart(int n) {
    std::string out;
    for (const Word& w : Parts(n)) out += (out.empty() ? "" : " ") + std::string(w.first);
    return out;
}

// One word: "Altıyüzonüç".
std::string Joined(int n) {
    std::string out;
    for (const Word& w : Parts(n)) out += std::string(out.empty() ? w.first : w.joined);
    return out;
}

std::string Lira(std::int64_t n) {
    if (n == 0) return "Sıfır";
    std::vector<int> groups; // lowest first
    for (; n > 0; n /= 1000) groups.push_back(static_cast<int>(n % 1000));
    std::string out;
    for (size_t i = groups.size(); i-- > 0;) {
        const int g = groups[i];
        if (g == 0) continue;
        std::string words;
        if (i == 0)
            words = Apart(g);
        else if (i == 1 && g == 1)
            words = "Bin"; // one thousand is "Bin", never "Bir Bin"
        else
            words = Joined(g) + " " + std::string(kScales[i]);
        out += (out.empty() ? "" : " ") + words;
    }
    return out;
}

} // namespace

std::string TutarYaziyla(double amount, bool yeniLira) {
    if (!std::isfinite(amount)) return {};
    const double cents = std::round(std::fabs(amount) * 100);
    if (cents >= 1e14) return {}; // a trillion or more
    const auto all = static_cast<std::int64_t>(cents);
    const std::int64_t lira = all / 100;
    const int kurus = static_cast<int>(all % 100);
    const std::string yeni = yeniLira ? "Yeni " : "";
    std::string out = all > 0 && amount < 0 ? "Eksi " : "";
    if (lira > 0 || kurus == 0) out += Lira(lira) + " " + yeni + "Türk Lirası";
    if (kurus > 0) out += (lira > 0 ? " " : "") + Apart(kurus) + " " + yeni + "Kuruş";
    return out;
}

} // namespace pamerol
