// SPDX-License-Identifier: GPL-3.0-or-later
#include "pamerol.h"

#include <algorithm>
#include <array>

#include "base/conversions.h"
#include "calc/hesapla.h"
#include "sheet/ayarlar.h"

namespace pamerol {

namespace {

using F = Field;

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

// A legal figure of the "Sabitler" tab.
bool IsFigure(F f) {
    return Info(f).tab == Tab::Sabitler;
}

constexpr char32_t kBackspace = 8;
constexpr char32_t kEnter = 13;

} // namespace

Pamerol::Pamerol(Messages& messages) : messages_(messages) {
    installRules();
}

void Pamerol::installRules() {
    Record& r = record_;
    auto dayTotal = [&r] {
        const auto days = [&r](F f) { return ReadAmount(r.text(f), AmountForms::Leading).value_or(0); };
        const double sum = days(F::DGUN) + days(F::TGUN);
        if (auto t = NumberText(sum)) r.write(F::GGUN, *t);
        BOSALT(r);
    };
    r.setChangeRule(F::DGUN, dayTotal);
    r.setChangeRule(F::TGUN, dayTotal);

    // The wage total is the sum of the two amounts as they stand (an empty one counts as 0); while one of
    // them cannot be read the total is empty, so no figure is counted that the screen does not show.
    auto wageTotal = [&r] {
        const auto amount = [&r](F f) { return r.text(f).empty() ? std::optional<double>(0) : r.number(f); };
        const auto extra = amount(F::IUCRET), wage = amount(F::ESUCRET);
        std::optional<std::string> total;
        if (extra && wage) total = AmountText(*extra + *wage);
        r.write(F::TBRUT, total.value_or(std::string()));
        BOSALT(r);
    };
    r.setChangeRule(F::ESUCRET, wageTotal);
    r.setChangeRule(F::IUCRET, wageTotal);

    // Results on screen belong to the figures on screen: a change of any other calculation input, of a
    // settings figure the calculation uses, or of the mode, throws them away too. The particulars and the
    // release text are not figures.
    for (const FieldInfo& i : kFieldTable)
        if (i.clearsResults && !r.hasChangeRule(i.field)) r.setChangeRule(i.field, [&r] { BOSALT(r); });
    r.setModeRule([&r] { BOSALT(r); });
}

void Pamerol::start(const Places& places) {
    folder_ = places.resources;
    iniYolu_ = IniYolu(places.settings);
    record_.write(F::ESUCRET, "0");
    ayarlariOku();
}

void Pamerol::close() {
    ayarlariYaz();
}

void Pamerol::ayarlariOku() {
    AyarYukleme loaded = AyarlariOku(record_, iniYolu_);
    loaded_ = std::move(loaded.loaded);
    if (clerkFigures_) clerkFigures_ = SettingsOf(record_);
    if (loaded.error) messages_.show(*loaded.error, MessageIcon::None);
}

SettingTexts Pamerol::clerksSettings() const {
    SettingTexts texts = SettingsOf(record_);
    if (stored_)
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (texts[i] == stored_->shown[i]) texts[i] = stored_->clerks[i];
    if (clerkFigures_)
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (IsFigure(kSettingKeys[i].field)) texts[i] = (*clerkFigures_)[i];
    return texts;
}

void Pamerol::setYasalOtomatik(bool on) {
    if (on == otomatik_) return;
    otomatik_ = on;
    if (on) {
        holdClerkFigures();
        return;
    }
    putBackClerkFigures();
}

void Pamerol::holdClerkFigures() {
    if (!clerkFigures_) clerkFigures_ = clerksSettings();
}

void Pamerol::putBackClerkFigures() {
    if (!clerkFigures_) return;
    const SettingTexts clerks = *clerkFigures_;
    clerkFigures_.reset();
    elle_.clear();
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i)
        if (IsFigure(kSettingKeys[i].field)) record_.write(kSettingKeys[i].field, clerks[i]);
}

void Pamerol::typed(F f) {
    if (f == F::CTarih) elle_.clear(); // another exit date: another law
    if (otomatik_ && IsFigure(f) && !elleGirildi(f)) elle_.push_back(f);
}

bool Pamerol::elleGirildi(F f) const {
    return std::find(elle_.begin(), elle_.end(), f) != elle_.end();
}

void Pamerol::keepFiguresAsSettings() {
    const SettingTexts sheet = SettingsOf(record_);
    if (stored_)
        for (std::size_t i = 0; i < sheet.size(); ++i)
            if (IsFigure(kSettingKeys[i].field)) stored_->clerks[i] = stored_->shown[i] = sheet[i];
    if (otomatik_)
        clerkFigures_ = sheet;
    else
        clerkFigures_.reset();
}

void Pamerol::showStoredCase(const std::function<void(Record&)>& put) {
    const SettingTexts clerks = clerksSettings();
    put(record_);
    stored_ = StoredSettings{clerks, SettingsOf(record_)};
}

void Pamerol::putBackClerksSettings(bool figuresOnly) {
    if (!stored_) return;
    const SettingTexts clerks = clerksSettings();
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        const Field f = kSettingKeys[i].field;
        if (figuresOnly && !Info(f).clearsResults) continue;
        record_.write(f, clerks[i]);
        stored_->shown[i] = stored_->clerks[i] = clerks[i];
    }
    CopyBracketsToCalculator(record_);
    if (SettingsOf(record_) == clerks) stored_.reset();
}

bool Pamerol::ayarlariYaz() {
    if (auto saved = AyarlariYaz(clerksSettings(), iniYolu_, loaded_); !saved) {
        messages_.show(saved.error().message, MessageIcon::None);
        return false;
    }
    return true;
}

void Pamerol::hesapla(const std::function<void(Record&, FigureOrigins&)>& takeFigures, Messages* to,
                      FigureOrigins origins) {
    putBackClerksSettings(true);
    if (otomatik_ && clerkFigures_) {
        // The clerk's own figures first, so that a figure the law of the date lacks is the clerk's and
        // never one left from an earlier case.
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
            const F f = kSettingKeys[i].field;
            if (IsFigure(f) && !elleGirildi(f)) record_.write(f, (*clerkFigures_)[i]);
        }
        if (takeFigures) takeFigures(record_, origins);
        for (F f : elle_) origins[f] = {FigureOrigin::TypedForCase, {}, {}};
    }
    Hesapla(record_, to ? *to : messages_, origins);
}

void Pamerol::bosalt() {
    putBackClerksSettings(false);
    if (!otomatik_) putBackClerkFigures(); // fetched for the case that ends here
    elle_.clear();
    BOSALT(record_);
    record_.write(F::GTarih, std::string(kEmptyDate));
    record_.write(F::CTarih, std::string(kEmptyDate));
    for (F f : {F::DGUN, F::TGUN, F::GGUN, F::DGVMAT, F::ESUCRET, F::IUCRET, F::TBRUT, F::YIUCRET})
        record_.write(f, "0");
    BOSALT(record_);
}

void Pamerol::yeniPersonel() {
    bosalt();
    for (const FieldInfo& i : kFieldTable)
        if (i.tab == Tab::Personel) record_.write(i.field, std::string());
    record_.write(F::txtIbraname, std::string(kDefaultReleaseText));
    record_.setCheck1(1);
    record_.setCheck2(1);
}

std::string Pamerol::linkAddress(Link link) const {
    switch (link) {
    case Link::IsKanunu:
        return "https://www.mevzuat.gov.tr/mevzuat?MevzuatNo=4857&MevzuatTur=1&MevzuatTertip=5";
    case Link::Guncelleme: return FileUrl(folder_ + "/surum-notlari.html");
    case Link::Bilgi: return FileUrl(folder_ + "/bilgi.html");
    }
    return {};
}

void Pamerol::openLink(Link link, Desktop& desktop) const {
    desktop.openAddress(linkAddress(link));
}

bool Pamerol::acceptsKey(F f, char32_t ch, const std::string& currentText) {
    if (ch == kEnter && enterTarget(f)) return false;
    // No amount, day count or rate of the sheet is ever negative: a minus sign is a slip wherever it goes.
    const Kind kind = Info(f).kind;
    if (ch == U'-' && (kind == Kind::Amount || kind == Kind::DayCount || kind == Kind::Rate)) return false;
    switch (Info(f).filter) {
    case KeyFilter::Digits: return IsDigit(ch) || ch == kBackspace;
    case KeyFilter::DigitsAndComma:
        return IsDigit(ch) || ch == kBackspace || (ch == U',' && currentText.find(',') == std::string::npos);
    case KeyFilter::None: break;
    }
    return true;
}

std::optional<EnterTarget> Pamerol::enterTarget(F f) {
    return Info(f).enter;
}

int Pamerol::maxLength(F f) {
    return Info(f).maxLength;
}

bool Pamerol::readOnly(F f) {
    return Info(f).readOnly;
}

void Pamerol::format(F f, bool zeroWhenEmpty) {
    std::string text = ApplyAmountPattern(record_.text(f));
    if (zeroWhenEmpty && text.empty()) text = "0";
    // Formatting is no change of the clerk's: a stored case's figure stays the case's.
    if (stored_)
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i)
            if (kSettingKeys[i].field == f && stored_->shown[i] == record_.text(f)) stored_->shown[i] = text;
    record_.write(f, std::move(text));
}

bool Pamerol::focusIn(F f) {
    switch (Info(f).onFocus) {
    case OnFocus::Nothing: return false;
    case OnFocus::Select: return true;
    case OnFocus::FormatAndSelect: format(f, false); return true;
    case OnFocus::SelectFormatAndZero: format(f, true); return true;
    }
    return false;
}

void Pamerol::focusOut(F f) {
    switch (Info(f).onLeave) {
    case OnLeave::Nothing: break;
    case OnLeave::FormatAndZero: format(f, true); break;
    case OnLeave::SaveAndLoad:
        // Reload only what was saved: after a failed save the file still holds the old figures, and
        // loading them would throw away what the clerk has just typed. The calculator still takes the
        // bracket table on the sheet, as the reload would have given it.
        if (clerkFigures_ && !stored_) {
            // The figures on the sheet are the case's: only the clerk's own are saved, nothing reloaded.
            if (ayarlariYaz()) loaded_ = clerksSettings();
        } else if (stored_) {
            // A stored case's figures stand on the sheet: only the clerk's settings were saved, and a
            // reload would replace the case's figures. The file now holds the clerk's texts.
            if (ayarlariYaz()) loaded_ = stored_->clerks = clerksSettings();
            CopyBracketsToCalculator(record_);
        } else if (ayarlariYaz()) {
            ayarlariOku();
        } else {
            CopyBracketsToCalculator(record_);
        }
        break;
    }
}

} // namespace pamerol
