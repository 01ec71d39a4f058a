// SPDX-License-Identifier: GPL-3.0-or-later
// What the program knows about each field of the sheet, in one table: its kind, where the window shows it
// and under which caption, how it takes keys and the focus, where Enter goes from it, whether a change of
// it throws the results away, and for the settings fields their section and key in Pmrl.ini. The entry
// rules, the window, the settings load and save and the companion all read this table; a field's row is
// the one place to change what it is.
#pragma once

#include <array>
#include <limits>
#include <optional>
#include <string_view>

#include "calc/compute.h"
#include "calc/record.h"

namespace pamerol {

enum class Kind { Date, DayCount, Amount, Rate, Text, MultiLineText, Choice };

// Where the window shows a field: the always-visible upper area or one of the tabs.
enum class Tab { Upper, Kidem, Ihbar, Sabitler, Isveren, Personel, Izin };

// Which typed characters a field takes: any, digits only, or digits and one comma.
enum class KeyFilter { None, Digits, DigitsAndComma };

// What receiving the focus does: nothing; select the whole text; apply the amount pattern, then select;
// select, apply the amount pattern and make an empty text "0".
enum class OnFocus { Nothing, Select, FormatAndSelect, SelectFormatAndZero };

// What losing the focus does: nothing; apply the amount pattern and make an empty text "0"; save the
// settings and load them again.
enum class OnLeave { Nothing, FormatAndZero, SaveAndLoad };

// Where Enter moves the focus: another field, or the "&Hesapla" button (focused, not pressed).
struct EnterTarget {
    std::optional<Field> field; // empty: the button Command2
    bool operator==(const EnterTarget&) const = default;
};

// The longest settings text the settings file keeps, in characters as it is stored there (a line break and
// a backslash take two): a load cuts anything longer, so the window takes no more.
inline constexpr int kSettingTextMax = 254;

// How a result field's text follows from a calculation.
enum class ResultFormat {
    None,           // not a result field
    DayCount,       // a day count or a number of years or months, as the sheet writes numbers ("1275")
    Amount,         // an amount in kuruş, in the amount pattern ("6.862,42")
    NoticeBandDays, // the notice days of the band reached, as the band's field holds them
};

// Where a result field shows besides its tab, the companion's JSON and the archive (which hold every
// field): flags.
enum ResultShows : unsigned {
    kInStatement = 1u,    // the statement compares the sheet's text with the calculation's
    kInResultsTable = 2u, // a column of the results table of a whole table of employees
    kTotalled = 4u,       // added up in the results table's totals row
};

// A result field's row: what it is in a calculation, and its label where captions must be unique.
struct ResultInfo {
    ResultFormat format = ResultFormat::None;
    std::string_view label = {};      // unique among the columns of tables and exports
    double Result::*number = nullptr; // DayCount: the figure
    Kurus Result::*kurus = nullptr;   // Amount: the figure as shown
    bool severanceOnly = false;       // empty unless the severance is paid (Result::severancePaid)
    bool noticeOnly = false;          // empty unless the notice pay is paid (Result::noticePaid)
    unsigned shows = 0;               // ResultShows
};

struct FieldInfo {
    Field field;
    Kind kind = Kind::Text;
    Tab tab = Tab::Upper;
    std::string_view frame = {};   // the frame that holds it on its tab
    std::string_view caption = {}; // the label beside it; empty for the bracket rows and the release text
    bool readOnly = false;         // shown but never typed into (the two totals)
    bool hidden = false;           // never shown and never given the focus
    int maxLength = 0;             // characters; 0: no limit
    KeyFilter filter = KeyFilter::None;
    OnFocus onFocus = OnFocus::Nothing;
    OnLeave onLeave = OnLeave::Nothing;
    std::optional<EnterTarget> enter = std::nullopt; // nothing: Enter has no special meaning
    bool clearsResults = false;    // a change of its text empties the results (a calculation input or figure)
    std::string_view section = {}; // Pmrl.ini section and key of a settings field
    std::string_view key = {};
    ResultInfo result = {}; // for a result field: how the calculation gives its text
};

// The notice bands of the Labour Law (article 17), shortest service first: a service of less than
// upToMonths months (or of exactly upToMonths when upToIncluded) that the band before does not take
// earns the notice days of the band's field: under six months two weeks, from six up to and including
// eighteen months four weeks, up to and including thirty-six months six weeks, beyond that eight.
struct NoticeBand {
    double upToMonths;
    bool upToIncluded;
    Field field;
    std::string_view key;
    std::string_view caption;
    std::string_view service; // the service the band covers, in the clerk's words
};
inline constexpr std::array<NoticeBand, 4> kNoticeBands{{
    {6, false, Field::DL1, "0-6", "0-6 Ay İçin", "6 aydan az"},
    {18, true, Field::DL2, "7-18", "7-18 Ay İçin", "6 ay ile 18 ay arası (18 ay dahil)"},
    {36, true, Field::DL3, "19-36", "19-36 Ay İçin", "18 ayı aşan, 36 aya kadar (36 ay dahil)"},
    {std::numeric_limits<double>::infinity(), true, Field::DL4, "37", "37 Ay Üzeri İçin", "36 ayı aşan"},
}};

// The income-tax bracket rows on the "Sabitler" tab that the calculator takes: rate and upper limit.
struct BracketRow {
    Field rate;
    Field limit;
};
inline constexpr std::array<BracketRow, 5> kBracketRows{{
    {Field::O1, Field::VD1},
    {Field::O2, Field::VD2},
    {Field::O3, Field::VD3},
    {Field::O4, Field::VD4},
    {Field::O5, Field::VD5},
}};
static_assert(kBracketRows.size() == std::tuple_size_v<decltype(YTLHesap::VD)>);

namespace fields_detail {
using F = Field;
constexpr std::string_view kPrim = "Prim Günü", kUcret = "Ücret", kKidemGun = "Kıdem Gün Dökümü",
                           kKidemHesap = "Kıdem Tazminatı Hesabı", kIhbarGun = "İhbar Tazminatı Gün Dökümü",
                           kIhbarHesap = "İhbar Tazminatı Hesabı", kOranlar = "Oranlar",
                           kDilim = "GV Dilim. ve Oranları", kIhbar = "İhbar Tazminatı (Gün)",
                           kIsveren = "İşveren Bilgileri", kIzinGun = "İzin Bilgileri",
                           kIzinHesap = "İzin Ücreti Hesabı", kOdeme = "Ödeme Bilgileri";

constexpr FieldInfo Band(std::size_t i, std::optional<EnterTarget> enter) {
    return {.field = kNoticeBands[i].field,
            .kind = Kind::DayCount,
            .tab = Tab::Sabitler,
            .frame = kIhbar,
            .caption = kNoticeBands[i].caption,
            .maxLength = 3,
            .enter = enter,
            .clearsResults = true,
            .section = "IhbarTazminati",
            .key = kNoticeBands[i].key};
}
constexpr FieldInfo Rate(F f, F next, std::string_view key, bool hidden = false) {
    return {.field = f,
            .kind = Kind::Rate,
            .tab = Tab::Sabitler,
            .frame = kDilim,
            .hidden = hidden,
            .enter = EnterTarget{next},
            .clearsResults = !hidden,
            .section = hidden ? "" : "GV",
            .key = key};
}
constexpr FieldInfo Limit(F f, F next, std::string_view key, bool hidden = false) {
    return {.field = f,
            .kind = Kind::Amount,
            .tab = Tab::Sabitler,
            .frame = kDilim,
            .hidden = hidden,
            .filter = KeyFilter::DigitsAndComma,
            .enter = EnterTarget{next},
            .clearsResults = !hidden,
            .section = hidden ? "" : "GV",
            .key = key};
}
constexpr FieldInfo ResultField(F f, Tab tab, std::string_view frame, std::string_view caption,
                                ResultInfo result) {
    return {.field = f,
            .kind = result.format == ResultFormat::Amount ? Kind::Amount : Kind::DayCount,
            .tab = tab,
            .frame = frame,
            .caption = caption,
            .result = result};
}
constexpr ResultInfo Days(double Result::*number, std::string_view label = {}) {
    return {.format = ResultFormat::DayCount,
            .label = label,
            .number = number,
            .shows = kInStatement | kInResultsTable};
}
constexpr ResultInfo Money(Kurus Result::*kurus, std::string_view label = {}, bool severanceOnly = false,
                           bool noticeOnly = false) {
    return {.format = ResultFormat::Amount,
            .label = label,
            .kurus = kurus,
            .severanceOnly = severanceOnly,
            .noticeOnly = noticeOnly,
            .shows = kInStatement | kInResultsTable | kTotalled};
}
constexpr FieldInfo Employer(F f, Kind kind, std::string_view caption, std::string_view key) {
    return {.field = f,
            .kind = kind,
            .tab = Tab::Isveren,
            .frame = kIsveren,
            .caption = caption,
            .maxLength = kSettingTextMax,
            .section = "Isveren",
            .key = key};
}
constexpr FieldInfo Employee(F f, Kind kind, std::string_view caption) {
    return {.field = f, .kind = kind, .tab = Tab::Personel, .frame = "Personel", .caption = caption};
}
} // namespace fields_detail

// One row per field, in the record's order.
inline constexpr std::array<FieldInfo, kFieldCount> kFieldTable = [] {
    using namespace fields_detail;
    using K = Kind;
    using T = Tab;
    const auto to = [](F f) { return std::optional<EnterTarget>(EnterTarget{f}); };
    return std::array<FieldInfo, kFieldCount>{{
        {.field = F::GTarih,
         .kind = K::Date,
         .frame = "Personelin",
         .caption = "Giriş Tarihi",
         .onFocus = OnFocus::Select,
         .enter = to(F::CTarih),
         .clearsResults = true},
        {.field = F::CTarih,
         .kind = K::Date,
         .frame = "Personelin",
         .caption = "Çıkış Tarihi",
         .onFocus = OnFocus::Select,
         .enter = to(F::DGUN),
         .clearsResults = true},
        {.field = F::DGUN,
         .kind = K::DayCount,
         .frame = kPrim,
         .caption = "Devreden Prim Günü",
         .filter = KeyFilter::Digits,
         .onFocus = OnFocus::Select,
         .enter = to(F::TGUN),
         .clearsResults = true},
        {.field = F::TGUN,
         .kind = K::DayCount,
         .frame = kPrim,
         .caption = "Çalıştığı Toplam Gün",
         .filter = KeyFilter::Digits,
         .onFocus = OnFocus::Select,
         .enter = to(F::DGVMAT),
         .clearsResults = true},
        {.field = F::GGUN,
         .kind = K::DayCount,
         .frame = kPrim,
         .caption = "Toplam Gün",
         .readOnly = true,
         .clearsResults = true},
        {.field = F::DGVMAT,
         .kind = K::Amount,
         .frame = kPrim,
         .caption = "En Son Top. GV Matrahı",
         .filter = KeyFilter::DigitsAndComma,
         .onFocus = OnFocus::SelectFormatAndZero,
         .onLeave = OnLeave::FormatAndZero,
         .enter = to(F::ESUCRET),
         .clearsResults = true},
        {.field = F::ESUCRET,
         .kind = K::Amount,
         .frame = kUcret,
         .caption = "En Son Aylık Brüt Ücreti",
         .filter = KeyFilter::DigitsAndComma,
         .onFocus = OnFocus::FormatAndSelect,
         .onLeave = OnLeave::FormatAndZero,
         .enter = to(F::IUCRET),
         .clearsResults = true},
        {.field = F::IUCRET,
         .kind = K::Amount,
         .frame = kUcret,
         .caption = "İlave Ücret",
         .filter = KeyFilter::DigitsAndComma,
         .onFocus = OnFocus::FormatAndSelect,
         .onLeave = OnLeave::FormatAndZero,
         .enter = to(F::YIUCRET),
         .clearsResults = true},
        {.field = F::TBRUT,
         .kind = K::Amount,
         .frame = kUcret,
         .caption = "Brüt Ücret Toplam",
         .readOnly = true,
         .clearsResults = true},
        // A leave pay typed as an amount: its gross, when no leave days are given.
        {.field = F::YIUCRET,
         .kind = K::Amount,
         .frame = kUcret,
         .caption = "Yıllık İzin Ücreti",
         .filter = KeyFilter::DigitsAndComma,
         .onFocus = OnFocus::FormatAndSelect,
         .onLeave = OnLeave::FormatAndZero,
         .enter = EnterTarget{},
         .clearsResults = true},
        ResultField(F::TGUNU, T::Kidem, kKidemGun, "Toplam Gün", Days(&Result::tgunu, "Kıdem Toplam Gün")),
        ResultField(F::KYILI, T::Kidem, kKidemGun, "Kıdem Yılı", Days(&Result::kyili)),
        ResultField(F::KAYI, T::Kidem, kKidemGun, "Kıdem Ayı", Days(&Result::kayi)),
        ResultField(F::KGUNU, T::Kidem, kKidemGun, "Kıdem Günü", Days(&Result::kgunu)),
        ResultField(F::BKTAZ, T::Kidem, kKidemHesap, "Kıdem Tazminatı Tavan Hesabı",
                    Money(&Result::bktazKurus, {}, true)),
        ResultField(F::KGVER, T::Kidem, kKidemHesap, "Gelir Vergisi",
                    Money(&Result::kgverKurus, "Kıdem Gelir Vergisi", true)),
        ResultField(F::DVER, T::Kidem, kKidemHesap, "Damga Vergisi",
                    Money(&Result::dverKurus, "Kıdem Damga Vergisi", true)),
        ResultField(F::NET, T::Kidem, kKidemHesap, "Ödenecek Kıdem Tazminatı",
                    Money(&Result::netKurus, {}, true)),
        ResultField(F::TIGUNU, T::Ihbar, kIhbarGun, "Toplam Gün", Days(&Result::tigunu, "İhbar Toplam Gün")),
        ResultField(F::IAYI, T::Ihbar, kIhbarGun, "İhbar Ayı", Days(&Result::iayi)),
        ResultField(F::KIGUNU, T::Ihbar, kIhbarGun, "Artık Gün", Days(&Result::kigunu)),
        ResultField(F::HIGUNU, T::Ihbar, kIhbarGun, "Hak Ettiği İhbar Günü",
                    {.format = ResultFormat::NoticeBandDays, .shows = kInStatement | kInResultsTable}),
        {.field = F::BITZM,
         .kind = K::Amount,
         .tab = T::Ihbar,
         .frame = kIhbarHesap,
         .caption = "Brüt İhbar Tazminatı",
         .onFocus = OnFocus::FormatAndSelect,
         .result = Money(&Result::bitzmKurus, {}, false, true)},
        ResultField(F::IGVER, T::Ihbar, kIhbarHesap, "Gelir Vergisi",
                    Money(&Result::igverKurus, {}, false, true)),
        ResultField(F::IDVER, T::Ihbar, kIhbarHesap, "Damga Vergisi",
                    Money(&Result::idverKurus, "İhbar Damga Vergisi", false, true)),
        ResultField(F::ITAZM, T::Ihbar, kIhbarHesap, "Ödenecek İhbar Tazminatı",
                    Money(&Result::itazmKurus, {}, false, true)),
        {.field = F::DVOR,
         .kind = K::Rate,
         .tab = T::Sabitler,
         .frame = kOranlar,
         .caption = "Damga Vergisi Oranı (Binde)",
         .onLeave = OnLeave::SaveAndLoad,
         .enter = to(F::KGN),
         .clearsResults = true,
         .section = "Oranlar",
         .key = "Oran1"},
        {.field = F::KGN,
         .kind = K::Rate,
         .tab = T::Sabitler,
         .frame = kOranlar,
         .caption = "Kıdem Günü (1 Yıl İçin)",
         .enter = to(F::TAV),
         .clearsResults = true,
         .section = "Oranlar",
         .key = "Oran2"},
        {.field = F::TAV,
         .kind = K::Amount,
         .tab = T::Sabitler,
         .frame = kOranlar,
         .caption = "Kıdem Tazminatı Tavanı",
         .filter = KeyFilter::DigitsAndComma,
         .enter = to(F::O1),
         .clearsResults = true,
         .section = "Oranlar",
         .key = "Oran3"},
        Rate(F::O1, F::VD1, "Oran1"),
        Rate(F::O2, F::VD2, "Oran2"),
        Rate(F::O3, F::VD3, "Oran3"),
        Rate(F::O4, F::VD4, "Oran4"),
        Rate(F::O5, F::VD5, "Oran5"),
        Limit(F::VD1, F::O2, "Dilim1"),
        Limit(F::VD2, F::O3, "Dilim2"),
        Limit(F::VD3, F::O4, "Dilim3"),
        Limit(F::VD4, F::O5, "Dilim4"),
        Limit(F::VD5, kNoticeBands.front().field, "Dilim5"),
        Rate(F::O6, F::VD6, "", true),
        Limit(F::VD6, kNoticeBands.front().field, "", true),
        Band(0, to(kNoticeBands[1].field)),
        Band(1, to(kNoticeBands[2].field)),
        Band(2, to(kNoticeBands[3].field)),
        Band(3, std::nullopt),
        Employer(F::txtUnvani, K::MultiLineText, "Adı Soyadı Ünvanı", "Unvani"),
        Employer(F::txtSSkNoIsv, K::Text, "SSK No", "SSKNO"),
        Employer(F::txtAdresi, K::MultiLineText, "Adresi", "Adresi"),
        Employer(F::txtVergiDairesi, K::Text, "Vergi D.", "VDairesi"),
        Employer(F::txtVergiNo, K::Text, "Vergi No.", "VNo"),
        {.field = F::txtIbraname, .kind = K::MultiLineText, .tab = T::Isveren, .frame = "İbraname Metni"},
        Employee(F::txtAdiSoyadi, K::Text, "Adı Soyadı"),
        Employee(F::txtAdres, K::MultiLineText, "Adresi"),
        Employee(F::txtSSkNoPer, K::Text, "SSK No"),
        Employee(F::txtTcKNo, K::Text, "T.C. Kimlik No"),
        // The release letter's date; empty: the day it is printed.
        {.field = F::txtIbranameTarihi,
         .kind = K::Date,
         .tab = T::Personel,
         .frame = "Personel",
         .caption = "İbraname Tarihi",
         .onFocus = OnFocus::Select},
        // Why the employment ended: what is due follows from it (kTerminationReasons).
        {.field = F::FESIH,
         .kind = K::Choice,
         .tab = T::Personel,
         .frame = "Personel",
         .caption = "Fesih Nedeni",
         .clearsResults = true},
        // Unused annual leave, paid on termination (4857 m. 59).
        {.field = F::IZGUN,
         .kind = K::DayCount,
         .tab = T::Izin,
         .frame = kIzinGun,
         .caption = "Kullanılmayan İzin Günü",
         .maxLength = 3,
         .filter = KeyFilter::Digits,
         .onFocus = OnFocus::Select,
         .enter = to(F::AYSGKMAT),
         .clearsResults = true},
        {.field = F::AYSGKMAT,
         .kind = K::Amount,
         .tab = T::Izin,
         .frame = kIzinGun,
         .caption = "Bu Ayki SGK Matrahı",
         .filter = KeyFilter::DigitsAndComma,
         .onFocus = OnFocus::FormatAndSelect,
         .onLeave = OnLeave::FormatAndZero,
         .enter = EnterTarget{},
         .clearsResults = true},
        ResultField(F::IZBRUT, T::Izin, kIzinHesap, "Brüt İzin Ücreti", Money(&Result::izBrutKurus)),
        ResultField(F::IZSGK, T::Izin, kIzinHesap, "SGK İşçi Payı",
                    Money(&Result::izSgkKurus, "İzin SGK İşçi Payı")),
        ResultField(F::IZGVER, T::Izin, kIzinHesap, "Gelir Vergisi",
                    Money(&Result::izGverKurus, "İzin Gelir Vergisi")),
        ResultField(F::IZDVER, T::Izin, kIzinHesap, "Damga Vergisi",
                    Money(&Result::izDverKurus, "İzin Damga Vergisi")),
        ResultField(F::IZNET, T::Izin, kIzinHesap, "Ödenecek İzin Ücreti", Money(&Result::izNetKurus)),
        // The employee's social-security shares on the leave pay (5510 m. 81; 4447 m. 49) and the monthly
        // premium ceiling (5510 m. 82).
        {.field = F::SGKIO,
         .kind = K::Rate,
         .tab = T::Sabitler,
         .frame = kOranlar,
         .caption = "SGK İşçi Payı (%)",
         .enter = to(F::ISIO),
         .clearsResults = true,
         .section = "SGK",
         .key = "IsciPayi"},
        {.field = F::ISIO,
         .kind = K::Rate,
         .tab = T::Sabitler,
         .frame = kOranlar,
         .caption = "İşsizlik Sig. Payı (%)",
         .enter = to(F::PEKUST),
         .clearsResults = true,
         .section = "SGK",
         .key = "IssizlikPayi"},
        {.field = F::PEKUST,
         .kind = K::Amount,
         .tab = T::Sabitler,
         .frame = kOranlar,
         .caption = "SGK Tavanı",
         .filter = KeyFilter::DigitsAndComma,
         .enter = to(F::PEKUST),
         .clearsResults = true,
         .section = "SGK",
         .key = "UstSinir"},
        // How the payments were made: a release letter names the day and the account (TBK m. 420).
        {.field = F::txtOdemeTarihi,
         .kind = K::Date,
         .tab = T::Personel,
         .frame = kOdeme,
         .caption = "Ödeme Tarihi",
         .onFocus = OnFocus::Select},
        {.field = F::txtBanka, .kind = K::Text, .tab = T::Personel, .frame = kOdeme, .caption = "Banka"},
        {.field = F::txtIBAN, .kind = K::Text, .tab = T::Personel, .frame = kOdeme, .caption = "IBAN"},
        // Further payments the release letter itemises, one a line: "Son ay ücreti: 12.345,67" (net).
        {.field = F::txtEkOdemeler,
         .kind = K::MultiLineText,
         .tab = T::Personel,
         .frame = kOdeme,
         .caption = "Diğer Ödemeler"},
    }};
}();

constexpr const FieldInfo& Info(Field f) {
    return kFieldTable[static_cast<std::size_t>(f)];
}

// Every row stands at its field's place.
static_assert([] {
    for (int i = 0; i < kFieldCount; ++i)
        if (static_cast<int>(kFieldTable[static_cast<std::size_t>(i)].field) != i) return false;
    return true;
}());

// The settings fields (those with a key in Pmrl.ini), in the table's order: the order a save writes them.
inline constexpr std::size_t kSettingCount = [] {
    std::size_t n = 0;
    for (const FieldInfo& i : kFieldTable)
        if (!i.key.empty()) ++n;
    return n;
}();
inline constexpr std::array<Field, kSettingCount> kSettingFields = [] {
    std::array<Field, kSettingCount> out{};
    std::size_t n = 0;
    for (const FieldInfo& i : kFieldTable)
        if (!i.key.empty()) out[n++] = i.field;
    return out;
}();

// The legal figures: the settings fields of the "Sabitler" tab, which the calculation uses.
inline constexpr std::size_t kFigureCount = [] {
    std::size_t n = 0;
    for (Field f : kSettingFields)
        if (Info(f).tab == Tab::Sabitler) ++n;
    return n;
}();
inline constexpr std::array<Field, kFigureCount> kFigureFields = [] {
    std::array<Field, kFigureCount> out{};
    std::size_t n = 0;
    for (Field f : kSettingFields)
        if (Info(f).tab == Tab::Sabitler) out[n++] = f;
    return out;
}();

// The result fields, in the record's order: those a calculation writes and a change of its inputs empties.
inline constexpr std::size_t kResultCount = [] {
    std::size_t n = 0;
    for (const FieldInfo& i : kFieldTable)
        if (i.result.format != ResultFormat::None) ++n;
    return n;
}();
inline constexpr std::array<Field, kResultCount> kResultFields = [] {
    std::array<Field, kResultCount> out{};
    std::size_t n = 0;
    for (const FieldInfo& i : kFieldTable)
        if (i.result.format != ResultFormat::None) out[n++] = i.field;
    return out;
}();

// The name of a field in a table's header or an export, where every column must be told apart: the
// result field's label, else its caption.
constexpr std::string_view ColumnLabel(Field f) {
    return Info(f).result.label.empty() ? Info(f).caption : Info(f).result.label;
}

// The text a result field shows for a calculation: a day count as the sheet writes numbers, an amount in
// the amount pattern, the notice days as the band's field holds them (`bandText`); an amount is
// empty when the severance or the notice pay is not paid (Result::severancePaid, noticePaid).
std::string ResultText(Field f, const Result& x, std::string_view bandText);

} // namespace pamerol
