// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablo_yaz.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/conversions.h"
#include "base/csv.h"
#include "base/date.h"
#include "base/markup.h"
#include "calc/fields.h"
#include "printouts/kitap_gorunumu.h"

namespace pamerol {

const std::vector<Field>& SonucAlanlari() {
    using F = Field;
    static const std::vector<Field> fields = [] {
        std::vector<Field> out{F::txtAdiSoyadi, F::txtTcKNo, F::txtSSkNoPer, F::GTarih, F::CTarih,
                               F::DGUN,         F::TGUN,     F::GGUN,        F::DGVMAT, F::ESUCRET,
                               F::IUCRET,       F::TBRUT,    F::YIUCRET};
        // Both tabs' results.
        for (Field f : kResultFields)
            if (Info(f).result.shows & kInResultsTable) out.push_back(f);
        // The figures used.
        out.insert(out.end(), {F::TAV, F::DVOR, F::KGN, F::DL1, F::DL2, F::DL3, F::DL4});
        return out;
    }();
    return fields;
}

const std::vector<Field>& ToplananAlanlar() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> out;
        for (Field f : kResultFields)
            if (Info(f).result.shows & kTotalled) out.push_back(f);
        return out;
    }();
    return fields;
}

std::vector<std::string> SonucBasliklari() {
    std::vector<std::string> titles{"Sıra"};
    for (Field f : SonucAlanlari()) titles.emplace_back(ColumnLabel(f));
    titles.emplace_back("Uyarı");
    titles.emplace_back("Hata");
    return titles;
}

std::string Toplam(const std::vector<SonucSatiri>& satirlar, Field f) {
    // Whole kuruş, so that the sum is exact whatever the number of rows.
    long long kurus = 0;
    for (const SonucSatiri& s : satirlar) {
        if (!s.hesaplandi) continue;
        const ResultInfo& info = Info(f).result;
        if (!s.sonuc || !info.kurus || (info.severanceOnly && !s.sonuc->entitled)) continue;
        kurus += *s.sonuc.*info.kurus;
    }
    return KurusText(kurus);
}

std::string CsvHucresi(std::string_view text) {
    return CsvCell(text);
}

std::string SonucCsv(const std::vector<SonucSatiri>& satirlar) {
    std::string out = "\xEF\xBB\xBF";
    const auto line = [&](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) out += ';';
            out += CsvHucresi(cells[i]);
        }
        out += "\r\n";
    };
    line(SonucBasliklari());
    const auto& results = kResultFields;
    for (const SonucSatiri& s : satirlar) {
        std::vector<std::string> cells{std::to_string(s.sira)};
        for (Field f : SonucAlanlari()) {
            const bool result = std::find(results.begin(), results.end(), f) != results.end();
            cells.push_back(result && !s.hesaplandi ? std::string() : s.alan[static_cast<size_t>(f)]);
        }
        cells.push_back(s.uyari);
        cells.push_back(s.hata);
        line(cells);
    }
    std::vector<std::string> totals{"TOPLAM"};
    const auto& summed = ToplananAlanlar();
    for (Field f : SonucAlanlari())
        totals.push_back(std::find(summed.begin(), summed.end(), f) != summed.end() ? Toplam(satirlar, f)
                                                                                    : std::string());
    totals.emplace_back();
    totals.emplace_back();
    line(totals);
    return out;
}

} // namespace pamerol

namespace pamerol {

namespace {

// "A", ..., "Z", "AA", ... for a column counted from 0.
std::string ColumnLetters(size_t column) {
    std::string letters;
    for (size_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters;
}

// How many characters a UTF-8 text shows.
size_t Width(std::string_view text) {
    size_t n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string TextCell(std::string_view text, const char* style = nullptr) {
    if (text.empty()) return "<table:table-cell/>";
    std::string cell = "<table:table-cell";
    if (style) cell += std::string(" table:style-name=\"") + style + '"';
    return cell + " office:value-type=\"string\"><text:p>" + MarkupText(text, ControlCharacters::LeftOut) +
           "</text:p></table:table-cell>";
}

std::string NumberCell(double value, const char* style) {
    char number[40];
    std::snprintf(number, sizeof number, "%.15g", value);
    std::string cell = "<table:table-cell";
    if (style) cell += std::string(" table:style-name=\"") + style + '"';
    return cell + " office:value-type=\"float\" office:value=\"" + number + "\"/>";
}

// A cell of a field's text: a number, a date or a text as the field's kind says; a text that does not
// read as its kind stays a text.
std::string FieldCell(Field f, const std::string& text) {
    if (text.empty()) return "<table:table-cell/>";
    const Kind kind = Info(f).kind;
    if (kind == Kind::Date) {
        if (auto d = ParseDate(text)) {
            char iso[40];
            std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", d->year, d->month, d->day);
            return std::string("<table:table-cell table:style-name=\"ceTarih\" office:value-type=\"date\" "
                               "office:date-value=\"") +
                   iso + "\"><text:p>" + text + "</text:p></table:table-cell>";
        }
    } else if (kind == Kind::Amount || kind == Kind::DayCount || kind == Kind::Rate) {
        if (auto v = ParseNumber(text)) return NumberCell(*v, kind == Kind::Amount ? "ceTutar" : nullptr);
    }
    return TextCell(text);
}

constexpr const char* kFodsHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
    "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" "
    "office:version=\"1.2\" "
    "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">\n";

// Amounts "12.345,67" and dates "31.12.2026" in Turkish, the header and the totals in bold.
constexpr const char* kFodsStyles =
    "<office:styles><style:default-style style:family=\"table-cell\"><style:text-properties "
    "fo:language=\"tr\" fo:country=\"TR\"/></style:default-style></office:styles>"
    "<office:automatic-styles>"
    "<number:number-style style:name=\"NTutar\" number:language=\"tr\" number:country=\"TR\"><number:number "
    "number:decimal-places=\"2\" number:min-decimal-places=\"2\" number:min-integer-digits=\"1\" "
    "number:grouping=\"true\"/></number:number-style>"
    "<number:date-style style:name=\"NTarih\" number:language=\"tr\" number:country=\"TR\"><number:day "
    "number:style=\"long\"/><number:text>.</number:text><number:month number:style=\"long\"/>"
    "<number:text>.</number:text><number:year number:style=\"long\"/></number:date-style>"
    "<style:style style:name=\"ceTutar\" style:family=\"table-cell\" style:data-style-name=\"NTutar\"/>"
    "<style:style style:name=\"ceTarih\" style:family=\"table-cell\" style:data-style-name=\"NTarih\"/>"
    "<style:style style:name=\"ceBaslik\" style:family=\"table-cell\"><style:text-properties "
    "fo:font-weight=\"bold\"/></style:style>"
    "<style:style style:name=\"ceToplam\" style:family=\"table-cell\" style:data-style-name=\"NTutar\">"
    "<style:text-properties fo:font-weight=\"bold\"/></style:style>";

} // namespace

std::string SonucFods(const std::vector<SonucSatiri>& satirlar, const Ozet& ozet) {
    const auto titles = SonucBasliklari();
    const auto& fields = SonucAlanlari();
    const auto& summed = ToplananAlanlar();
    const auto& results = kResultFields;
    const auto isResult = [&](Field f) {
        return std::find(results.begin(), results.end(), f) != results.end();
    };

    // The widest text of each column, for its width; an amount shows with its grouping.
    std::vector<size_t> widths(titles.size());
    for (size_t c = 0; c < titles.size(); ++c) widths[c] = Width(titles[c]);
    for (const SonucSatiri& s : satirlar) {
        widths[0] = std::max(widths[0], std::to_string(s.sira).size());
        for (size_t c = 0; c < fields.size(); ++c)
            widths[c + 1] = std::max(widths[c + 1], Width(s.alan[static_cast<size_t>(fields[c])]) + 1);
        widths[fields.size() + 1] = std::max(widths[fields.size() + 1], std::min<size_t>(Width(s.uyari), 60));
        widths[fields.size() + 2] = std::max(widths[fields.size() + 2], std::min<size_t>(Width(s.hata), 80));
    }
    for (size_t c = 0; c < fields.size(); ++c)
        if (std::find(summed.begin(), summed.end(), fields[c]) != summed.end())
            widths[c + 1] = std::max(widths[c + 1], Width(Toplam(satirlar, fields[c])) + 1);

    std::string xml = kFodsHead;
    xml += kFodsStyles;
    char width[48];
    for (size_t c = 0; c < widths.size(); ++c) {
        // About 0,22 cm a character at the default font, with a margin.
        std::snprintf(width, sizeof width, "%.2fcm", 0.5 + 0.22 * static_cast<double>(widths[c]));
        xml += "<style:style style:name=\"co" + std::to_string(c) +
               "\" style:family=\"table-column\"><style:table-column-properties style:column-width=\"" +
               width + "\"/></style:style>";
    }
    xml += "<style:style style:name=\"coOzet\" style:family=\"table-column\"><style:table-column-properties "
           "style:column-width=\"7cm\"/></style:style>";
    xml += "</office:automatic-styles>\n<office:body><office:spreadsheet>\n";

    xml += "<table:table table:name=\"" + MarkupText(kSonucSayfasi, ControlCharacters::LeftOut) + "\">";
    for (size_t c = 0; c < widths.size(); ++c)
        xml += "<table:table-column table:style-name=\"co" + std::to_string(c) + "\"/>";
    xml += "<table:table-header-rows><table:table-row>";
    for (const auto& t : titles) xml += TextCell(t, "ceBaslik");
    xml += "</table:table-row></table:table-header-rows>\n";
    for (const SonucSatiri& s : satirlar) {
        xml += "<table:table-row>" + NumberCell(static_cast<double>(s.sira), nullptr);
        for (Field f : fields)
            xml += isResult(f) && !s.hesaplandi ? std::string("<table:table-cell/>")
                                                : FieldCell(f, s.alan[static_cast<size_t>(f)]);
        xml += TextCell(s.uyari) + TextCell(s.hata) + "</table:table-row>\n";
    }
    // The totals: formulas over the rows, with the sum of the rows as their value until recalculated.
    xml += "<table:table-row>" + TextCell("TOPLAM", "ceBaslik");
    const size_t last = satirlar.size() + 1;
    for (size_t c = 0; c < fields.size(); ++c) {
        if (std::find(summed.begin(), summed.end(), fields[c]) == summed.end()) {
            xml += "<table:table-cell/>";
            continue;
        }
        const std::string column = ColumnLetters(c + 1);
        const double total = ParseNumber(Toplam(satirlar, fields[c])).value_or(0);
        char value[40];
        std::snprintf(value, sizeof value, "%.15g", total);
        xml += "<table:table-cell table:style-name=\"ceToplam\" table:formula=\"of:=SUM([." + column + "2:." +
               column + std::to_string(last) + "])\" office:value-type=\"float\" office:value=\"" + value +
               "\"/>";
    }
    xml += "</table:table-row>\n</table:table>\n";

    xml += "<table:table table:name=\"Özet\"><table:table-column table:style-name=\"coOzet\"/>"
           "<table:table-column table:style-name=\"coOzet\"/>";
    for (const auto& [label, value] : ozet)
        xml += "<table:table-row>" + TextCell(label, "ceBaslik") + TextCell(value) + "</table:table-row>\n";
    xml += "</table:table>\n</office:spreadsheet></office:body></office:document>\n";
    return xml;
}

} // namespace pamerol
