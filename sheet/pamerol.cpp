#include "pamerol.h"

#include <array>

#include "base/conversions.h"
#include "calc/hesapla.h"
#include "sheet/ayarlar.h"

namespace pamerol {

namespace {

using F = Field;

bool In(F f, std::initializer_list<F> set) {
    for (F s : set)
        if (s == f) return true;
    return false;
}

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
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
        const double sum = LeadingNumber(r.text(F::DGUN)) + LeadingNumber(r.text(F::TGUN));
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

    for (F f : {F::GTarih, F::CTarih, F::DGVMAT, F::GGUN, F::TBRUT}) r.setChangeRule(f, [&r] { BOSALT(r); });
    // Results on screen belong to the figures on screen: a change of a settings figure the calculation
    // uses, or of the mode, throws them away too. The particulars and the release text are not figures.
    for (F f : {F::DVOR, F::KGN, F::TAV, F::O1, F::O2, F::O3, F::O4, F::O5, F::VD1, F::VD2, F::VD3, F::VD4,
                F::VD5, F::DL1, F::DL2, F::DL3, F::DL4})
        r.setChangeRule(f, [&r] { BOSALT(r); });
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
    if (loaded.error) messages_.show(*loaded.error, MessageIcon::None);
}

bool Pamerol::ayarlariYaz() {
    if (auto error = AyarlariYaz(record_, iniYolu_, loaded_)) {
        messages_.show(*error, MessageIcon::None);
        return false;
    }
    return true;
}

void Pamerol::hesapla() {
    Hesapla(record_, messages_);
}

void Pamerol::bosalt() {
    BOSALT(record_);
    record_.write(F::GTarih, std::string(kEmptyDate));
    record_.write(F::CTarih, std::string(kEmptyDate));
    for (F f : {F::DGUN, F::TGUN, F::GGUN, F::DGVMAT, F::ESUCRET, F::IUCRET, F::TBRUT, F::YIUCRET})
        record_.write(f, "0");
    BOSALT(record_);
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
    if (In(f, {F::DGUN, F::TGUN})) return IsDigit(ch) || ch == kBackspace;
    if (In(f, {F::DGVMAT, F::ESUCRET, F::IUCRET, F::YIUCRET, F::TAV, F::VD1, F::VD2, F::VD3, F::VD4, F::VD5,
               F::VD6}))
        return IsDigit(ch) || ch == kBackspace || (ch == U',' && currentText.find(',') == std::string::npos);
    return true;
}

std::optional<EnterTarget> Pamerol::enterTarget(F f) {
    static const std::array<std::pair<F, F>, 25> chain = {{
        {F::GTarih, F::CTarih},  {F::CTarih, F::DGUN},    {F::DGUN, F::TGUN},      {F::TGUN, F::DGVMAT},
        {F::DGVMAT, F::ESUCRET}, {F::ESUCRET, F::IUCRET}, {F::IUCRET, F::YIUCRET}, {F::DVOR, F::KGN},
        {F::KGN, F::TAV},        {F::TAV, F::O1},         {F::O1, F::VD1},         {F::O2, F::VD2},
        {F::O3, F::VD3},         {F::O4, F::VD4},         {F::O5, F::VD5},         {F::O6, F::VD6},
        {F::VD1, F::O2},         {F::VD2, F::O3},         {F::VD3, F::O4},         {F::VD4, F::O5},
        {F::VD5, F::DL1},        {F::VD6, F::DL1},        {F::DL1, F::DL2},        {F::DL2, F::DL3},
        {F::DL3, F::DL4},
    }};
    if (f == F::YIUCRET) return EnterTarget{std::nullopt};
    for (auto [from, to] : chain)
        if (from == f) return EnterTarget{to};
    return std::nullopt;
}

int Pamerol::maxLength(F f) {
    return In(f, {F::DL1, F::DL2, F::DL3, F::DL4}) ? 3 : 0;
}

bool Pamerol::readOnly(F f) {
    return f == F::GGUN || f == F::TBRUT;
}

bool Pamerol::focusIn(F f) {
    if (In(f, {F::DGUN, F::TGUN, F::GTarih, F::CTarih})) return true;
    if (In(f, {F::ESUCRET, F::IUCRET, F::YIUCRET, F::BITZM})) {
        record_.write(f, ApplyAmountPattern(record_.text(f)));
        return true;
    }
    if (f == F::DGVMAT) {
        record_.write(f, ApplyAmountPattern(record_.text(f)));
        if (record_.text(f).empty()) record_.write(f, "0");
        return true;
    }
    return false;
}

void Pamerol::focusOut(F f) {
    if (In(f, {F::DGVMAT, F::ESUCRET, F::IUCRET, F::YIUCRET})) {
        record_.write(f, ApplyAmountPattern(record_.text(f)));
        if (record_.text(f).empty()) record_.write(f, "0");
    } else if (f == F::DVOR) {
        // Reload only what was saved: after a failed save the file still holds the old figures, and
        // loading them would throw away what the clerk has just typed. The calculator still takes the
        // bracket table on the sheet, as the reload would have given it.
        if (ayarlariYaz()) {
            ayarlariOku();
        } else {
            CopyBracketsToCalculator(record_);
        }
    }
}

} // namespace pamerol
