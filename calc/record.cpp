// SPDX-License-Identifier: GPL-3.0-or-later
#include "record.h"

#include <algorithm>
#include <unordered_map>

#include "base/conversions.h"
#include "calc/fields.h"

namespace pamerol {

namespace {
constexpr std::array<std::string_view, kFieldCount> kNames = {
#define PAMEROL_NAME(name) #name,
    PAMEROL_FIELDS(PAMEROL_NAME)
#undef PAMEROL_NAME
};
} // namespace

// The standard release text releases only what the letter itemises below it, each claim by its kind and
// net amount, paid on the day and into the account the letter names (TBK m. 420).
const std::string_view kDefaultReleaseText =
    "          İşverenimle aramdaki iş sözleşmesinin sona ermesi nedeniyle bana ödenmesi gereken ve "
    "aşağıda türü ile net tutarı tek tek yazılı alacaklarımın tamamını, aşağıda yazılı tarihte banka "
    "hesabıma yapılan ödemeyle aldım.\r\n"
    "\r\n"
    "          Bu ibraname yalnız aşağıda türü ve tutarı yazılı alacakları kapsar; bunların dışında kalan "
    "hiçbir alacak için ibra sayılmaz. İbranameyi kendi isteğimle imzaladığımı ve bir suretini aldığımı "
    "beyan ederim.\r\n";

// The standard text of the releases before it, recognised in stored cases.
const std::string_view kPreviousReleaseText =
    "         İş aktimin feshi dolayısıyla ayrıldığım firmamdan işe giriş ve çıkış tarihleri arasında "
    "geçen çalışma sürem boyunca bütün ücretlerimi tamamen aldığımı,\r\n"
    "\r\n"
    "          Bundan başka ayrıca hafta tatili ve genel tatil  günlerinde ödenmesi gereken ücretlerimle "
    "kanun ve iş akdim gereğince bana verilmesi gereken bilcümle alacaklarımı aldığımı,\r\n"
    "\r\n"
    "          Ayrıca aşağıda yazılı kıdem, ihbar tazminatımı ve İzin Ücretimi tamamen almış olduğumu ve "
    "adı \r\n"
    "geçen firmadan başkaca hiçbir alacağımın kalmadığını beyan ve ibra ederim. İşbu ibranameyi kendi "
    "rızam ve yeterliliğimle imza ettiğimi ve ibranamenin bir suretini aldığımı kabul ederim.    \r\n"
    "...../....../............   \r\n";

std::string_view FieldName(Field f) {
    return kNames[static_cast<size_t>(f)];
}

std::string_view FieldCaption(Field f) {
    return Info(f).caption;
}

std::optional<Field> FieldByName(std::string_view name) {
    static const std::unordered_map<std::string_view, Field> byName = [] {
        std::unordered_map<std::string_view, Field> m;
        for (size_t i = 0; i < kNames.size(); ++i) m.emplace(kNames[i], static_cast<Field>(i));
        return m;
    }();
    auto it = byName.find(name);
    if (it == byName.end()) return std::nullopt;
    return it->second;
}

Record::Record() {
    for (const FieldInfo& i : kFieldTable)
        if (i.kind == Kind::Date) texts_[static_cast<size_t>(i.field)] = kEmptyDate;
    for (Field f : {Field::DGUN, Field::TGUN, Field::GGUN, Field::DGVMAT, Field::ESUCRET, Field::IUCRET,
                    Field::TBRUT, Field::YIUCRET})
        texts_[static_cast<size_t>(f)] = "0";
    texts_[static_cast<size_t>(Field::txtIbraname)] = kDefaultReleaseText;
}

void Record::write(Field f, std::string text) {
    std::string& slot = texts_[static_cast<size_t>(f)];
    if (slot == text) return;
    slot = std::move(text);
    parsed_[static_cast<size_t>(f)] = Parsed::Unknown;
    notify(f);
    // Copy the rule: a rule may replace rules while it runs.
    if (const ChangeRule& rule = rules_[static_cast<size_t>(f)]) {
        ChangeRule run = rule;
        run();
    }
}

std::optional<double> Record::number(Field f) const {
    const size_t i = static_cast<size_t>(f);
    if (parsed_[i] == Parsed::Unknown) {
        auto v = ParseNumber(texts_[i]);
        parsed_[i] = v ? Parsed::Number : Parsed::NotANumber;
        numbers_[i] = v.value_or(0.0);
    }
    if (parsed_[i] == Parsed::NotANumber) return std::nullopt;
    return numbers_[i];
}

void Record::setMode(Mode m) {
    if (mode_ == m) return;
    mode_ = m;
    notify(std::nullopt);
    if (modeRule_) {
        ChangeRule run = modeRule_;
        run();
    }
}

void Record::setCheck1(int v) {
    if (check1_ == v) return;
    check1_ = v;
    notify(std::nullopt);
}

void Record::setCheck2(int v) {
    if (check2_ == v) return;
    check2_ = v;
    notify(std::nullopt);
}

void Record::setCommand3Enabled(bool on) {
    if (command3_ == on) return;
    command3_ = on;
    notify(std::nullopt);
}

void CopyBracketsToCalculator(Record& r) {
    for (size_t i = 0; i < kBracketRows.size(); ++i) {
        r.ytlHesap.O[i] = r.text(kBracketRows[i].rate);
        r.ytlHesap.VD[i] = r.text(kBracketRows[i].limit);
    }
}

void BOSALT(Record& r) {
    for (Field f : kResultFields) r.write(f, std::string());
    r.setHesap(nullptr);
    r.setCommand3Enabled(false);
}

} // namespace pamerol
