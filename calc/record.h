// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation sheet as a record: one text per field, the calculation mode, the two include flags and
// whether the printouts command is available. The window and the companion only mirror this record.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tax/gelir_vergisi.h"

namespace pamerol {

struct Hesap;

// What the table of legal figures says of the severance ceiling on a case's date, for a caller that has
// the table. Nothing of it when the table is not at hand: the ceiling used is all there is.
struct CeilingInForce {
    std::optional<double> value;     // the ceiling in force on the date; nothing: the table lacks the period
    std::optional<double> lastKnown; // then the last ceiling the table holds before the date
    std::string lastPeriod;          // its period, "01.01.2026 – 30.06.2026"
    std::string missingPeriod;       // the period the table lacks, "01.07.2026 – 31.12.2026"
};

// Every text field, in the order the record lists them (upper area, tabs from left to right).
// (Kept by hand: the formatter lays this list out differently on every run.)
// clang-format off
#define PAMEROL_FIELDS(X)                                                                                    \
    X(GTarih)                                                                                                \
    X(CTarih)                                                                                                \
    X(DGUN)                                                                                                  \
    X(TGUN)                                                                                                  \
    X(GGUN) X(DGVMAT) X(ESUCRET) X(IUCRET) X(TBRUT) X(YIUCRET) X(TGUNU) X(KYILI) X(KAYI) X(KGUNU) X(BKTAZ)   \
        X(KGVER) X(DVER) X(NET) X(TIGUNU) X(IAYI) X(KIGUNU) X(HIGUNU) X(BITZM) X(IGVER) X(IDVER) X(ITAZM) X(DVOR)     \
            X(KGN) X(TAV) X(O1) X(O2) X(O3) X(O4) X(O5) X(VD1) X(VD2) X(VD3) X(VD4) X(VD5) X(O6) X(VD6)      \
                X(DL1) X(DL2) X(DL3) X(DL4) X(txtUnvani) X(txtSSkNoIsv) X(txtAdresi) X(txtVergiDairesi)      \
                    X(txtVergiNo) X(txtIbraname) X(txtAdiSoyadi) X(txtAdres) X(txtSSkNoPer) X(txtTcKNo)     \
                        X(txtIbranameTarihi) X(FESIH) X(IZGUN) X(AYSGKMAT) X(IZBRUT) X(IZSGK) X(IZGVER)   \
                            X(IZDVER) X(IZNET) X(SGKIO) X(ISIO) X(PEKUST) X(txtOdemeTarihi) X(txtBanka) X(txtIBAN)   \
                                X(txtEkOdemeler)
// clang-format on

enum class Field : int {
#define PAMEROL_ENUM(name) name,
    PAMEROL_FIELDS(PAMEROL_ENUM)
#undef PAMEROL_ENUM
};

inline constexpr int kFieldCount = static_cast<int>(Field::txtEkOdemeler) + 1;

std::string_view FieldName(Field f);
// The caption the window shows beside the field ("En Son Aylık Brüt Ücreti"); empty for a field shown
// without one (the income-tax bracket rows, the release text).
std::string_view FieldCaption(Field f);
std::optional<Field> FieldByName(std::string_view name);

// 1: service length from the entry and exit dates; 2: from the premium days.
enum class Mode { Dates = 1, PremiumDays = 2 };

// The empty date mask.
inline constexpr std::string_view kEmptyDate = "__.__.____";

// The release text the sheet opens with (three lines, CR LF between them), and the one the releases
// before it opened with, which stored cases may hold.
extern const std::string_view kDefaultReleaseText;
extern const std::string_view kPreviousReleaseText;

class Record {
  public:
    Record();

    const std::string& text(Field f) const { return texts_[static_cast<size_t>(f)]; }

    // The text read with ParseNumber; remembered until the text changes, since a calculation reads the
    // same field many times.
    std::optional<double> number(Field f) const;

    // The one way to change a text. A write that changes the text shows it (observer) and then runs the
    // field's change rule at once; writing the text a field already holds runs nothing.
    void write(Field f, std::string text);

    using ChangeRule = std::function<void()>;
    void setChangeRule(Field f, ChangeRule rule) { rules_[static_cast<size_t>(f)] = std::move(rule); }
    bool hasChangeRule(Field f) const { return static_cast<bool>(rules_[static_cast<size_t>(f)]); }

    // The view's hook: called after a text or a state below has changed.
    using Observer = std::function<void(std::optional<Field>)>;
    void setObserver(Observer o) { observer_ = std::move(o); }

    Mode mode() const { return mode_; }
    // A change of mode runs the mode's change rule, as a changed text runs its field's.
    void setMode(Mode m);
    void setModeRule(ChangeRule rule) { modeRule_ = std::move(rule); }
    // Include flags: 0 not ticked, 1 ticked, 2 greyed.
    int check1() const { return check1_; }
    int check2() const { return check2_; }
    void setCheck1(int v);
    void setCheck2(int v);
    bool command3Enabled() const { return command3_; }
    void setCommand3Enabled(bool on);

    // The calculation whose results the sheet shows, typed, for everything that reads them (the papers,
    // the statement, the results table); null while no results are shown. BOSALT lets go of it.
    const Hesap* hesap() const { return hesap_.get(); }
    void setHesap(std::shared_ptr<const Hesap> hesap) { hesap_ = std::move(hesap); }

    // The table's word on the ceiling of the case's date, set by a caller that has the table before it
    // calculates (nothing: no table, or no date); a calculation reads it with the sheet's figures.
    std::optional<CeilingInForce> tavanTablosu;

    // Severance of one full year of service, kept between the two stages of a calculation.
    double yillikKidemTutari = 0;

    // The hidden income-tax calculator and its result store.
    YTLHesap ytlHesap;
    YTLHesaplama ytlHesaplama;

  private:
    void notify(std::optional<Field> f) {
        if (observer_) observer_(f);
    }
    std::array<std::string, kFieldCount> texts_;
    enum class Parsed : unsigned char { Unknown, Number, NotANumber };
    mutable std::array<Parsed, kFieldCount> parsed_{};
    mutable std::array<double, kFieldCount> numbers_{};
    std::array<ChangeRule, kFieldCount> rules_;
    ChangeRule modeRule_;
    Observer observer_;
    Mode mode_ = Mode::Dates;
    int check1_ = 1;
    int check2_ = 1;
    bool command3_ = false;
    std::shared_ptr<const Hesap> hesap_;
};

// Empties the result fields (kResultFields) and disables the printouts command.
void BOSALT(Record& r);

// Gives the income-tax calculator the sheet's bracket table (rates O1-O5, limits VD1-VD5).
void CopyBracketsToCalculator(Record& r);

} // namespace pamerol
