// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>

#include "base/conversions.h"
#include "sheet/pamerol.h"
#include "statement/aciklama.h"
#include "tests/common/figures2007.h"

using namespace pamerol;
using F = Field;

namespace {

// A calculated sheet: the figures of the first half of 2007, then the case's own texts, as typed.
struct Calculated {
    RecordedMessages messages;
    Pamerol sheet{messages};
    Calculated(Mode mode, const std::vector<std::pair<F, std::string>>& texts) {
        pamerol::testing::Put2007(sheet.record(), pamerol::testing::Half2007::First);
        sheet.record().setMode(mode);
        for (const auto& [f, t] : texts) sheet.record().write(f, t);
        CopyBracketsToCalculator(sheet.record());
        sheet.hesapla();
    }
    const Record& record() const { return sheet.record(); }
};

const YasalDegerler& Table() {
    static const std::unique_ptr<YasalDegerler> table = [] {
        auto t = YasalDegerler::Load(PAMEROL_SOURCE_DIR "/figures/yasal-degerler.csv");
        EXPECT_TRUE(t) << (t ? "" : t.error().message);
        return std::make_unique<YasalDegerler>(*t);
    }();
    return *table;
}

// The day the premium-day cases are calculated on: their legal figures are those of this day.
constexpr int kToday = 20070914;

const AciklamaSatiri* Line(const Aciklama& a, const std::string& baslik) {
    for (const AciklamaSatiri& s : a)
        if (s.baslik == baslik) return &s;
    return nullptr;
}

// Whether no line names two figures alike (the JSON object of a line keeps one of them only).
bool NamesAreUnique(const Aciklama& a) {
    for (const AciklamaSatiri& s : a) {
        std::set<std::string> names;
        for (const auto& [ad, metin] : s.degerler)
            if (!names.insert(ad).second) {
                ADD_FAILURE() << s.baslik << ": " << ad;
                return false;
            }
    }
    return true;
}

// One figure of a line ("" for the line's result) and its expected text.
struct Expect {
    std::string baslik, ad, metin;
};

struct StatementCase {
    const char* name;
    Mode mode;
    std::vector<std::pair<F, std::string>> texts;
    std::vector<Expect> expected;
    std::vector<std::string> absent; // lines the statement must not have
};

const std::string kSure = "Hizmet süresi: ", kKidem = "Kıdem tazminatı: ", kIhbar = "İhbar tazminatı: ";
const std::string kFark(kYuvarlamaFarki);

// Hand-computed: the README's case, and five cases that together take every branch (the ceiling
// applied or not, each notice band, a tax base over two and over three brackets, premium days, less than
// a year of service), and the legal figures of a case found in the table or typed by hand.
const StatementCase kCases[] = {
    {"readme example: dates, capped wage, fourth band, one bracket",
     Mode::Dates,
     {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::ESUCRET, "2.000,00"}},
     {{kSure + "tarihler", "Çıkıştan sonraki gün", "15.09.2007"},
      {kSure + "tarihler", "", "3 yıl 6 ay 0 gün"},
      {kSure + "takvim günü", "", "1279"},
      {kSure + "Toplam Gün", "", "1279"},
      {kSure + "kıdem yılı, ayı, günü", "", "3 yıl 6 ay 0 gün"},
      {kKidem + "tavan", "Tavan uygulandı", "evet: ücret tavanı aşıyor, tavan esas alındı"},
      {kKidem + "tavan", "Çıkış tarihinde geçerli tavan", "2.030,19"},
      {kKidem + "tavan", "", "1.960,69"},
      {kKidem + "bir yıllık tutar", "", "1.960,69"},
      {kKidem + "yıllar payı", "", "5.882,07"},
      {kKidem + "aylar payı", "", "980,35"},
      {kKidem + "günler payı", "", "0,00"},
      {kKidem + "brüt", kFark, "0,00"},
      {kKidem + "brüt", "", "6.862,42"},
      {kKidem + "gelir vergisine tabi kısım", "", "yok: tamamı istisna"},
      {kKidem + "damga vergisi", "", "45,29"},
      {kKidem + "ödenecek", "", "6.817,13"},
      {kIhbar + "hizmet ayı", "", "42 ay 0 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "37 Ay Üzeri İçin"},
      {kIhbar + "ihbar süresi", "", "56"},
      {kIhbar + "günlük ücret", "", "66,67"},
      {kIhbar + "brüt", "", "3.733,33"},
      {kIhbar + "damga vergisi", "", "24,64"},
      {kIhbar + "gelir vergisi matrahı", "", "1. dilimden başlar"},
      {kIhbar + "gelir vergisi 1. dilim", "Bu dilimdeki matrah", "3.733,33"},
      {kIhbar + "gelir vergisi 1. dilim", "", "560,00"},
      {kIhbar + "gelir vergisi", "", "560,00"},
      {kIhbar + "ödenecek", "", "3.148,69"},
      // The exit date's ceiling is 2.030,19 and its stamp duty 6 per mille: both were typed.
      {"Yasal değer: Kıdem Tazminatı Tavanı", "", "elle girildi"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Tablodaki", "2.030,19"},
      {"Yasal değer: Damga Vergisi Oranı (Binde)", "", "elle girildi"},
      {"Yasal değer: 37 Ay Üzeri İçin", "", "tablodaki değer"},
      {"Yasal değer: Gelir Vergisi 1. Dilim Oranı", "Dönem", "01.01.2007 – 31.12.2007"},
      {"Not: Kıdem Tazminatı Tavanı", "",
       "Çıkış tarihinde (14.09.2007) geçerli Kıdem Tazminatı Tavanı 2.030,19; hesapta 1.960,69 kullanıldı."}},
     // The ceiling's warning above stands for the sheet's note on it: no second note.
     {kIhbar + "gelir vergisi 2. dilim", "Uyarı: sayfadaki sonuçlar", "Not: asgari ücret istisnası",
      "Not: tavan", kSure + "devreden gün", kKidem + "gelir vergisi"}},
    {"capped wage, third band, carried base over two brackets",
     Mode::Dates,
     {{F::GTarih, "01.03.2005"},
      {F::CTarih, "31.08.2007"},
      {F::ESUCRET, "2.500,00"},
      {F::IUCRET, "500,00"},
      {F::DGVMAT, "5.000,00"}},
     {{kSure + "Toplam Gün", "", "914"},
      {kSure + "kıdem yılı, ayı, günü", "", "2 yıl 6 ay 0 gün"},
      {kKidem + "aylık ücret", "", "3.000,00"},
      {kKidem + "tavan", "", "1.960,69"},
      {kKidem + "yıllar payı", "", "3.921,38"},
      {kKidem + "aylar payı", "", "980,35"},
      {kKidem + "brüt", "", "4.901,73"},
      {kKidem + "damga vergisi", "", "32,35"},
      {kKidem + "ödenecek", "", "4.869,38"},
      {kIhbar + "hizmet ayı", "", "30 ay 0 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "19-36 Ay İçin"},
      {kIhbar + "ihbar süresi", "", "42"},
      {kIhbar + "günlük ücret", "", "100,00"},
      {kIhbar + "brüt", "", "4.200,00"},
      {kIhbar + "gelir vergisi matrahı", "Yıl içindeki toplam", "9.200,00"},
      {kIhbar + "gelir vergisi 1. dilim", "Bu dilimdeki matrah", "2.500,00"},
      {kIhbar + "gelir vergisi 1. dilim", "", "375,00"},
      {kIhbar + "gelir vergisi 2. dilim", "Dilim", "7.500,00 – 19.000,00"},
      {kIhbar + "gelir vergisi 2. dilim", "Bu dilimdeki matrah", "1.700,00"},
      {kIhbar + "gelir vergisi 2. dilim", "", "340,00"},
      {kIhbar + "gelir vergisi", "", "715,00"},
      {kIhbar + "damga vergisi", "", "27,72"},
      {kIhbar + "ödenecek", "", "3.457,28"}},
     {kIhbar + "gelir vergisi 3. dilim"}},
    {"premium days, wage under the ceiling, second band, three brackets",
     Mode::PremiumDays,
     {{F::DGUN, "100"},
      {F::TGUN, "300"},
      {F::ESUCRET, "1.500,00"},
      {F::DGVMAT, "800,00"},
      {F::VD1, "1000"},
      {F::VD2, "1500"}},
     {{kSure + "prim günleri", "", "400"},
      {kSure + "kıdem yılı, ayı, günü", "", "1 yıl 1 ay 10 gün"},
      {kKidem + "tavan", "Tavan uygulandı", "hayır: ücret tavanı aşmıyor, ücret esas alındı"},
      {kKidem + "tavan", "Hesap gününde geçerli tavan", "2.030,19"},
      {kKidem + "bir yıllık tutar", "", "1.500,00"},
      {kKidem + "yıllar payı", "", "1.500,00"},
      {kKidem + "aylar payı", "", "125,00"},
      {kKidem + "günler payı", "", "41,67"},
      {kKidem + "brüt", "", "1.666,67"},
      {kKidem + "damga vergisi", "", "11,00"},
      {kKidem + "ödenecek", "", "1.655,67"},
      {kIhbar + "hizmet ayı", "", "13 ay 10 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "7-18 Ay İçin"},
      {kIhbar + "ihbar süresi", "", "28"},
      {kIhbar + "brüt", "", "1.400,00"},
      {kIhbar + "damga vergisi", "", "9,24"},
      {kIhbar + "gelir vergisi 1. dilim", "Bu dilimdeki matrah", "200,00"},
      {kIhbar + "gelir vergisi 2. dilim", "Bu dilimdeki matrah", "500,00"},
      {kIhbar + "gelir vergisi 3. dilim", "Dilim", "1.500,00 – 43.000,00"},
      {kIhbar + "gelir vergisi 3. dilim", "Bu dilimdeki matrah", "700,00"},
      {kIhbar + "gelir vergisi 3. dilim", "", "189,00"},
      {kIhbar + "gelir vergisi", "1. dilim", "30,00"},
      {kIhbar + "gelir vergisi", "2. dilim", "100,00"},
      {kIhbar + "gelir vergisi", "", "319,00"},
      {kIhbar + "ödenecek", "", "1.071,76"},
      {"Yasal değer: Gelir Vergisi 2. Dilim Sınırı", "", "elle girildi"},
      {"Yasal değer: Gelir Vergisi 3. Dilim Sınırı", "", "tablodaki değer"}},
     {kSure + "her tam 360 gün için 5 gün", kIhbar + "gelir vergisi 4. dilim"}},
    {"under a year: no severance, first band",
     Mode::Dates,
     {{F::GTarih, "15.01.2007"}, {F::CTarih, "10.03.2007"}, {F::ESUCRET, "1.200,00"}},
     {{kSure + "tarihler", "", "0 yıl 1 ay 24 gün"},
      {kSure + "takvim günü", "", "55"},
      {kSure + "Toplam Gün", "", "55"},
      {kKidem + "hak", "", "Hak Etmemiş!"},
      {kIhbar + "hizmet ayı", "", "1 ay 24 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "0-6 Ay İçin"},
      {kIhbar + "ihbar süresi", "", "14"},
      {kIhbar + "brüt", "", "560,00"},
      {kIhbar + "damga vergisi", "", "3,70"},
      {kIhbar + "gelir vergisi", "", "84,00"},
      {kIhbar + "ödenecek", "", "472,30"}},
     {kKidem + "yıllar payı", kKidem + "brüt", kKidem + "ödenecek"}},
    {"a year to the day, the wage equal to the ceiling, every figure the table's",
     Mode::Dates,
     {{F::GTarih, "15.09.2006"},
      {F::CTarih, "14.09.2007"},
      {F::ESUCRET, "2.030,19"},
      {F::TAV, "2030,19"},
      {F::DVOR, "6"}},
     {{kSure + "takvim günü", "", "365"},
      {kSure + "Toplam Gün", "", "365"},
      {kKidem + "tavan", "Tavan uygulandı", "hayır: ücret tavanı aşmıyor, ücret esas alındı"},
      {kKidem + "brüt", "", "2.030,19"},
      {kKidem + "damga vergisi", "", "12,18"},
      {kKidem + "ödenecek", "", "2.018,01"},
      {kIhbar + "ihbar süresi", "Dilim", "7-18 Ay İçin"},
      {kIhbar + "brüt", "", "1.894,84"},
      {kIhbar + "damga vergisi", "", "11,37"},
      {kIhbar + "gelir vergisi", "", "284,23"},
      {kIhbar + "ödenecek", "", "1.599,24"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "", "tablodaki değer"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Dönem", "01.07.2007 – 31.12.2007"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Kaynaklar",
       "mahirgencer.com/pratikbilgiler/haber_oku.php?haber_id=10"},
      {"Yasal değer: Damga Vergisi Oranı (Binde)", "Dönem", "01.01.2005 – 31.12.2009"},
      {"Yasal değer: Kıdem Günü (1 Yıl İçin)", "Dönem", "01.01.2005 – yeni düzenlemeye kadar"},
      {"Yasal değer: 7-18 Ay İçin", "", "tablodaki değer"}},
     {"Not: Kıdem Tazminatı Tavanı", "Yasal değer: Gelir Vergisi 2. Dilim Oranı"}},
    {"carried days, the notice pay into the fifth bracket, the ceiling typed beyond the kuruş",
     Mode::Dates,
     {{F::GTarih, "15.03.2004"},
      {F::CTarih, "14.09.2007"},
      {F::ESUCRET, "2.000,00"},
      {F::DGUN, "100"},
      {F::TAV, "2030,191"},
      {F::VD1, "100"},
      {F::VD2, "200"},
      {F::VD3, "300"},
      {F::VD4, "400"},
      {F::O5, "40"}},
     {{kSure + "tarihler", "", "3 yıl 6 ay 0 gün"},
      {kSure + "devreden gün", "", "0 yıl 3 ay 10 gün"},
      {kSure + "kıdem yılı, ayı, günü", "", "3 yıl 9 ay 10 gün"},
      {kSure + "Toplam Gün", "", "1379"},
      {kIhbar + "gelir vergisi 5. dilim", "Oran (%)", "40"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "", "tablodaki değer"}},
     {kIhbar + "gelir vergisi 6. dilim", "Not: Kıdem Tazminatı Tavanı"}},
};

} // namespace

TEST(HesapAciklamasi, HandComputedCases) {
    for (const StatementCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Calculated calc(c.mode, c.texts);
        ASSERT_TRUE(calc.record().command3Enabled());
        const Expected<Aciklama> a = HesapAciklamasi(calc.record(), &Table(), kToday);
        ASSERT_TRUE(a) << a.error().message;
        for (const Expect& e : c.expected) {
            const AciklamaSatiri* s = Line(*a, e.baslik);
            ASSERT_TRUE(s) << e.baslik;
            EXPECT_EQ(e.ad.empty() ? s->sonuc : s->deger(e.ad), e.metin) << e.baslik << " / " << e.ad;
        }
        for (const std::string& baslik : c.absent) EXPECT_FALSE(Line(*a, baslik)) << baslik;
    }
}

TEST(HesapAciklamasi, OnlyForResultsShownAndNamesAStaleSheet) {
    Calculated calc(Mode::Dates,
                    {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::ESUCRET, "2000"}});
    Record& r = calc.sheet.record();
    // A result that the calculation would not write (a case kept by an older release): named, not hidden.
    r.write(F::TGUNU, "1276");
    const Expected<Aciklama> a = HesapAciklamasi(r, nullptr, kToday);
    ASSERT_TRUE(a);
    const AciklamaSatiri* fark = Line(*a, "Uyarı: sayfadaki sonuçlar");
    ASSERT_TRUE(fark);
    EXPECT_EQ(fark->deger("Toplam Gün (Kıdem)"), "sayfada \"1276\", bu hesapta \"1279\"");
    r.write(F::TIGUNU, "1261");
    r.write(F::IDVER, "1,00");
    r.write(F::DVER, "1,00");
    EXPECT_TRUE(NamesAreUnique(*HesapAciklamasi(r, nullptr, kToday)));
    // Without the table every figure is named as not checked.
    EXPECT_EQ(Line(*a, "Yasal değer: Kıdem Tazminatı Tavanı")->deger("Tablodaki"),
              "yasal değerler tablosu okunamadı");
    BOSALT(r);
    EXPECT_FALSE(HesapAciklamasi(r, nullptr, kToday));
}

// Every line comes out at the tabs' figures: for random cases the shares, the taxes and the roundings
// add up to the shown totals, and a rounding is never more than the roundings it stands for.
TEST(HesapAciklamasi, PartsReconcileWithTheTabs) {
    std::mt19937 rng(25);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto kurus = [](const std::string& t) {
        auto v = ParseNumber(t);
        EXPECT_TRUE(v) << "\"" << t << "\"";
        return v ? std::llround(*v * 100) : 0LL;
    };
    for (int n = 0; n < 2000; ++n) {
        const bool dates = pick(0, 3) != 0;
        char entry[16], exit[16];
        const int year = pick(1990, 2006);
        std::snprintf(entry, sizeof entry, "%02d.%02d.%04d", pick(1, 28), pick(1, 12), year);
        std::snprintf(exit, sizeof exit, "%02d.%02d.%04d", pick(1, 28), pick(1, 12), year + pick(1, 17));
        const std::string wage = NumberText(pick(1, 2000000) / 100.0).value();
        std::vector<std::pair<F, std::string>> texts{
            {F::ESUCRET, wage},
            {F::IUCRET, NumberText(pick(0, 50000) / 100.0).value()},
            {F::DGVMAT, NumberText(pick(0, 6000000) / 100.0).value()},
            {F::DVOR, NumberText(pick(1, 150) / 10.0).value()},
            {F::TAV, NumberText(pick(100000, 900000) / 100.0).value()}};
        if (dates) {
            texts.insert(texts.end(),
                         {{F::GTarih, entry}, {F::CTarih, exit}, {F::DGUN, std::to_string(pick(0, 400))}});
        } else {
            texts.insert(texts.end(), {{F::DGUN, std::to_string(pick(0, 3000))},
                                       {F::TGUN, std::to_string(pick(0, 9000))}});
        }
        Calculated calc(dates ? Mode::Dates : Mode::PremiumDays, texts);
        const Record& r = calc.record();
        ASSERT_TRUE(r.command3Enabled()) << n;
        const Expected<Aciklama> a = HesapAciklamasi(r, &Table(), kToday);
        ASSERT_TRUE(a) << n;
        SCOPED_TRACE(AciklamaMetni(*a));
        auto line = [&](const std::string& baslik) -> const AciklamaSatiri& {
            const AciklamaSatiri* s = Line(*a, baslik);
            EXPECT_TRUE(s) << baslik;
            static const AciklamaSatiri kNone;
            return s ? *s : kNone;
        };
        auto sum = [&](const AciklamaSatiri& s, std::initializer_list<std::pair<const char*, int>> parts) {
            long long total = 0;
            for (auto [ad, sign] : parts) total += sign * kurus(s.deger(ad));
            return total;
        };
        // An income tax's bracket lines add up to its total, their slices to the amount taxed.
        auto taxLines = [&](const std::string& onek, const std::string& total, const std::string& base) {
            const auto& gv = line(onek + "gelir vergisi");
            EXPECT_EQ(gv.sonuc, total);
            long long taxes = 0, slices = 0;
            int touched = 0;
            for (int k = 1; k <= 6; ++k)
                if (const AciklamaSatiri* d =
                        Line(*a, onek + "gelir vergisi " + std::to_string(k) + ". dilim")) {
                    EXPECT_EQ(d->sonuc, gv.deger(std::to_string(k) + ". dilim"));
                    taxes += kurus(d->sonuc);
                    slices += kurus(d->deger("Bu dilimdeki matrah"));
                    ++touched;
                }
            EXPECT_EQ(taxes + kurus(gv.deger(kFark)), kurus(gv.sonuc));
            EXPECT_LE(std::abs(kurus(gv.deger(kFark))), touched);
            EXPECT_LE(std::abs(slices - kurus(base)), touched);
        };
        ASSERT_FALSE(Line(*a, "Uyarı: sayfadaki sonuçlar"));
        EXPECT_TRUE(NamesAreUnique(*a));

        // Service: the day counts follow from each other and end at the tabs' figures.
        if (dates) {
            const auto& toplam = line(kSure + "Toplam Gün");
            EXPECT_EQ(toplam.sonuc, r.text(F::TGUNU));
            EXPECT_EQ(toplam.sonuc, r.text(F::TIGUNU));
            EXPECT_EQ(kurus(toplam.sonuc), sum(toplam, {{"Takvim günü", 1}, {"Devreden Prim Günü", 1}}));
        } else {
            EXPECT_EQ(line(kSure + "prim günleri").sonuc, r.text(F::TGUNU));
        }
        const auto& kyg = line(kSure + "kıdem yılı, ayı, günü");
        EXPECT_EQ(kyg.deger("Kıdem Yılı"), r.text(F::KYILI));
        EXPECT_EQ(kyg.deger("Kıdem Ayı"), r.text(F::KAYI));
        EXPECT_EQ(kyg.deger("Kıdem Günü"), r.text(F::KGUNU));

        // Severance.
        if (!r.text(F::BKTAZ).empty()) {
            const auto& brut = line(kKidem + "brüt");
            EXPECT_EQ(brut.sonuc, r.text(F::BKTAZ));
            long long shares = 0;
            for (auto [pay, ad] : {std::pair{"yıllar payı", "Yıllar payı"},
                                   {"aylar payı", "Aylar payı"},
                                   {"günler payı", "Günler payı"}}) {
                EXPECT_EQ(line(kKidem + pay).sonuc, brut.deger(ad));
                shares += kurus(line(kKidem + pay).sonuc);
            }
            EXPECT_EQ(shares + kurus(brut.deger(kFark)), kurus(brut.sonuc));
            EXPECT_LE(std::abs(kurus(brut.deger(kFark))), 2);
            EXPECT_EQ(line(kKidem + "yıllar payı").sonuc,
                      AmountText(r.number(F::KYILI).value() * r.yillikKidemTutari).value());
            const auto& damga = line(kKidem + "damga vergisi");
            EXPECT_EQ(damga.sonuc, r.text(F::DVER));
            EXPECT_EQ(AmountText(ParseNumber(brut.sonuc).value() * r.number(F::DVOR).value() / 1000),
                      damga.sonuc);
            if (r.text(F::KGVER) != "0,00")
                taxLines(kKidem, r.text(F::KGVER), line(kKidem + "gelir vergisine tabi kısım").sonuc);
            const auto& net = line(kKidem + "ödenecek");
            EXPECT_EQ(net.sonuc, r.text(F::NET));
            EXPECT_EQ(sum(net, {{"Brüt", 1}, {"Gelir Vergisi", -1}, {"Damga Vergisi", -1}}),
                      kurus(net.sonuc));
        } else {
            EXPECT_EQ(line(kKidem + "hak").sonuc, "Hak Etmemiş!");
        }

        // Notice.
        EXPECT_EQ(line(kIhbar + "ihbar süresi").sonuc, r.text(F::HIGUNU));
        EXPECT_EQ(line(kIhbar + "brüt").sonuc, r.text(F::BITZM));
        EXPECT_EQ(line(kIhbar + "damga vergisi").sonuc, r.text(F::IDVER));
        taxLines(kIhbar, r.text(F::IGVER), r.text(F::BITZM));
        const auto& net = line(kIhbar + "ödenecek");
        EXPECT_EQ(net.sonuc, r.text(F::ITAZM));
        EXPECT_EQ(sum(net, {{"Brüt", 1}, {"Gelir Vergisi", -1}, {"Damga Vergisi", -1}}), kurus(net.sonuc));
        if (::testing::Test::HasFailure()) return;
    }
}
