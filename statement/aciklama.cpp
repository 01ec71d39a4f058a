// SPDX-License-Identifier: GPL-3.0-or-later
#include "statement/aciklama.h"

#include <cmath>

#include "base/conversions.h"
#include "calc/fields.h"

namespace pamerol {

namespace {

using F = Field;

// A day count or a rate as the sheet writes it ("1275", "6,6").
std::string Sayi(double x) {
    return NumberText(x).value_or("");
}

// An amount in the amount pattern ("6.862,42").
std::string Tutar(double x) {
    return AmountText(x).value_or("");
}

// The amount as shown, in kuruş.
Kurus Kurusu(double x) {
    return KurusAsShown(x).value_or(0);
}

std::string Caption(Field f) {
    return std::string(FieldCaption(f));
}

// The legal figure as the clerk knows it; the bracket rows by their place in the table.
std::string Baslik(Field f) {
    for (size_t i = 0; i < kBracketRows.size(); ++i) {
        if (f == kBracketRows[i].rate) return "Gelir Vergisi " + std::to_string(i + 1) + ". Dilim Oranı";
        if (f == kBracketRows[i].limit) return "Gelir Vergisi " + std::to_string(i + 1) + ". Dilim Sınırı";
    }
    return Caption(f);
}

// A figure's text as read: amounts in the amount pattern, the rest as written.
std::string Okunan(Field f, const std::string& text) {
    if (Info(f).kind == Kind::Amount)
        if (auto v = ParseNumber(text))
            if (auto s = AmountText(*v)) return *s;
    return text;
}

// Two figures are the same when they show the same to the kuruş.
bool AyniDeger(const std::string& a, const std::string& b) {
    auto x = ParseNumber(a), y = ParseNumber(b);
    return x && y && AmountText(*x) == AmountText(*y);
}

std::string YilAyGun(double y, double m, double d) {
    return Sayi(y) + " yıl " + Sayi(m) + " ay " + Sayi(d) + " gün";
}

// Collects the lines in order.
struct Yazici {
    Aciklama out;
    AciklamaSatiri& satir(std::string baslik) {
        out.push_back({std::move(baslik), {}, {}});
        return out.back();
    }
};

void Deger(AciklamaSatiri& s, std::string ad, std::string metin) {
    s.degerler.emplace_back(std::move(ad), std::move(metin));
}

// The rounding figure that makes the shown parts come out at the shown total.
void Yuvarlama(AciklamaSatiri& s, Kurus toplam, Kurus parcalar) {
    Deger(s, std::string(kYuvarlamaFarki), KurusText(toplam - parcalar));
}

// The stamp duty on a gross amount: the shown gross, the rate, and the duty worked out from it.
void DamgaVergisi(Yazici& y, std::string baslik, Kurus matrahKurus, double binde, double vergi,
                  Kurus vergiKurus) {
    auto& damga = y.satir(std::move(baslik));
    Deger(damga, "Matrah", KurusText(matrahKurus));
    Deger(damga, Caption(Field::DVOR), Sayi(binde));
    Deger(damga, "Hesap", KurusText(matrahKurus) + " × " + Sayi(binde) + " ÷ 1000 = " + Sayi(vergi));
    damga.sonuc = KurusText(vergiKurus);
}

// Why the employment ended, and what that makes due.
void Fesih(Yazici& y, const Result& x) {
    const TerminationReason& reason = *x.reason;
    auto& fesih = y.satir("Fesih nedeni");
    if (&reason == &NoReasonChosen()) {
        Deger(fesih, Caption(F::FESIH), std::string(reason.caption));
        fesih.sonuc = "Fesih nedeni seçilmedi: kıdem ve ihbar tazminatı ikisi de hesaplandı; hangisinin hak "
                      "edildiği fesih nedenine göre değişir.";
        return;
    }
    Deger(fesih, Caption(F::FESIH), std::string(reason.caption));
    Deger(fesih, "Dayanak", std::string(reason.article));
    Deger(fesih, "Kıdem tazminatı",
          reason.severanceDue ? "hak edilir (en az 1 yıl hizmetle)" : "hak edilmez");
    Deger(fesih, "İhbar tazminatı",
          reason.notice == NoticeDue::Due      ? "hak edilir"
          : reason.notice == NoticeDue::NotDue ? "hak edilmez"
                                               : "işçi öder (işçiye ödenmez)");
    fesih.sonuc = std::string(reason.caption);
}

std::string Sure(const ServiceLength& s) {
    return YilAyGun(s.years, s.months, s.days);
}

void HizmetSuresi(Yazici& y, const Record& r, const SheetCase& c, const Result& x) {
    if (c.input.mode == Mode::Dates) {
        const Date next = DayAfter(c.input.exit);
        auto& tarih = y.satir("Hizmet süresi: tarihler");
        Deger(tarih, "Giriş Tarihi", DateText(c.input.entry));
        Deger(tarih, "Çıkış Tarihi", DateText(c.input.exit));
        Deger(tarih, "Çıkıştan sonraki gün", DateText(next));
        Deger(tarih, "Hesap", "girişin aylık yıldönümleriyle tam aylar, kalanı takvim günü");
        tarih.sonuc = Sure(x.byDates);

        auto& gun = y.satir("Hizmet süresi: takvim günü");
        Deger(gun, "Hesap", DateText(c.input.exit) + " − " + DateText(c.input.entry) + " + 1");
        gun.sonuc = Sayi(x.calendarDays);

        if (c.input.carriedDays > 0) {
            auto& devreden = y.satir("Hizmet süresi: devreden gün");
            Deger(devreden, Caption(F::DGUN), Sayi(c.input.carriedDays));
            Deger(devreden, "Hesap", "360 gün bir yıl, 30 gün bir ay");
            devreden.sonuc = Sure(x.carried);

            auto& toplam = y.satir("Hizmet süresi: devreden günle birlikte");
            Deger(toplam, "Tarihlere göre", Sure(x.byDates));
            Deger(toplam, "Devreden", Sure(x.carried));
            Deger(toplam, "Hesap", "30 gün bir aya, 12 ay bir yıla eklenir");
            toplam.sonuc = YilAyGun(x.kyili, x.kayi, x.kgunu);
        }

        auto& toplamGun = y.satir("Hizmet süresi: Toplam Gün");
        Deger(toplamGun, "Takvim günü", Sayi(x.calendarDays));
        Deger(toplamGun, Caption(F::DGUN), Sayi(c.input.carriedDays));
        toplamGun.sonuc = Sayi(x.tgunu);
    } else {
        auto& prim = y.satir("Hizmet süresi: prim günleri");
        Deger(prim, Caption(F::DGUN), Sayi(r.number(F::DGUN).value_or(0)));
        Deger(prim, Caption(F::TGUN), Sayi(r.number(F::TGUN).value_or(0)));
        prim.sonuc = Sayi(x.tgunu);
    }

    auto& kidem = y.satir("Hizmet süresi: kıdem yılı, ayı, günü");
    if (c.input.mode == Mode::PremiumDays)
        Deger(kidem, "Hesap",
              "360 prim günü bir yıl, 30 prim günü bir ay: " + Sayi(x.tgunu) + " = " + Sayi(x.kyili) +
                  " × 360 + " + Sayi(x.kayi) + " × 30 + " + Sayi(x.kgunu));
    Deger(kidem, Caption(F::KYILI), Sayi(x.kyili));
    Deger(kidem, Caption(F::KAYI), Sayi(x.kayi));
    Deger(kidem, Caption(F::KGUNU), Sayi(x.kgunu));
    kidem.sonuc = YilAyGun(x.kyili, x.kayi, x.kgunu);
}

std::string DilimAraligi(const LegalFigures& law, int k) {
    const auto limit = [&](int row) { return law.brackets[static_cast<size_t>(row - 1)].limit.value_or(0); };
    if (k == 6) return Tutar(limit(5)) + " üstü";
    return (k == 1 ? Tutar(0) : Tutar(limit(k - 1))) + " – " + Tutar(limit(k));
}

// The last bracket the notice pay reaches: the one its last slice lies in (the first one when the pay
// is nothing).
int SonDilim(const IncomeTax& tax) {
    int last = tax.startBracket;
    for (int k = tax.startBracket; k <= 6; ++k)
        if (tax.slice[static_cast<size_t>(k - 1)] != 0) last = k;
    return last;
}

// The income tax of an amount on top of a carried base: where it starts, each bracket it reaches, the
// total.
void GelirVergisiSatirlari(Yazici& y, const std::string& onek, const LegalFigures& law, double devreden,
                           Kurus matrahKurus, const IncomeTax& tax, Kurus toplamKurus) {
    auto& matrah = y.satir(onek + ": gelir vergisi matrahı");
    Deger(matrah, "Önceki matrah", Tutar(devreden));
    Deger(matrah, "Bu ödemenin matrahı", KurusText(matrahKurus));
    Deger(matrah, "Yıl içindeki toplam", Tutar(devreden + static_cast<double>(matrahKurus) / 100));
    matrah.sonuc = std::to_string(tax.startBracket) + ". dilimden başlar";

    const int last = SonDilim(tax);
    Kurus vergiler = 0;
    std::vector<std::pair<std::string, std::string>> dilimVergileri;
    for (int k = tax.startBracket; k <= last; ++k) {
        const size_t i = static_cast<size_t>(k - 1);
        auto& d = y.satir(onek + ": gelir vergisi " + std::to_string(k) + ". dilim");
        Deger(d, "Dilim", DilimAraligi(law, k));
        Deger(d, "Bu dilimdeki matrah", Tutar(tax.slice[i]));
        const std::optional<double> rate = k <= 5 ? law.brackets[i].rate : std::nullopt;
        Deger(d, "Oran (%)", rate ? Sayi(*rate) : "vergi alınmaz");
        Deger(d, "Hesap",
              rate ? Sayi(tax.slice[i]) + " × " + Sayi(*rate) + " ÷ 100 = " + Sayi(tax.tax[i])
                   : std::string("beşinci dilimin üstü vergilendirilmez"));
        d.sonuc = Tutar(tax.tax[i]);
        vergiler += Kurusu(tax.tax[i]);
        dilimVergileri.emplace_back(std::to_string(k) + ". dilim", d.sonuc);
    }
    auto& gv = y.satir(onek + ": gelir vergisi");
    for (auto& [ad, metin] : dilimVergileri) Deger(gv, ad, metin);
    Yuvarlama(gv, toplamKurus, vergiler);
    gv.sonuc = KurusText(toplamKurus);
}

// The figure of the table in force on the date, as the clerk reads it; a word when there is none.
std::string Yururlukteki(const YasalDegerler* table, std::optional<int> date, Field f) {
    if (!table) return "yasal değerler tablosu okunamadı";
    if (!date) return "tarih yok";
    const YasalDeger* row = table->inForce(f, *date);
    if (!row || row->value.empty()) return "tabloda yok";
    return Okunan(f, row->value);
}

void Kidem(Yazici& y, const Record& r, const SheetCase& c, const Result& x, const YasalDegerler* table,
           std::optional<int> date) {
    auto& ucret = y.satir("Kıdem tazminatı: aylık ücret");
    Deger(ucret, Caption(F::ESUCRET), Tutar(r.number(F::ESUCRET).value_or(0)));
    Deger(ucret, Caption(F::IUCRET), Tutar(r.number(F::IUCRET).value_or(0)));
    ucret.sonuc = Tutar(c.input.wage);

    auto& tavan = y.satir("Kıdem tazminatı: tavan");
    Deger(tavan, Caption(F::TBRUT), Tutar(c.input.wage));
    Deger(tavan,
          c.input.mode == Mode::Dates ? "Çıkış tarihinde geçerli tavan" : "Hesap gününde geçerli tavan",
          Yururlukteki(table, date, F::TAV));
    Deger(tavan, "Hesapta kullanılan tavan", Tutar(c.law.ceiling));
    Deger(tavan, "Tavan uygulandı",
          x.ceilingApplied ? "evet: ücret tavanı aşıyor, tavan esas alındı"
                           : "hayır: ücret tavanı aşmıyor, ücret esas alındı");
    tavan.sonuc = Tutar(x.monthlyWageUsed);

    auto& yillik = y.satir("Kıdem tazminatı: bir yıllık tutar");
    Deger(yillik, "Esas aylık ücret", Tutar(x.monthlyWageUsed));
    Deger(yillik, Caption(F::KGN), Sayi(c.law.severanceDays));
    Deger(yillik, "Hesap", Sayi(c.law.severanceDays) + " × " + Tutar(x.monthlyWageUsed) + " ÷ 30");
    yillik.sonuc = Tutar(x.yearly);

    if (!x.entitled) {
        auto& hak = y.satir("Kıdem tazminatı: hak");
        Deger(hak, Caption(F::KYILI), Sayi(x.kyili));
        Deger(hak, "Gereken", "en az 1 yıl hizmet");
        hak.sonuc = "Hak Etmemiş!";
        return;
    }
    if (auto note = SeveranceDueNote(x)) {
        auto& hak = y.satir("Kıdem tazminatı: hak");
        Deger(hak, Caption(F::FESIH), std::string(x.reason->caption));
        hak.sonuc = *note;
        return;
    }

    if (x.severanceUnknown) {
        auto& yok = y.satir("Kıdem tazminatı: tavan yok");
        yok.sonuc = CeilingNote(c.input, c.law, x).value_or("");
        return;
    }

    const std::string yil = Tutar(x.yearly);
    const std::string gunBoleni = " ÷ " + Sayi(x.daysDivisor);
    struct Pay {
        const char* baslik;
        Field alan;
        double sayi;
        std::string bolen;
        double tutar;
    };
    const Pay paylar[] = {{"Kıdem tazminatı: yıllar payı", F::KYILI, x.kyili, "", x.yearsShare},
                          {"Kıdem tazminatı: aylar payı", F::KAYI, x.kayi, " ÷ 12", x.monthsShare},
                          {"Kıdem tazminatı: günler payı", F::KGUNU, x.kgunu, gunBoleni, x.daysShare}};
    Kurus toplam = 0;
    for (const Pay& p : paylar) {
        auto& s = y.satir(p.baslik);
        Deger(s, Caption(p.alan), Sayi(p.sayi));
        Deger(s, "Bir yıllık tutar", yil);
        Deger(s, "Hesap", Sayi(p.sayi) + " × " + yil + p.bolen);
        s.sonuc = Tutar(p.tutar);
        toplam += Kurusu(p.tutar);
    }
    auto& brut = y.satir("Kıdem tazminatı: brüt");
    Deger(brut, "Yıllar payı", Tutar(x.yearsShare));
    Deger(brut, "Aylar payı", Tutar(x.monthsShare));
    Deger(brut, "Günler payı", Tutar(x.daysShare));
    Yuvarlama(brut, x.bktazKurus, toplam);
    Deger(brut, "Yuvarlanmamış toplam", Sayi(x.bktaz));
    brut.sonuc = KurusText(x.bktazKurus);
    if (x.underLastCeiling) y.satir("Not: tavan").sonuc = CeilingNote(c.input, c.law, x).value_or("");

    auto& istisna = y.satir("Kıdem tazminatı: gelir vergisinden istisna tutar (GVK m. 25/7)");
    Deger(istisna, "Yasal gün", Sayi(kStatutorySeveranceDays));
    Deger(istisna, "Yasal tavan", Tutar(x.exemptCeiling));
    Deger(istisna, "Esas aylık ücret", Tutar(std::min(c.input.wage, x.exemptCeiling)));
    Deger(istisna, "Bir yıllık istisna", Tutar(x.exemptYearly));
    Deger(istisna, "Hesap",
          Sayi(x.kyili) + " × " + Tutar(x.exemptYearly) + " + " + Sayi(x.kayi) + " × " +
              Tutar(x.exemptYearly) + " ÷ 12 + " + Sayi(x.kgunu) + " × " + Tutar(x.exemptYearly) + gunBoleni);
    istisna.sonuc = KurusText(x.exemptKurus);

    auto& vergili = y.satir("Kıdem tazminatı: gelir vergisine tabi kısım");
    Deger(vergili, "Brüt", KurusText(x.bktazKurus));
    Deger(vergili, "İstisna", KurusText(x.exemptKurus));
    vergili.sonuc = x.taxableKurus > 0 ? KurusText(x.taxableKurus) : "yok: tamamı istisna";
    if (x.taxableKurus > 0)
        GelirVergisiSatirlari(y, "Kıdem tazminatı", c.law, x.carriedTaxBase, x.taxableKurus, x.severanceTax,
                              x.kgverKurus);

    DamgaVergisi(y, "Kıdem tazminatı: damga vergisi", x.bktazKurus, c.law.stampDutyPerMille, x.dver,
                 x.dverKurus);

    auto& net = y.satir("Kıdem tazminatı: ödenecek");
    Deger(net, "Brüt", KurusText(x.bktazKurus));
    Deger(net, "Gelir Vergisi", KurusText(x.kgverKurus));
    Deger(net, Caption(F::DVER), KurusText(x.dverKurus));
    Deger(net, "Hesap",
          KurusText(x.bktazKurus) + " − " + KurusText(x.kgverKurus) + " − " + KurusText(x.dverKurus));
    net.sonuc = KurusText(x.netKurus);
}

void Ihbar(Yazici& y, const Record& r, const SheetCase& c, const Result& x) {
    const NoticeBand& band = kNoticeBands[static_cast<size_t>(x.band)];
    auto& ay = y.satir("İhbar tazminatı: hizmet ayı");
    Deger(ay, "Hizmet", YilAyGun(x.kyili, x.kayi, x.kgunu));
    Deger(ay, Caption(F::IAYI), Sayi(x.iayi));
    Deger(ay, Caption(F::KIGUNU), Sayi(x.kigunu));
    Deger(ay, "Hesap", Sayi(x.kyili) + " × 12 + " + Sayi(x.kayi));
    const std::string hizmet = Sayi(x.iayi) + " ay " + Sayi(x.kigunu) + " gün";
    ay.sonuc = hizmet;

    // (A new line may move the earlier ones: each is filled before the next is added.)
    auto& sure = y.satir("İhbar tazminatı: ihbar süresi");
    Deger(sure, "Hizmet", hizmet);
    Deger(sure, "Dilim", std::string(band.caption));
    Deger(sure, "Dilimin kapsadığı hizmet", std::string(band.service));
    sure.sonuc = r.text(band.field);

    const std::string ucret = Tutar(c.input.wage);
    if (!x.noticePaid()) {
        auto& hak = y.satir("İhbar tazminatı: hak");
        Deger(hak, Caption(F::FESIH), std::string(x.reason->caption));
        if (x.reason->notice == NoticeDue::OwedByEmployee)
            Deger(hak, "Hesap", Sayi(x.higunu) + " × " + ucret + " ÷ 30");
        hak.sonuc = NoticeDueNote(x).value_or("");
        return;
    }
    auto& gunluk = y.satir("İhbar tazminatı: günlük ücret");
    Deger(gunluk, Caption(F::TBRUT), ucret);
    Deger(gunluk, "Hesap", ucret + " ÷ 30 = " + Sayi(x.dailyWage));
    gunluk.sonuc = Tutar(x.dailyWage);

    auto& brut = y.satir("İhbar tazminatı: brüt");
    Deger(brut, Caption(F::HIGUNU), Sayi(x.higunu));
    Deger(brut, Caption(F::TBRUT), ucret);
    Deger(brut, "Hesap", Sayi(x.higunu) + " × " + ucret + " ÷ 30 = " + Sayi(x.bitzm));
    brut.sonuc = KurusText(x.bitzmKurus);

    DamgaVergisi(y, "İhbar tazminatı: damga vergisi", x.bitzmKurus, c.law.stampDutyPerMille, x.idver,
                 x.idverKurus);

    GelirVergisiSatirlari(y, "İhbar tazminatı", c.law, x.noticeCarriedBase, x.bitzmKurus, x.tax,
                          x.igverKurus);

    auto& net = y.satir("İhbar tazminatı: ödenecek");
    Deger(net, "Brüt", KurusText(x.bitzmKurus));
    Deger(net, Caption(F::IGVER), KurusText(x.igverKurus));
    Deger(net, Caption(F::IDVER), KurusText(x.idverKurus));
    Deger(net, "Hesap",
          KurusText(x.bitzmKurus) + " − " + KurusText(x.igverKurus) + " − " + KurusText(x.idverKurus));
    net.sonuc = KurusText(x.itazmKurus);
}

// Unused annual leave (4857 m. 59): the gross, the employee's SGK shares up to the month's premium ceiling
// left, the income tax on the rest, the stamp duty, the net.
void Izin(Yazici& y, const SheetCase& c, const Result& x) {
    if (!x.leave) return;
    auto& brut = y.satir("İzin ücreti: brüt (4857 m. 59)");
    if (x.leaveFromDays) {
        Deger(brut, Caption(F::IZGUN), Sayi(c.input.leaveDays));
        Deger(brut, Caption(F::ESUCRET), Tutar(c.input.baseWage));
        Deger(brut, "Hesap",
              Sayi(c.input.leaveDays) + " × " + Tutar(c.input.baseWage) + " ÷ 30 (ilave ücret hariç)");
    } else {
        Deger(brut, Caption(F::YIUCRET), Tutar(c.input.leaveTyped));
    }
    brut.sonuc = KurusText(x.izBrutKurus);

    auto& sgk = y.satir("İzin ücreti: SGK işçi payları (5510 m. 81, 82; 4447 m. 49)");
    Deger(sgk, Caption(F::PEKUST), Okunan(F::PEKUST, NumberText(*c.law.premiumCeiling.days).value_or("")));
    Deger(sgk, Caption(F::AYSGKMAT), Tutar(c.input.reportedThisMonth));
    Deger(sgk, "Prime esas tutar", KurusText(x.leaveSgkBaseKurus));
    Deger(sgk, Caption(F::SGKIO), Sayi(*c.law.sgkShare.days));
    Deger(sgk, "Sigorta primi", KurusText(x.leaveInsuranceKurus));
    Deger(sgk, Caption(F::ISIO), Sayi(*c.law.unemploymentShare.days));
    Deger(sgk, "İşsizlik sigortası primi", KurusText(x.leaveUnemploymentKurus));
    sgk.sonuc = KurusText(x.izSgkKurus);

    GelirVergisiSatirlari(y, "İzin ücreti", c.law, x.leaveCarriedBase, x.izBrutKurus - x.izSgkKurus,
                          x.leaveTax, x.izGverKurus);
    DamgaVergisi(y, "İzin ücreti: damga vergisi", x.izBrutKurus, c.law.stampDutyPerMille,
                 static_cast<double>(x.izBrutKurus) / 100 * c.law.stampDutyPerMille / 1000, x.izDverKurus);

    auto& net = y.satir("İzin ücreti: ödenecek");
    Deger(net, "Brüt", KurusText(x.izBrutKurus));
    Deger(net, "SGK İşçi Payı", KurusText(x.izSgkKurus));
    Deger(net, "Gelir Vergisi", KurusText(x.izGverKurus));
    Deger(net, "Damga Vergisi", KurusText(x.izDverKurus));
    net.sonuc = KurusText(x.izNetKurus);
    y.satir("Not: izin ücreti").sonuc =
        "Asgari ücret istisnası uygulanmadı: izin ücretinin gelir ve damga vergisi istisnasız hesaplandı.";
}

// The notes the sheet shows beside its results.
void Notlar(Yazici& y, const Record& r, const YasalDegerler* table, std::optional<int> date, int today) {
    const SonucNotlari notlar = HesapNotlari(r, table, today);
    const std::vector<YasalUyari> uyarilar =
        table && date ? YasalUyarilar(r, *table, *date) : std::vector<YasalUyari>{};
    for (const YasalUyari& u : uyarilar) y.satir("Not: " + u.baslik).sonuc = u.metin;
    if (uyarilar.empty() && notlar.tavanUyarisi) y.satir("Not: tavan").sonuc = *notlar.tavanUyarisi;
    if (notlar.asgariUcretNotu) y.satir("Not: asgari ücret istisnası").sonuc = *notlar.asgariUcretNotu;
}

// Every legal figure the calculation used: the stamp duty, the severance days, the ceiling, the notice
// days of the band reached, the SGK figures of a leave pay, and the bracket rows that place and tax the
// payments.
std::vector<Field> KullanilanYasalDegerler(const Result& x) {
    std::vector<Field> out{F::DVOR, F::KGN, F::TAV, kNoticeBands[static_cast<size_t>(x.band)].field};
    if (x.leave) out.insert(out.end(), {F::SGKIO, F::ISIO, F::PEKUST});
    // The brackets every taxed payment reaches: the severance's taxed part, the notice pay, the leave pay.
    int first = 6, last = 0;
    const auto reach = [&](bool taxed, const IncomeTax& tax) {
        if (!taxed) return;
        first = std::min(first, tax.startBracket);
        last = std::max(last, SonDilim(tax));
    };
    reach(x.severancePaid() && x.taxableKurus > 0, x.severanceTax);
    reach(x.noticePaid(), x.tax);
    reach(x.leave, x.leaveTax);
    last = std::min(last, 5);
    for (int k = 1; k <= last; ++k) {
        if (k >= first) out.push_back(kBracketRows[static_cast<size_t>(k - 1)].rate);
        out.push_back(kBracketRows[static_cast<size_t>(k - 1)].limit);
    }
    return out;
}

void YasalDegerSatirlari(Yazici& y, const Record& r, const Result& x, const YasalDegerler* table,
                         std::optional<int> date) {
    for (Field f : KullanilanYasalDegerler(x)) {
        auto& s = y.satir("Yasal değer: " + Baslik(f));
        Deger(s, "Kullanılan", Okunan(f, r.text(f)));
        const YasalDeger* row = table && date ? table->inForce(f, *date) : nullptr;
        if (row && !row->value.empty() && AyniDeger(r.text(f), row->value)) {
            Deger(s, "Dönem", DonemMetni(*row));
            Deger(s, "Kaynaklar", row->sources);
            s.sonuc = "tablodaki değer";
        } else {
            Deger(s, "Tablodaki", Yururlukteki(table, date, f));
            s.sonuc = "elle girildi";
        }
    }
}

// The result fields as the calculation writes them, against what the sheet holds.
void Farklar(Yazici& y, const Record& r, const Result& x) {
    const std::string& band = r.text(kNoticeBands[static_cast<size_t>(x.band)].field);
    AciklamaSatiri fark{"Uyarı: sayfadaki sonuçlar", {}, {}};
    // Both tabs have a "Toplam Gün" and a "Damga Vergisi": each figure is named with its tab.
    for (Field f : kResultFields) {
        if (!(Info(f).result.shows & kInStatement)) continue;
        const std::string metin = ResultText(f, x, band);
        if (r.text(f) != metin)
            Deger(fark, Caption(f) + (Info(f).tab == Tab::Kidem ? " (Kıdem)" : " (İhbar)"),
                  "sayfada \"" + r.text(f) + "\", bu hesapta \"" + metin + "\"");
    }
    if (fark.degerler.empty()) return;
    fark.sonuc = "Sayfadaki sonuçlar bu açıklamanın hesabından farklı (vaka başka bir sürümle hesaplanmış "
                 "olabilir); yeniden hesaplayın.";
    y.out.push_back(std::move(fark));
}

} // namespace

const std::string& AciklamaSatiri::deger(const std::string& ad) const {
    static const std::string kEmpty;
    for (const auto& [a, metin] : degerler)
        if (a == ad) return metin;
    return kEmpty;
}

Aciklama AciklamaSatirlari(const Record& r, const SheetCase& c, const Result& x, const YasalDegerler* table,
                           int today) {
    Yazici y;
    const std::optional<int> date = YasalTarih(r, today);
    Fesih(y, x);
    HizmetSuresi(y, r, c, x);
    Kidem(y, r, c, x, table, date);
    Ihbar(y, r, c, x);
    Izin(y, c, x);
    Notlar(y, r, table, date, today);
    YasalDegerSatirlari(y, r, x, table, date);
    Farklar(y, r, x);
    return std::move(y.out);
}

Expected<Aciklama> HesapAciklamasi(const Record& r, const YasalDegerler* table, int today) {
    const Hesap* hesap = r.command3Enabled() ? r.hesap() : nullptr;
    if (!hesap) return Problem{"", "", "Hesap açıklaması için önce \"Hesapla\" ile hesap yapılmalı."};
    return AciklamaSatirlari(r, hesap->dava, hesap->sonuc, table, today);
}

std::string AciklamaMetni(const Aciklama& aciklama) {
    std::string out;
    for (const AciklamaSatiri& s : aciklama) {
        if (!out.empty()) out += '\n';
        out += s.baslik + '\n';
        for (const auto& [ad, metin] : s.degerler) out += "    " + ad + ": " + metin + '\n';
        out += "    = " + s.sonuc + '\n';
    }
    return out;
}

} // namespace pamerol
