// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablo_oku.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "archive/turkish_fold.h"
#include "base/conversions.h"
#include "base/csv.h"
#include "calc/fesih.h"
#include "calc/fields.h"
#include "sheet/profile.h"

namespace pamerol {

namespace {

bool ValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80             ? 0
                         : (c & 0xE0) == 0xC0 ? 1
                         : (c & 0xF0) == 0xE0 ? 2
                         : (c & 0xF8) == 0xF0 ? 3
                                              : 4;
        if (n == 4 || s.size() - i <= n) return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n + 1;
    }
    return true;
}

// The usual names of the clerk's columns, reduced as BaslikAnahtari reduces them.
struct Takma {
    std::string_view anahtar;
    SutunEslesmesi::Tur tur;
    Field alan;
};
using T = SutunEslesmesi::Tur;
constexpr std::array kTakmalar{
    Takma{"adisoyadi", T::Alan, Field::txtAdiSoyadi},
    Takma{"adsoyad", T::Alan, Field::txtAdiSoyadi},
    Takma{"adsoyadi", T::Alan, Field::txtAdiSoyadi},
    Takma{"adisoyad", T::Alan, Field::txtAdiSoyadi},
    Takma{"isimsoyisim", T::Alan, Field::txtAdiSoyadi},
    Takma{"personel", T::Alan, Field::txtAdiSoyadi},
    Takma{"personeladisoyadi", T::Alan, Field::txtAdiSoyadi},
    Takma{"ad", T::Ad, Field::txtAdiSoyadi},
    Takma{"adi", T::Ad, Field::txtAdiSoyadi},
    Takma{"isim", T::Ad, Field::txtAdiSoyadi},
    Takma{"soyad", T::Soyad, Field::txtAdiSoyadi},
    Takma{"soyadi", T::Soyad, Field::txtAdiSoyadi},
    Takma{"soyisim", T::Soyad, Field::txtAdiSoyadi},
    Takma{"tckimlikno", T::Alan, Field::txtTcKNo},
    Takma{"tckimliknumarasi", T::Alan, Field::txtTcKNo},
    Takma{"tckn", T::Alan, Field::txtTcKNo},
    Takma{"tcno", T::Alan, Field::txtTcKNo},
    Takma{"kimlikno", T::Alan, Field::txtTcKNo},
    Takma{"sskno", T::Alan, Field::txtSSkNoPer},
    Takma{"sgkno", T::Alan, Field::txtSSkNoPer},
    Takma{"ssksicilno", T::Alan, Field::txtSSkNoPer},
    Takma{"sgksicilno", T::Alan, Field::txtSSkNoPer},
    Takma{"adres", T::Alan, Field::txtAdres},
    Takma{"adresi", T::Alan, Field::txtAdres},
    Takma{"giristarihi", T::Alan, Field::GTarih},
    Takma{"isegiristarihi", T::Alan, Field::GTarih},
    Takma{"isegiris", T::Alan, Field::GTarih},
    Takma{"cikistarihi", T::Alan, Field::CTarih},
    Takma{"istencikistarihi", T::Alan, Field::CTarih},
    Takma{"istencikis", T::Alan, Field::CTarih},
    Takma{"devredenprimgunu", T::Alan, Field::DGUN},
    Takma{"calistigitoplamgun", T::Alan, Field::TGUN},
    Takma{"calistigigun", T::Alan, Field::TGUN},
    Takma{"ensonbrutucret", T::Alan, Field::ESUCRET},
    Takma{"ensonbrutucreti", T::Alan, Field::ESUCRET},
    Takma{"brutucret", T::Alan, Field::ESUCRET},
    Takma{"ilaveucret", T::Alan, Field::IUCRET},
    Takma{"yillikizinucreti", T::Alan, Field::YIUCRET},
    Takma{"ensontoplamgvmatrahi", T::Alan, Field::DGVMAT},
    Takma{"ensontopgvmatrahi", T::Alan, Field::DGVMAT},
    Takma{"toplamgvmatrahi", T::Alan, Field::DGVMAT},
};

bool IsResult(Field f) {
    return std::find(kResultFields.begin(), kResultFields.end(), f) != kResultFields.end();
}

// The caption a clerk knows a required column by.
constexpr std::string_view kAdiSoyadi = "Adı Soyadı";

// A workbook's number and date cells come in their stored form (WorkbookAsCsv): a number without
// grouping and with all its decimals ("-25000,555"), a percentage as the percent it shows ("12,5%"), a
// date with a time of day as "31.12.2024 13:45:00". A text cell written the same way reads the same.
bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The digits after the decimal comma of a number in its stored form; nothing for any other text.
std::optional<size_t> StoredDecimals(std::string_view v) {
    if (v.starts_with('-')) v.remove_prefix(1);
    const size_t comma = v.find(',');
    if (!AllDigits(v.substr(0, comma))) return std::nullopt;
    if (comma == std::string_view::npos) return 0;
    if (!AllDigits(v.substr(comma + 1))) return std::nullopt;
    return v.size() - comma - 1;
}

// The day of a date cell with a time of day; the text itself for any other.
std::string_view StoredDay(std::string_view v) {
    const bool dateTime = v.size() == 19 && v[10] == ' ' && v[13] == ':' && v[16] == ':' &&
                          AllDigits(v.substr(11, 2)) && AllDigits(v.substr(14, 2)) && AllDigits(v.substr(17));
    return dateTime ? v.substr(0, 10) : v;
}

// Advice for a header that is one cell holding the column names with ";" or "," between them (a CSV
// pasted into a sheet's first column, or a CSV file saved under a workbook's name): the columns are to be
// split before the table can be read. Empty for any other header.
std::string TekHucreTavsiyesi(const std::vector<std::string>& basliklar) {
    const auto filled =
        std::count_if(basliklar.begin(), basliklar.end(), [](const auto& b) { return !b.empty(); });
    if (filled != 1) return {};
    const std::string& only =
        *std::find_if(basliklar.begin(), basliklar.end(), [](const auto& b) { return !b.empty(); });
    for (const char* sep : {";", ","})
        if (only.find(sep) != std::string::npos)
            return std::string("; sütunlar tek bir hücrede \"") + sep +
                   "\" ile ayrılmış olarak duruyor: tabloyu CSV olarak kaydedip o dosyayı seçin ya da hesap "
                   "tablosu programında bu sütunu \"Metni Sütunlara Dönüştür\" ile ayrı sütunlara bölün";
    return {};
}

} // namespace

std::string TemizMetin(std::string_view s, bool* changed) {
    std::string out;
    out.reserve(s.size());
    bool dropped = false;
    const auto replacement = [&] {
        out += "\xEF\xBF\xBD";
        dropped = true;
    };
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)
                dropped = true;
            else
                out += static_cast<char>(c);
            continue;
        }
        const size_t n = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        char32_t cp = n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        bool whole = n != 0 && i + n <= s.size();
        for (size_t k = 1; whole && k < n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            whole = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        if (!whole || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            replacement(); // one byte at a time: what follows is read afresh
            ++i;
            continue;
        }
        const bool control = cp >= 0x80 && cp <= 0x9F;
        const bool bidi = cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
                          (cp >= 0x2066 && cp <= 0x2069);
        const bool nonCharacter = (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE;
        if (control || bidi)
            dropped = true;
        else if (nonCharacter)
            replacement();
        else
            out.append(s.substr(i, n));
        i += n;
    }
    if (changed) *changed = dropped;
    return out;
}

std::string BaslikAnahtari(std::string_view baslik) {
    std::string out;
    for (char c : PlainFold(baslik))
        if (std::isalnum(static_cast<unsigned char>(c))) out += c;
    return out;
}

SutunEslesmesi BaslikEslesmesi(std::string_view baslik) {
    const std::string key = BaslikAnahtari(baslik);
    if (key.empty()) return {};
    for (const Takma& t : kTakmalar)
        if (t.anahtar == key) return {t.tur, t.alan};
    for (int i = 0; i < kFieldCount; ++i) {
        const auto f = static_cast<Field>(i);
        if (IsResult(f)) continue;
        if (BaslikAnahtari(FieldName(f)) == key) return {T::Alan, f};
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const auto f = static_cast<Field>(i);
        if (IsResult(f) || FieldCaption(f).empty()) continue;
        if (BaslikAnahtari(FieldCaption(f)) == key) return {T::Alan, f};
    }
    return {};
}

std::vector<std::vector<std::string>> CsvHucreleri(std::string_view text, char sep) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false, any = false;
    bool atStart = true; // nothing of the cell read yet: only here does a quote open a quoted cell
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool opens = atStart;
        atStart = false;
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"' && opens) {
            quoted = true;
            any = true;
        } else if (c == sep) {
            row.push_back(std::move(cell));
            cell.clear();
            any = true;
            atStart = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            row.push_back(std::move(cell));
            cell.clear();
            rows.push_back(std::move(row));
            row.clear();
            any = false;
            atStart = true;
        } else {
            cell += c;
            any = true;
        }
    }
    if (any || !cell.empty()) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

Expected<OkunanTablo> CsvTabloOku(std::string_view bytes, const OkumaSecenekleri& secenekler, bool kitaptan) {
    const auto fail = [](std::string why) { return Failure(std::move(why)); };
    if (bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4) ||
        bytes.substr(0, 4) == std::string_view("\xD0\xCF\x11\xE0", 4))
        return fail(
            "bir CSV dosyası değil (bir çalışma kitabı ya da sıkıştırılmış dosya); tabloyu CSV olarak "
            "kaydedip verin");
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        return fail("UTF-16 ile kaydedilmiş; tabloyu UTF-8 ya da Windows-1254 CSV olarak kaydedin");
    if (bytes.find('\0') != std::string_view::npos)
        return fail("bir tablo dosyası değil (ikili veri içeriyor)");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::string text = ValidUtf8(bytes) ? std::string(bytes) : Cp1254ToUtf8(bytes);

    // The separator: the one the first line with text holds most of outside quotes.
    OkunanTablo tablo;
    {
        size_t counts[3] = {0, 0, 0};
        // The separator is not known yet: a quote opens a quoted cell at the line's start or after any
        // of the three, and closes it unless doubled; elsewhere it is a plain character.
        bool quoted = false;
        const size_t start = std::min(text.find_first_not_of("\r\n \t"), text.size());
        const std::string_view line = std::string_view(text).substr(start);
        for (size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (quoted) {
                if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                    ++i;
                else if (c == '"')
                    quoted = false;
                continue;
            }
            if (c == '"' &&
                (i == 0 || std::string_view(";,\t").find(line[i - 1]) != std::string_view::npos)) {
                quoted = true;
                continue;
            }
            if (c == '\n' || c == '\r') break;
            counts[0] += c == ';';
            counts[1] += c == ',';
            counts[2] += c == '\t';
        }
        const char seps[3] = {';', ',', '\t'};
        tablo.ayirici = seps[std::max_element(counts, counts + 3) - counts];
    }
    auto rows = CsvHucreleri(text, tablo.ayirici);
    const auto blank = [](const std::vector<std::string>& row) {
        return std::all_of(row.begin(), row.end(),
                           [](const std::string& c) { return CellTrimmed(c).empty(); });
    };
    // Blank lines before the header do not count as rows.
    size_t first = 0;
    while (first < rows.size() && blank(rows[first])) ++first;
    if (first == rows.size()) return fail("dosya boş");

    for (const auto& cell : rows[first]) tablo.basliklar.emplace_back(TemizMetin(CellTrimmed(cell)));
    bool anyMatch = false;
    std::vector<bool> taken(kFieldCount + 2, false); // fields, then the first and the last name
    for (const auto& baslik : tablo.basliklar) {
        SutunEslesmesi e = BaslikEslesmesi(baslik);
        const size_t slot = e.tur == T::Ad      ? kFieldCount
                            : e.tur == T::Soyad ? kFieldCount + 1
                                                : static_cast<size_t>(e.alan);
        // A second column for the same field, and the exit date under a reference date, are not read.
        const bool ignored = e.tur == T::Alan && e.alan == Field::CTarih && secenekler.cikisTarihi;
        if (e.tur != T::Yok) anyMatch = true;
        tablo.kullanilmayanlar.push_back(ignored ? EslesmeBasligi(e) : std::string());
        if (e.tur == T::Yok || taken[slot] || ignored) {
            if (!ignored && !baslik.empty()) tablo.eslesmeyenler.push_back(baslik);
            e = {};
        } else {
            taken[slot] = true;
        }
        tablo.eslesmeler.push_back(e);
    }
    if (!anyMatch)
        return fail("ilk satırda sütun adları yok (başlık satırı bulunamadı; ilk satır \"Adı Soyadı\", "
                    "\"Giriş Tarihi\", ... gibi sütun adlarını taşımalı)" +
                    TekHucreTavsiyesi(tablo.basliklar));

    const auto has = [&](Field f) { return static_cast<bool>(taken[static_cast<size_t>(f)]); };
    std::vector<std::string> missing;
    if (!has(Field::txtAdiSoyadi) && !(taken[kFieldCount] && taken[kFieldCount + 1]))
        missing.emplace_back('"' + std::string(kAdiSoyadi) + "\" (ya da \"Ad\" ile \"Soyad\")");
    if (!has(Field::GTarih) && !has(Field::TGUN) && !has(Field::DGUN))
        missing.emplace_back("\"Giriş Tarihi\" (ya da \"Çalıştığı Toplam Gün\")");
    if (!has(Field::CTarih) && !secenekler.cikisTarihi) missing.emplace_back("\"Çıkış Tarihi\"");
    if (!has(Field::ESUCRET)) missing.emplace_back("\"En Son Brüt Ücret\"");
    if (!missing.empty()) {
        if (!secenekler.onizleme) return fail("gerekli sütun yok: " + Joined(missing, ", "));
        tablo.eksik = "gerekli sütun yok: " + Joined(missing, ", ");
    }

    for (size_t r = first + 1; r < rows.size(); ++r) {
        const auto& cells = rows[r];
        if (blank(cells)) {
            ++tablo.bosSatir;
            continue;
        }
        if (tablo.ornekler.size() < secenekler.onizleme) {
            std::vector<std::string> shown;
            for (const std::string& cell : cells) shown.push_back(TemizMetin(cell));
            tablo.ornekler.push_back(std::move(shown));
        }
        TabloSatiri satir;
        satir.satir = r - first + 1;
        std::vector<std::pair<Field, std::string>> values;
        std::string ad, soyad;
        std::vector<std::string> hatalar;
        for (size_t c = 0; c < tablo.eslesmeler.size() && c < cells.size(); ++c) {
            const SutunEslesmesi& e = tablo.eslesmeler[c];
            if (e.tur == T::Yok) continue;
            bool cleaned = false;
            const std::string value = TemizMetin(CellTrimmed(cells[c]), &cleaned);
            if (value.empty()) continue;
            satir.temizlendi = satir.temizlendi || cleaned;
            if (e.tur == T::Ad || e.tur == T::Soyad) {
                (e.tur == T::Ad ? ad : soyad) = value;
                continue;
            }
            const auto unreadable = [&] {
                hatalar.push_back(tablo.basliklar[c] + ": \"" + value + "\" okunamadı");
            };
            std::optional<std::string> text;
            switch (Info(e.alan).kind) {
            case Kind::Date:
                if (auto d = ReadDate(kitaptan ? StoredDay(value) : value, DateForms::Table))
                    text = DateText(*d);
                else
                    unreadable();
                break;
            case Kind::Amount:
                if (auto v = ReadAmount(value, AmountForms::Table); !v || !(text = AmountText(*v)))
                    unreadable();
                else if (kitaptan && StoredDecimals(value) > 2u)
                    satir.notlar.push_back(tablo.basliklar[c] + ": hücrede " + value +
                                           " kayıtlı; kuruşa yuvarlanarak " + *text + " alındı.");
                break;
            case Kind::Rate: {
                // A percentage cell holds the rate in percent, or in per mille times ten for the stamp
                // duty; the severance days are no rate of either.
                std::string_view number = value;
                double scale = 1;
                if (kitaptan && e.alan != Field::KGN && number.ends_with('%') &&
                    StoredDecimals(number.substr(0, number.size() - 1))) {
                    number.remove_suffix(1);
                    if (e.alan == Field::DVOR) scale = 10;
                }
                if (auto v = ReadAmount(number, AmountForms::Table); !v || !(text = NumberText(*v * scale)))
                    unreadable();
                break;
            }
            case Kind::DayCount:
                if (auto v = ReadAmount(value, AmountForms::Table);
                    !v || *v < 0 || *v != static_cast<double>(static_cast<long>(*v)))
                    unreadable();
                else
                    text = NumberText(*v);
                break;
            case Kind::Text:
            case Kind::MultiLineText: text = value; break;
            case Kind::Choice:
                // A termination reason by its code or its caption, kept as its code.
                if (const TerminationReason* reason = TerminationReasonOf(value))
                    text = std::string(reason->code);
                else
                    unreadable();
                break;
            }
            if (text) values.emplace_back(e.alan, std::move(*text));
        }
        if (!ad.empty() || !soyad.empty())
            values.emplace_back(Field::txtAdiSoyadi, ad.empty()      ? soyad
                                                     : soyad.empty() ? ad
                                                                     : ad + ' ' + soyad);
        if (secenekler.cikisTarihi) values.emplace_back(Field::CTarih, *secenekler.cikisTarihi);
        if (secenekler.ibranameTarihi && std::none_of(values.begin(), values.end(), [](const auto& v) {
                return v.first == Field::txtIbranameTarihi;
            }))
            values.emplace_back(Field::txtIbranameTarihi, *secenekler.ibranameTarihi);
        std::stable_sort(values.begin(), values.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        // Without an entry date, the service is counted from the premium days.
        const bool byDates =
            std::any_of(values.begin(), values.end(), [](const auto& v) { return v.first == Field::GTarih; });
        const bool byDays = std::any_of(values.begin(), values.end(), [](const auto& v) {
            return v.first == Field::TGUN || v.first == Field::DGUN;
        });
        satir.atamalar.emplace_back(!byDates && byDays ? "Option2" : "Option1", "1");
        for (auto& [f, text] : values)
            satir.atamalar.emplace_back(std::string(FieldName(f)), std::move(text));
        satir.hata = Joined(hatalar, "; ");
        tablo.satirlar.push_back(std::move(satir));
    }
    return tablo;
}

std::string EslesmeBasligi(const SutunEslesmesi& e) {
    switch (e.tur) {
    case T::Alan: return std::string(FieldCaption(e.alan));
    case T::Ad: return "Ad";
    case T::Soyad: return "Soyad";
    case T::Yok: break;
    }
    return {};
}

std::string Joined(const std::vector<std::string>& parts, std::string_view between) {
    std::string out;
    for (const auto& p : parts) {
        if (!out.empty()) out += between;
        out += p;
    }
    return out;
}

} // namespace pamerol
