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
    for (const NoticeBand& band : kNoticeBands)
        if (f == band.field) return "İhbar Süresi (" + Caption(f) + ")";
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
        out.push_back({std::move(baslik), {}, {}, {}, SatirTuru::Adim});
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

// The laws each step rests on.
constexpr const char* kKidemKanunu = "1475 sayılı İş Kanunu m. 14";
constexpr const char* kTavanKanunu = "1475 sayılı İş Kanunu m. 14/11";
constexpr const char* kIhbarKanunu = "4857 sayılı İş Kanunu m. 17";
constexpr const char* kIzinKanunu = "4857 sayılı İş Kanunu m. 59";
constexpr const char* kIstisnaKanunu = "193 sayılı GVK m. 25/7";
constexpr const char* kUcretVergisi = "193 sayılı GVK m. 61, 94, 103";
constexpr const char* kDamgaKanunu = "488 sayılı DVK (1) sayılı tablo IV-1-b";
constexpr const char* kPrimeEsasOlmayan = "5510 sayılı Kanun m. 80";
constexpr const char* kIzinPrimi = "5510 sayılı Kanun m. 80, 81, 82; 4447 sayılı Kanun m. 49";

// An article as the termination table writes it ("1475 m. 14; 4857 m. 17"), with the laws' names.
std::string Kanun(std::string_view article) {
    std::string out(article);
    for (const auto& [kisa, uzun] :
         {std::pair<std::string, std::string>{"1475 m.", "1475 sayılı İş Kanunu m."},
          {"4857 m.", "4857 sayılı İş Kanunu m."}})
        for (size_t at = 0; (at = out.find(kisa, at)) != std::string::npos; at += uzun.size())
            out.replace(at, kisa.size(), uzun);
    return out;
}

// A sentence of the program's that speaks to the clerk at the window (where to type, what to check) has
// no place on a paper: the text without it.
std::string OkuyanaGore(const std::string& text) {
    std::string out;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find(". ", from);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string sentence = text.substr(from, end - from);
        const bool toClerk = sentence.find("sekme") != std::string::npos ||
                             sentence.find("--ayar") != std::string::npos ||
                             sentence.find("kontrol edin") != std::string::npos ||
                             sentence.find("hesaplayın") != std::string::npos;
        if (!toClerk) out += (out.empty() ? "" : " ") + sentence;
        from = end;
        while (from < text.size() && text[from] == ' ') ++from;
    }
    return out;
}

// A calculation and its outcome: "3 × 1.960,69 = 5.882,07".
std::string Islem(const std::string& islem, const std::string& sonuc) {
    return islem + " = " + sonuc;
}

// The stamp duty on a gross amount, at the rate the law writes per mille.
void DamgaVergisi(Yazici& y, std::string baslik, Kurus matrahKurus, double binde, Kurus vergiKurus) {
    auto& damga = y.satir(std::move(baslik));
    Deger(damga, "Hesap", Islem(KurusText(matrahKurus) + " × binde " + Sayi(binde), KurusText(vergiKurus)));
    damga.sonuc = KurusText(vergiKurus);
    damga.dayanak = kDamgaKanunu;
}

std::string Sure(const ServiceLength& s) {
    return YilAyGun(s.years, s.months, s.days);
}

// The termination reason: what it makes due, and the articles that say so.
void Fesih(Yazici& y, const Result& x) {
    const TerminationReason& reason = *x.reason;
    auto& fesih = y.satir("Fesih nedeni");
    fesih.tur = SatirTuru::Ozet;
    fesih.sonuc = std::string(reason.caption);
    if (&reason == &NoReasonChosen()) {
        Deger(fesih, "Not",
              "kıdem ve ihbar tazminatı ikisi de hesaplandı; hangisinin hak edildiği fesih "
              "nedenine göre değişir.");
        return;
    }
    Deger(fesih, "Kıdem tazminatı",
          reason.severanceDue ? "hak edilir (en az 1 yıl hizmetle)" : "hak edilmez");
    Deger(fesih, "İhbar tazminatı",
          reason.notice == NoticeDue::Due      ? "hak edilir"
          : reason.notice == NoticeDue::NotDue ? "hak edilmez"
                                               : "işçi öder (işçiye ödenmez)");
    fesih.dayanak = Kanun(reason.article);
}

// One payment of the summary: its gross, each deduction (kAlinmaz where none is taken) and its net.
void OzetOdeme(Yazici& y, const std::string& baslik, Kurus brut, std::optional<Kurus> sgk, Kurus gv, Kurus dv,
               Kurus net, std::string dayanak) {
    auto& s = y.satir("Özet: " + baslik);
    s.tur = SatirTuru::Ozet;
    Deger(s, std::string(kOzetBrut), KurusText(brut));
    Deger(s, std::string(kOzetSgk), sgk ? KurusText(*sgk) : std::string(kAlinmaz));
    Deger(s, std::string(kOzetGelirVergisi), KurusText(gv));
    Deger(s, std::string(kOzetDamgaVergisi), KurusText(dv));
    s.sonuc = KurusText(net);
    s.dayanak = std::move(dayanak);
}

// A payment not made, and why.
void OzetOdenmeyen(Yazici& y, const std::string& baslik, std::string neden) {
    auto& s = y.satir("Özet: " + baslik);
    s.tur = SatirTuru::Ozet;
    s.sonuc = std::move(neden);
}

// Why the severance is not paid; nothing when it is.
std::optional<std::string> KidemOdenmez(const SheetCase& c, const Result& x) {
    if (!x.entitled) return "Hak Etmemiş! (1 yıldan az hizmet)";
    if (auto note = SeveranceDueNote(x)) return *note;
    if (x.severanceUnknown) return OkuyanaGore(CeilingNote(c.input, c.law, x).value_or(""));
    return std::nullopt;
}

// The head of the statement: the currency, the termination reason, the service, and each payment with its
// deductions and net.
void Ozet(Yazici& y, const Record& r, const SheetCase& c, const Result& x, int today) {
    auto& para = y.satir("Özet: para birimi");
    para.tur = SatirTuru::Ozet;
    para.sonuc = AciklamaParaBirimi(r, today);

    Fesih(y, x);

    auto& hizmet = y.satir("Özet: hizmet süresi");
    hizmet.tur = SatirTuru::Ozet;
    if (c.input.mode == Mode::Dates) {
        Deger(hizmet, "Giriş Tarihi", DateText(c.input.entry));
        Deger(hizmet, "Çıkış Tarihi", DateText(c.input.exit));
    } else {
        Deger(hizmet, "Prim günü", Sayi(x.tgunu));
    }
    if (c.input.carriedDays > 0) Deger(hizmet, Caption(F::DGUN), Sayi(c.input.carriedDays));
    hizmet.sonuc = YilAyGun(x.kyili, x.kayi, x.kgunu);
    hizmet.dayanak = kKidemKanunu;

    int odenen = 0;
    Kurus brut = 0, sgk = 0, gv = 0, dv = 0, net = 0;
    const auto topla = [&](Kurus b, Kurus s, Kurus g, Kurus d, Kurus n) {
        ++odenen;
        brut += b, sgk += s, gv += g, dv += d, net += n;
    };
    const std::string sgkAlinmaz = std::string("SGK işçi payı alınmaz: ") + kPrimeEsasOlmayan;
    if (auto neden = KidemOdenmez(c, x)) {
        OzetOdenmeyen(y, "kıdem tazminatı", *neden);
    } else {
        OzetOdeme(y, "kıdem tazminatı", x.bktazKurus, std::nullopt, x.kgverKurus, x.dverKurus, x.netKurus,
                  std::string(kKidemKanunu) + "; " + sgkAlinmaz);
        topla(x.bktazKurus, 0, x.kgverKurus, x.dverKurus, x.netKurus);
    }
    if (x.noticePaid()) {
        OzetOdeme(y, "ihbar tazminatı", x.bitzmKurus, std::nullopt, x.igverKurus, x.idverKurus, x.itazmKurus,
                  std::string(kIhbarKanunu) + "; " + sgkAlinmaz);
        topla(x.bitzmKurus, 0, x.igverKurus, x.idverKurus, x.itazmKurus);
    } else {
        OzetOdenmeyen(y, "ihbar tazminatı", OkuyanaGore(NoticeDueNote(x).value_or("")));
    }
    if (x.leave) {
        OzetOdeme(y, "izin ücreti", x.izBrutKurus, x.izSgkKurus, x.izGverKurus, x.izDverKurus, x.izNetKurus,
                  kIzinKanunu);
        topla(x.izBrutKurus, x.izSgkKurus, x.izGverKurus, x.izDverKurus, x.izNetKurus);
    }
    if (odenen > 1)
        OzetOdeme(y, "toplam", brut, x.leave ? std::optional(sgk) : std::nullopt, gv, dv, net, "");
}

void HizmetSuresi(Yazici& y, const Record& r, const SheetCase& c, const Result& x) {
    if (c.input.mode == Mode::Dates) {
        auto& tarih = y.satir("Hizmet süresi: tarihler");
        Deger(tarih, "Giriş Tarihi", DateText(c.input.entry));
        Deger(tarih, "Çıkış Tarihi", DateText(c.input.exit));
        Deger(tarih, "Hesap", "girişin aylık yıldönümleriyle tam aylar, kalanı takvim günü");
        tarih.sonuc = Sure(x.byDates);
        tarih.dayanak = kKidemKanunu;

        if (c.input.carriedDays > 0) {
            auto& devreden = y.satir("Hizmet süresi: devreden gün");
            Deger(devreden, Caption(F::DGUN), Sayi(c.input.carriedDays));
            Deger(devreden, "Hesap", "360 gün bir yıl, 30 gün bir ay");
            devreden.sonuc = Sure(x.carried);
            devreden.dayanak = kKidemKanunu;

            auto& toplam = y.satir("Hizmet süresi: devreden günle birlikte");
            Deger(toplam, "Tarihlere göre", Sure(x.byDates));
            Deger(toplam, "Devreden", Sure(x.carried));
            Deger(toplam, "Hesap", "30 gün bir aya, 12 ay bir yıla eklenir");
            toplam.sonuc = YilAyGun(x.kyili, x.kayi, x.kgunu);
            toplam.dayanak = kKidemKanunu;
        }

        auto& toplamGun = y.satir("Hizmet süresi: Toplam Gün");
        Deger(toplamGun, "Takvim günü", Sayi(x.calendarDays));
        if (c.input.carriedDays > 0) Deger(toplamGun, Caption(F::DGUN), Sayi(c.input.carriedDays));
        toplamGun.sonuc = Sayi(x.tgunu);
        toplamGun.dayanak = kKidemKanunu;
    } else {
        auto& prim = y.satir("Hizmet süresi: prim günleri");
        Deger(prim, Caption(F::DGUN), Sayi(r.number(F::DGUN).value_or(0)));
        Deger(prim, Caption(F::TGUN), Sayi(r.number(F::TGUN).value_or(0)));
        prim.sonuc = Sayi(x.tgunu);
        prim.dayanak = kKidemKanunu;
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
    kidem.dayanak = kKidemKanunu;
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

// The income tax of an amount on top of the year's base before it: the base, each bracket it reaches with
// its slice, rate and tax, the total.
void GelirVergisiSatirlari(Yazici& y, const std::string& onek, const LegalFigures& law, double devreden,
                           Kurus matrahKurus, const IncomeTax& tax, Kurus toplamKurus) {
    auto& gv = y.satir(onek + ": gelir vergisi");
    gv.dayanak = kUcretVergisi;
    Deger(gv, "Önceki matrah", Tutar(devreden));
    Deger(gv, "Bu ödemenin matrahı", KurusText(matrahKurus));
    Deger(gv, "Yıl içindeki toplam", Tutar(devreden + static_cast<double>(matrahKurus) / 100));
    const int last = SonDilim(tax);
    Kurus vergiler = 0;
    for (int k = tax.startBracket; k <= last; ++k) {
        const size_t i = static_cast<size_t>(k - 1);
        const std::optional<double> rate = k <= 5 ? law.brackets[i].rate : std::nullopt;
        const std::string vergi = Tutar(tax.tax[i]);
        Deger(gv, std::to_string(k) + ". dilim: " + DilimAraligi(law, k),
              Islem(Tutar(tax.slice[i]) + (rate ? " × %" + Sayi(*rate) : std::string(" (vergi alınmaz)")),
                    vergi));
        vergiler += Kurusu(tax.tax[i]);
    }
    if (toplamKurus != vergiler) Yuvarlama(gv, toplamKurus, vergiler);
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

// What is paid: the gross less each deduction.
void Odenecek(Yazici& y, const std::string& onek, Kurus brut, std::optional<Kurus> sgk, Kurus gv, Kurus dv,
              Kurus net) {
    auto& s = y.satir(onek + ": ödenecek");
    std::string islem = KurusText(brut);
    if (sgk) islem += " − " + KurusText(*sgk);
    islem += " − " + KurusText(gv) + " − " + KurusText(dv);
    Deger(s, "Hesap", Islem(islem, KurusText(net)));
    if (!sgk) {
        Deger(s, std::string(kOzetSgk), "alınmaz: prime esas kazanca girmez");
        s.dayanak = kPrimeEsasOlmayan;
    }
    s.sonuc = KurusText(net);
}

void Kidem(Yazici& y, const Record& r, const SheetCase& c, const Result& x, const YasalDegerler* table,
           std::optional<int> date) {
    auto& ucret = y.satir("Kıdem tazminatı: aylık ücret");
    Deger(ucret, Caption(F::ESUCRET), Tutar(r.number(F::ESUCRET).value_or(0)));
    Deger(ucret, Caption(F::IUCRET), Tutar(r.number(F::IUCRET).value_or(0)));
    ucret.sonuc = Tutar(c.input.wage);
    ucret.dayanak = kKidemKanunu;

    auto& tavan = y.satir("Kıdem tazminatı: tavan");
    const std::string yururlukte = Yururlukteki(table, date, F::TAV);
    Deger(tavan,
          c.input.mode == Mode::Dates ? "Çıkış tarihinde geçerli tavan" : "Hesap gününde geçerli tavan",
          yururlukte);
    if (yururlukte != Tutar(c.law.ceiling)) Deger(tavan, "Hesapta kullanılan tavan", Tutar(c.law.ceiling));
    Deger(tavan, "Tavan uygulandı",
          x.ceilingApplied ? "evet: ücret tavanı aşıyor, tavan esas alındı"
                           : "hayır: ücret tavanı aşmıyor, ücret esas alındı");
    tavan.sonuc = Tutar(x.monthlyWageUsed);
    tavan.dayanak = kTavanKanunu;

    if (auto neden = KidemOdenmez(c, x)) {
        auto& hak = y.satir("Kıdem tazminatı: hak");
        if (!x.entitled) {
            Deger(hak, Caption(F::KYILI), Sayi(x.kyili));
            Deger(hak, "Gereken", "en az 1 yıl hizmet");
            hak.sonuc = "Hak Etmemiş!";
        } else {
            hak.sonuc = *neden;
        }
        hak.dayanak = kKidemKanunu;
        return;
    }

    const std::string yil = Tutar(x.yearly);
    auto& brut = y.satir("Kıdem tazminatı: brüt");
    brut.dayanak = kKidemKanunu;
    Deger(brut, "Bir yıllık tutar",
          Islem(Sayi(c.law.severanceDays) + " × " + Tutar(x.monthlyWageUsed) + " ÷ 30", yil));
    Deger(brut, "Yıllar payı", Islem(Sayi(x.kyili) + " × " + yil, Tutar(x.yearsShare)));
    Deger(brut, "Aylar payı", Islem(Sayi(x.kayi) + " × " + yil + " ÷ 12", Tutar(x.monthsShare)));
    Deger(brut, "Günler payı",
          Islem(Sayi(x.kgunu) + " × " + yil + " ÷ " + Sayi(x.daysDivisor), Tutar(x.daysShare)));
    const Kurus paylar = Kurusu(x.yearsShare) + Kurusu(x.monthsShare) + Kurusu(x.daysShare);
    if (paylar != x.bktazKurus) Yuvarlama(brut, x.bktazKurus, paylar);
    brut.sonuc = KurusText(x.bktazKurus);
    if (x.underLastCeiling) {
        auto& not_ = y.satir("Not: tavan");
        not_.tur = SatirTuru::Not;
        not_.sonuc = OkuyanaGore(CeilingNote(c.input, c.law, x).value_or(""));
    }

    auto& istisna = y.satir("Kıdem tazminatı: gelir vergisi istisnası");
    istisna.dayanak = kIstisnaKanunu;
    const std::string ey = Tutar(x.exemptYearly);
    Deger(istisna, "Bir yıllık istisna",
          Islem(Sayi(kStatutorySeveranceDays) + " × " + Tutar(std::min(c.input.wage, x.exemptCeiling)) +
                    " ÷ 30",
                ey));
    Deger(istisna, "Hesap",
          Sayi(x.kyili) + " × " + ey + " + " + Sayi(x.kayi) + " × " + ey + " ÷ 12 + " + Sayi(x.kgunu) +
              " × " + ey + " ÷ " + Sayi(x.daysDivisor));
    istisna.sonuc = KurusText(x.exemptKurus);

    auto& vergili = y.satir("Kıdem tazminatı: gelir vergisine tabi kısım");
    vergili.dayanak = kIstisnaKanunu;
    Deger(vergili, "Hesap", KurusText(x.bktazKurus) + " − " + KurusText(x.exemptKurus));
    vergili.sonuc = x.taxableKurus > 0 ? KurusText(x.taxableKurus) : "yok: tamamı istisna";
    if (x.taxableKurus > 0)
        GelirVergisiSatirlari(y, "Kıdem tazminatı", c.law, x.carriedTaxBase, x.taxableKurus, x.severanceTax,
                              x.kgverKurus);

    DamgaVergisi(y, "Kıdem tazminatı: damga vergisi", x.bktazKurus, c.law.stampDutyPerMille, x.dverKurus);
    Odenecek(y, "Kıdem tazminatı", x.bktazKurus, std::nullopt, x.kgverKurus, x.dverKurus, x.netKurus);
}

void Ihbar(Yazici& y, const Record& r, const SheetCase& c, const Result& x) {
    const NoticeBand& band = kNoticeBands[static_cast<size_t>(x.band)];
    auto& sure = y.satir("İhbar tazminatı: ihbar süresi");
    Deger(sure, "Hizmet", Sayi(x.iayi) + " ay " + Sayi(x.kigunu) + " gün");
    Deger(sure, "Dilim", std::string(band.caption) + " (" + std::string(band.service) + ")");
    sure.sonuc = r.text(band.field);
    sure.dayanak = kIhbarKanunu;

    const std::string ucret = Tutar(c.input.wage);
    if (!x.noticePaid()) {
        auto& hak = y.satir("İhbar tazminatı: hak");
        Deger(hak, Caption(F::FESIH), std::string(x.reason->caption));
        if (x.reason->notice == NoticeDue::OwedByEmployee)
            Deger(hak, "Hesap",
                  Islem(Sayi(x.higunu) + " × " + ucret + " ÷ 30", KurusText(x.owedNoticeKurus)));
        hak.sonuc = OkuyanaGore(NoticeDueNote(x).value_or(""));
        hak.dayanak = kIhbarKanunu;
        return;
    }
    auto& brut = y.satir("İhbar tazminatı: brüt");
    brut.dayanak = kIhbarKanunu;
    Deger(brut, "Günlük ücret", Islem(ucret + " ÷ 30", Tutar(x.dailyWage)));
    Deger(brut, "Hesap", Islem(Sayi(x.higunu) + " × " + ucret + " ÷ 30", KurusText(x.bitzmKurus)));
    brut.sonuc = KurusText(x.bitzmKurus);

    GelirVergisiSatirlari(y, "İhbar tazminatı", c.law, x.noticeCarriedBase, x.bitzmKurus, x.tax,
                          x.igverKurus);
    DamgaVergisi(y, "İhbar tazminatı: damga vergisi", x.bitzmKurus, c.law.stampDutyPerMille, x.idverKurus);
    Odenecek(y, "İhbar tazminatı", x.bitzmKurus, std::nullopt, x.igverKurus, x.idverKurus, x.itazmKurus);
}

// Unused annual leave (4857 m. 59): the gross, the employee's SGK shares up to the month's premium ceiling
// left, the income tax on the rest, the stamp duty, the net.
void Izin(Yazici& y, const SheetCase& c, const Result& x) {
    if (!x.leave) return;
    auto& brut = y.satir("İzin ücreti: brüt");
    brut.dayanak = kIzinKanunu;
    if (x.leaveFromDays) {
        Deger(brut, Caption(F::IZGUN), Sayi(c.input.leaveDays));
        Deger(brut, "Hesap (ilave ücret hariç)",
              Islem(Sayi(c.input.leaveDays) + " × " + Tutar(c.input.baseWage) + " ÷ 30",
                    KurusText(x.izBrutKurus)));
    } else {
        Deger(brut, Caption(F::YIUCRET), Tutar(c.input.leaveTyped));
    }
    brut.sonuc = KurusText(x.izBrutKurus);

    auto& sgk = y.satir("İzin ücreti: SGK işçi payları");
    sgk.dayanak = kIzinPrimi;
    Deger(sgk, Caption(F::PEKUST), Okunan(F::PEKUST, NumberText(*c.law.premiumCeiling.days).value_or("")));
    Deger(sgk, Caption(F::AYSGKMAT), Tutar(c.input.reportedThisMonth));
    Deger(sgk, "Prime esas tutar", KurusText(x.leaveSgkBaseKurus));
    Deger(sgk, "Sigorta primi",
          Islem(KurusText(x.leaveSgkBaseKurus) + " × %" + Sayi(*c.law.sgkShare.days),
                KurusText(x.leaveInsuranceKurus)));
    Deger(sgk, "İşsizlik sigortası primi",
          Islem(KurusText(x.leaveSgkBaseKurus) + " × %" + Sayi(*c.law.unemploymentShare.days),
                KurusText(x.leaveUnemploymentKurus)));
    sgk.sonuc = KurusText(x.izSgkKurus);

    GelirVergisiSatirlari(y, "İzin ücreti", c.law, x.leaveCarriedBase, x.izBrutKurus - x.izSgkKurus,
                          x.leaveTax, x.izGverKurus);
    DamgaVergisi(y, "İzin ücreti: damga vergisi", x.izBrutKurus, c.law.stampDutyPerMille, x.izDverKurus);
    Odenecek(y, "İzin ücreti", x.izBrutKurus, x.izSgkKurus, x.izGverKurus, x.izDverKurus, x.izNetKurus);
    auto& not_ = y.satir("Not: izin ücreti");
    not_.tur = SatirTuru::Not;
    not_.sonuc =
        "Asgari ücret istisnası uygulanmadı: izin ücretinin gelir ve damga vergisi istisnasız hesaplandı.";
}

// The notes the sheet shows beside its results, as a reader of the paper needs them.
void Notlar(Yazici& y, const Record& r, const YasalDegerler* table, std::optional<int> date, int today) {
    const SonucNotlari notlar = HesapNotlari(r, table, today);
    const std::vector<YasalUyari> uyarilar =
        table && date ? YasalUyarilar(r, *table, *date) : std::vector<YasalUyari>{};
    const auto not_ = [&](std::string baslik, const std::string& metin) {
        auto& s = y.satir("Not: " + std::move(baslik));
        s.tur = SatirTuru::Not;
        s.sonuc = OkuyanaGore(metin);
    };
    for (const YasalUyari& u : uyarilar) not_(u.baslik, u.metin);
    if (uyarilar.empty() && notlar.tavanUyarisi) not_("tavan", *notlar.tavanUyarisi);
    if (notlar.asgariUcretNotu) not_("asgari ücret istisnası", *notlar.asgariUcretNotu);
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

// Where a figure came from, in the reader's words.
std::string Kaynagi(const FigureOrigin& o) {
    switch (o.kind) {
    case FigureOrigin::Table: return "tablodaki değer";
    case FigureOrigin::TypedForCase: return "elle girildi";
    case FigureOrigin::StoredCase: return "arşivdeki hesaptan";
    case FigureOrigin::SettingsFile: break;
    }
    return "ayar dosyasından";
}

// Each legal figure used: its value, where it came from, and, when it is the value in force on the date,
// the period and the sources (the act that sets it first) the table gives.
void YasalDegerSatirlari(Yazici& y, const Record& r, const Result& x, const FigureOrigins& origins,
                         const YasalDegerler* table, std::optional<int> date) {
    for (Field f : KullanilanYasalDegerler(x)) {
        auto& s = y.satir("Yasal değer: " + Baslik(f));
        s.tur = SatirTuru::YasalDeger;
        Deger(s, "Kullanılan", Okunan(f, r.text(f)));
        const FigureOrigin& o = origins[f];
        const YasalDeger* row = table && date ? table->inForce(f, *date) : nullptr;
        if (row && !row->value.empty() && AyniDeger(r.text(f), row->value)) {
            Deger(s, "Dönem", DonemMetni(*row));
            Deger(s, "Kaynaklar", row->sources);
        } else if (o.kind == FigureOrigin::Table && !o.period.empty()) {
            Deger(s, "Dönem", o.period);
            Deger(s, "Kaynaklar", o.sources);
        } else {
            Deger(s, "Yürürlükteki", Yururlukteki(table, date, f));
        }
        s.sonuc = Kaynagi(o);
    }
}

// The result fields as the calculation writes them, against what the sheet holds.
void Farklar(Yazici& y, const Record& r, const Result& x) {
    const std::string& band = r.text(kNoticeBands[static_cast<size_t>(x.band)].field);
    AciklamaSatiri fark{"Uyarı: sayfadaki sonuçlar", {}, {}, {}, SatirTuru::Uyari};
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
                 "olabilir); bu açıklama vakanın yeniden yapılan hesabını verir.";
    y.out.push_back(std::move(fark));
}

} // namespace

const std::string& AciklamaSatiri::deger(const std::string& ad) const {
    static const std::string kEmpty;
    for (const auto& [a, metin] : degerler)
        if (a == ad) return metin;
    return kEmpty;
}

std::string AciklamaParaBirimi(const Record& r, int today) {
    std::string para(ParaBirimi(YasalTarih(r, today).value_or(today)));
    while (!para.empty() && para.back() == '.') para.pop_back();
    return para;
}

Aciklama AciklamaSatirlari(const Record& r, const SheetCase& c, const Result& x, const FigureOrigins& origins,
                           const YasalDegerler* table, int today) {
    Yazici y;
    const std::optional<int> date = YasalTarih(r, today);
    Ozet(y, r, c, x, today);
    HizmetSuresi(y, r, c, x);
    Kidem(y, r, c, x, table, date);
    Ihbar(y, r, c, x);
    Izin(y, c, x);
    Notlar(y, r, table, date, today);
    YasalDegerSatirlari(y, r, x, origins, table, date);
    Farklar(y, r, x);
    return std::move(y.out);
}

Expected<Aciklama> HesapAciklamasi(const Record& r, const YasalDegerler* table, int today) {
    const Hesap* hesap = r.command3Enabled() ? r.hesap() : nullptr;
    if (!hesap) return Problem{"", "", "Hesap açıklaması için önce \"Hesapla\" ile hesap yapılmalı."};
    return AciklamaSatirlari(r, hesap->dava, hesap->sonuc, hesap->kaynaklar, table, today);
}

std::string AciklamaMetni(const Aciklama& aciklama) {
    std::string out;
    for (const AciklamaSatiri& s : aciklama) {
        if (!out.empty()) out += '\n';
        out += s.baslik + '\n';
        for (const auto& [ad, metin] : s.degerler) out += "    " + ad + ": " + metin + '\n';
        if (!s.sonuc.empty()) out += "    = " + s.sonuc + '\n';
        if (!s.dayanak.empty()) out += "    Dayanak: " + s.dayanak + '\n';
    }
    return out;
}

} // namespace pamerol
