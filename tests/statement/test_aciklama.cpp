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
// a year of service), the legal figures of a case found in the table or read from the settings file, and
// an exit whose ceiling the table lacks. A figure expected "" is one the line does not have.
const StatementCase kCases[] = {
    {"readme example: dates, capped wage, fourth band, one bracket",
     Mode::Dates,
     {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::ESUCRET, "2.000,00"}},
     {{"Özet: para birimi", "", "YTL"},
      {"Özet: hizmet süresi", "", "3 yıl 6 ay 0 gün"},
      {"Özet: kıdem tazminatı", "Brüt", "6.862,42"},
      {"Özet: kıdem tazminatı", "SGK işçi payı", "—"},
      {"Özet: kıdem tazminatı", "Damga vergisi", "45,29"},
      {"Özet: kıdem tazminatı", "", "6.817,13"},
      {"Özet: ihbar tazminatı", "Gelir vergisi", "560,00"},
      {"Özet: ihbar tazminatı", "", "3.148,69"},
      {"Özet: toplam", "Brüt", "10.595,75"},
      {"Özet: toplam", "", "9.965,82"},
      {kSure + "tarihler", "Giriş Tarihi", "15.03.2004"},
      {kSure + "tarihler", "", "3 yıl 6 ay 0 gün"},
      {kSure + "Toplam Gün", "Takvim günü", "1279"},
      {kSure + "Toplam Gün", "", "1279"},
      {kSure + "kıdem yılı, ayı, günü", "", "3 yıl 6 ay 0 gün"},
      {kKidem + "tavan", "Tavan uygulandı", "evet: ücret tavanı aşıyor, tavan esas alındı"},
      {kKidem + "tavan", "Çıkış tarihinde geçerli tavan", "2.030,19"},
      {kKidem + "tavan", "Hesapta kullanılan tavan", "1.960,69"},
      {kKidem + "tavan", "", "1.960,69"},
      {kKidem + "brüt", "Bir yıllık tutar", "30 × 1.960,69 ÷ 30 = 1.960,69"},
      {kKidem + "brüt", "Yıllar payı", "3 × 1.960,69 = 5.882,07"},
      {kKidem + "brüt", "Aylar payı", "6 × 1.960,69 ÷ 12 = 980,35"},
      {kKidem + "brüt", "Günler payı", "0 × 1.960,69 ÷ 365 = 0,00"},
      {kKidem + "brüt", kFark, ""},
      {kKidem + "brüt", "", "6.862,42"},
      {kKidem + "gelir vergisi istisnası", "Bir yıllık istisna", "30 × 1.960,69 ÷ 30 = 1.960,69"},
      {kKidem + "gelir vergisi istisnası", "", "6.862,42"},
      {kKidem + "gelir vergisine tabi kısım", "", "yok: tamamı istisna"},
      {kKidem + "damga vergisi", "Hesap", "6.862,42 × binde 6,6 = 45,29"},
      {kKidem + "damga vergisi", "", "45,29"},
      {kKidem + "ödenecek", "Hesap", "6.862,42 − 0,00 − 45,29 = 6.817,13"},
      {kKidem + "ödenecek", "", "6.817,13"},
      {kIhbar + "ihbar süresi", "Hizmet", "42 ay 0 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "37 Ay Üzeri İçin (36 ayı aşan)"},
      {kIhbar + "ihbar süresi", "", "56"},
      {kIhbar + "brüt", "Günlük ücret", "2.000,00 ÷ 30 = 66,67"},
      {kIhbar + "brüt", "", "3.733,33"},
      {kIhbar + "damga vergisi", "", "24,64"},
      {kIhbar + "gelir vergisi", "Bu ödemenin matrahı", "3.733,33"},
      {kIhbar + "gelir vergisi", "1. dilim: 0,00 – 7.500,00", "3.733,33 × %15 = 560,00"},
      {kIhbar + "gelir vergisi", "2. dilim: 7.500,00 – 19.000,00", ""},
      {kIhbar + "gelir vergisi", "", "560,00"},
      {kIhbar + "ödenecek", "", "3.148,69"},
      // The exit date's ceiling is 2.030,19 and its stamp duty 6 per mille: the settings file had others.
      {"Yasal değer: Kıdem Tazminatı Tavanı", "", "ayar dosyasından"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Yürürlükteki", "2.030,19"},
      {"Yasal değer: Damga Vergisi Oranı (Binde)", "", "ayar dosyasından"},
      {"Yasal değer: İhbar Süresi (37 Ay Üzeri İçin)", "", "ayar dosyasından"},
      {"Yasal değer: İhbar Süresi (37 Ay Üzeri İçin)", "Kaynaklar",
       "4857 s. K. m.17 turkhukuksitesi.com/mevzuat.php?mid=1005 sgkbilgisi.com iscidunyasi.com "
       "sgkhakkinda.com"},
      {"Yasal değer: Gelir Vergisi 1. Dilim Oranı", "Dönem", "01.01.2007 – 31.12.2007"},
      {"Not: Kıdem Tazminatı Tavanı", "",
       "Çıkış tarihinde (14.09.2007) geçerli Kıdem Tazminatı Tavanı 2.030,19; hesapta 1.960,69 kullanıldı."}},
     // The ceiling's warning above stands for the sheet's note on it: no second note.
     {"Uyarı: sayfadaki sonuçlar", "Not: asgari ücret istisnası", "Not: tavan", kSure + "devreden gün",
      kKidem + "gelir vergisi", "Özet: izin ücreti"}},
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
      {kKidem + "brüt", "Yıllar payı", "2 × 1.960,69 = 3.921,38"},
      {kKidem + "brüt", "Aylar payı", "6 × 1.960,69 ÷ 12 = 980,35"},
      {kKidem + "brüt", "", "4.901,73"},
      {kKidem + "damga vergisi", "", "32,35"},
      {kKidem + "ödenecek", "", "4.869,38"},
      {kIhbar + "ihbar süresi", "Hizmet", "30 ay 0 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "19-36 Ay İçin (18 ayı aşan, 36 aya kadar (36 ay dahil))"},
      {kIhbar + "ihbar süresi", "", "42"},
      {kIhbar + "brüt", "Günlük ücret", "3.000,00 ÷ 30 = 100,00"},
      {kIhbar + "brüt", "", "4.200,00"},
      {kIhbar + "gelir vergisi", "Yıl içindeki toplam", "9.200,00"},
      {kIhbar + "gelir vergisi", "1. dilim: 0,00 – 7.500,00", "2.500,00 × %15 = 375,00"},
      {kIhbar + "gelir vergisi", "2. dilim: 7.500,00 – 19.000,00", "1.700,00 × %20 = 340,00"},
      {kIhbar + "gelir vergisi", "3. dilim: 19.000,00 – 43.000,00", ""},
      {kIhbar + "gelir vergisi", "", "715,00"},
      {kIhbar + "damga vergisi", "", "27,72"},
      {kIhbar + "ödenecek", "", "3.457,28"}},
     {}},
    {"premium days, wage under the ceiling, second band, three brackets",
     Mode::PremiumDays,
     {{F::DGUN, "100"},
      {F::TGUN, "300"},
      {F::ESUCRET, "1.500,00"},
      {F::DGVMAT, "800,00"},
      {F::VD1, "1000"},
      {F::VD2, "1500"}},
     {{"Özet: hizmet süresi", "Prim günü", "400"},
      {kSure + "prim günleri", "", "400"},
      {kSure + "kıdem yılı, ayı, günü", "", "1 yıl 1 ay 10 gün"},
      {kKidem + "tavan", "Tavan uygulandı", "hayır: ücret tavanı aşmıyor, ücret esas alındı"},
      {kKidem + "tavan", "Hesap gününde geçerli tavan", "2.030,19"},
      {kKidem + "brüt", "Bir yıllık tutar", "30 × 1.500,00 ÷ 30 = 1.500,00"},
      {kKidem + "brüt", "Yıllar payı", "1 × 1.500,00 = 1.500,00"},
      {kKidem + "brüt", "Aylar payı", "1 × 1.500,00 ÷ 12 = 125,00"},
      {kKidem + "brüt", "Günler payı", "10 × 1.500,00 ÷ 360 = 41,67"},
      {kKidem + "brüt", "", "1.666,67"},
      {kKidem + "damga vergisi", "", "11,00"},
      {kKidem + "ödenecek", "", "1.655,67"},
      {kIhbar + "ihbar süresi", "Hizmet", "13 ay 10 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "7-18 Ay İçin (6 ay ile 18 ay arası (18 ay dahil))"},
      {kIhbar + "ihbar süresi", "", "28"},
      {kIhbar + "brüt", "", "1.400,00"},
      {kIhbar + "damga vergisi", "", "9,24"},
      {kIhbar + "gelir vergisi", "1. dilim: 0,00 – 1.000,00", "200,00 × %15 = 30,00"},
      {kIhbar + "gelir vergisi", "2. dilim: 1.000,00 – 1.500,00", "500,00 × %20 = 100,00"},
      {kIhbar + "gelir vergisi", "3. dilim: 1.500,00 – 43.000,00", "700,00 × %27 = 189,00"},
      {kIhbar + "gelir vergisi", "4. dilim: 43.000,00 – 999.999.999,00", ""},
      {kIhbar + "gelir vergisi", "", "319,00"},
      {kIhbar + "ödenecek", "", "1.071,76"},
      {"Yasal değer: Gelir Vergisi 2. Dilim Sınırı", "", "ayar dosyasından"},
      {"Yasal değer: Gelir Vergisi 2. Dilim Sınırı", "Yürürlükteki", "19.000,00"},
      {"Yasal değer: Gelir Vergisi 3. Dilim Sınırı", "Kaynaklar", "yalcincapanik.com"}},
     {kSure + "tarihler"}},
    {"under a year: no severance, first band",
     Mode::Dates,
     {{F::GTarih, "15.01.2007"}, {F::CTarih, "10.03.2007"}, {F::ESUCRET, "1.200,00"}},
     {{"Özet: kıdem tazminatı", "", "Hak Etmemiş! (1 yıldan az hizmet)"},
      {"Özet: kıdem tazminatı", "Brüt", ""},
      {"Özet: ihbar tazminatı", "", "472,30"},
      {kSure + "tarihler", "", "0 yıl 1 ay 24 gün"},
      {kSure + "Toplam Gün", "", "55"},
      {kKidem + "hak", "", "Hak Etmemiş!"},
      {kIhbar + "ihbar süresi", "Hizmet", "1 ay 24 gün"},
      {kIhbar + "ihbar süresi", "Dilim", "0-6 Ay İçin (6 aydan az)"},
      {kIhbar + "ihbar süresi", "", "14"},
      {kIhbar + "brüt", "", "560,00"},
      {kIhbar + "damga vergisi", "", "3,70"},
      {kIhbar + "gelir vergisi", "", "84,00"},
      {kIhbar + "ödenecek", "", "472,30"}},
     {kKidem + "brüt", kKidem + "ödenecek", "Özet: toplam"}},
    {"a year to the day, the wage equal to the ceiling, every figure the table's",
     Mode::Dates,
     {{F::GTarih, "15.09.2006"},
      {F::CTarih, "14.09.2007"},
      {F::ESUCRET, "2.030,19"},
      {F::TAV, "2030,19"},
      {F::DVOR, "6"}},
     {{kSure + "Toplam Gün", "", "365"},
      {kKidem + "tavan", "Tavan uygulandı", "hayır: ücret tavanı aşmıyor, ücret esas alındı"},
      {kKidem + "tavan", "Hesapta kullanılan tavan", ""},
      {kKidem + "brüt", "", "2.030,19"},
      {kKidem + "damga vergisi", "Hesap", "2.030,19 × binde 6 = 12,18"},
      {kKidem + "ödenecek", "", "2.018,01"},
      {kIhbar + "brüt", "", "1.894,84"},
      {kIhbar + "damga vergisi", "", "11,37"},
      {kIhbar + "gelir vergisi", "", "284,23"},
      {kIhbar + "ödenecek", "", "1.599,24"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "", "ayar dosyasından"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Dönem", "01.07.2007 – 31.12.2007"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Kaynaklar",
       "mahirgencer.com/pratikbilgiler/haber_oku.php?haber_id=10"},
      {"Yasal değer: Damga Vergisi Oranı (Binde)", "Dönem", "01.01.2005 – 31.12.2009"},
      {"Yasal değer: Damga Vergisi Oranı (Binde)", "Kaynaklar",
       "488 s. K. (1) sayılı tablo IV-1-b haber16.org kanberkilinc.com.tr"},
      {"Yasal değer: Kıdem Günü (1 Yıl İçin)", "Dönem", "01.01.2005 – yeni düzenlemeye kadar"},
      {"Yasal değer: İhbar Süresi (7-18 Ay İçin)", "", "ayar dosyasından"}},
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
     {{"Özet: hizmet süresi", "Devreden Prim Günü", "100"},
      {kSure + "tarihler", "", "3 yıl 6 ay 0 gün"},
      {kSure + "devreden gün", "", "0 yıl 3 ay 10 gün"},
      {kSure + "kıdem yılı, ayı, günü", "", "3 yıl 9 ay 10 gün"},
      {kSure + "Toplam Gün", "", "1379"},
      {kIhbar + "gelir vergisi", "4. dilim: 300,00 – 400,00", "100,00 × %35 = 35,00"},
      {kIhbar + "gelir vergisi", "5. dilim: 400,00 – 999.999.999,00", "3.333,33 × %40 = 1.333,33"},
      {kIhbar + "gelir vergisi", "", "1.430,33"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Kullanılan", "2.030,19"},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Dönem", "01.07.2007 – 31.12.2007"}},
     {"Not: Kıdem Tazminatı Tavanı"}},
    {"an exit whose ceiling the table lacks: the note speaks to the paper's reader",
     Mode::Dates,
     {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2008"}, {F::ESUCRET, "1.500,00"}},
     {{"Özet: para birimi", "", "YTL"},
      {kKidem + "tavan", "Çıkış tarihinde geçerli tavan", "tabloda yok"},
      {"Not: Kıdem Tazminatı Tavanı", "",
       "Çıkış tarihindeki (14.09.2008) Kıdem Tazminatı Tavanı tabloda yok; hesapta 1.960,69 kullanıldı."},
      {"Yasal değer: Kıdem Tazminatı Tavanı", "Yürürlükteki", "tabloda yok"}},
     {}},
};

// The legal basis of each step, by the step; a termination reason's articles come from its row.
const struct {
    const char* baslik;
    const char* dayanak;
} kCitations[] = {
    {"Fesih nedeni", "1475 sayılı İş Kanunu m. 14; 4857 sayılı İş Kanunu m. 17"},
    {"Özet: kıdem tazminatı", "5510 sayılı Kanun m. 80"},
    {"Hizmet süresi: tarihler", "1475 sayılı İş Kanunu m. 14"},
    {"Kıdem tazminatı: tavan", "1475 sayılı İş Kanunu m. 14/11"},
    {"Kıdem tazminatı: brüt", "1475 sayılı İş Kanunu m. 14"},
    {"Kıdem tazminatı: gelir vergisi istisnası", "193 sayılı GVK m. 25/7"},
    {"Kıdem tazminatı: damga vergisi", "488 sayılı DVK (1) sayılı tablo IV-1-b"},
    {"Kıdem tazminatı: ödenecek", "5510 sayılı Kanun m. 80"},
    {"İhbar tazminatı: ihbar süresi", "4857 sayılı İş Kanunu m. 17"},
    {"İhbar tazminatı: brüt", "4857 sayılı İş Kanunu m. 17"},
    {"İhbar tazminatı: gelir vergisi", "193 sayılı GVK m. 61, 94, 103"},
    {"İhbar tazminatı: ödenecek", "5510 sayılı Kanun m. 80"},
    {"İzin ücreti: brüt", "4857 sayılı İş Kanunu m. 59"},
    {"İzin ücreti: SGK işçi payları", "5510 sayılı Kanun m. 80, 81, 82; 4447 sayılı Kanun m. 49"},
    {"İzin ücreti: gelir vergisi", "193 sayılı GVK m. 61, 94, 103"},
    {"İzin ücreti: damga vergisi", "488 sayılı DVK (1) sayılı tablo IV-1-b"},
};

// What a paper's reader must never find: a number with more than two decimals, an amount of four or more
// digits not grouped, and the window's words to the clerk.
std::vector<std::string> PaperFaults(const Aciklama& a) {
    std::vector<std::string> faults;
    const auto check = [&](const std::string& where, const std::string& t) {
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i] != ',' || i == 0 || !std::isdigit(static_cast<unsigned char>(t[i - 1]))) continue;
            size_t decimals = 0, digits = 0;
            while (i + 1 + decimals < t.size() &&
                   std::isdigit(static_cast<unsigned char>(t[i + 1 + decimals])))
                ++decimals;
            while (digits < i && std::isdigit(static_cast<unsigned char>(t[i - 1 - digits]))) ++digits;
            if (decimals > 2) faults.push_back(where + ": more than two decimals: " + t);
            if (digits > 3) faults.push_back(where + ": not grouped: " + t);
        }
        for (const char* word : {"sekme", "kontrol edin", "hesaplayın", "Yuvarlanmamış", "--ayar"})
            if (t.find(word) != std::string::npos) faults.push_back(where + ": " + word + ": " + t);
    };
    for (const AciklamaSatiri& s : a) {
        check(s.baslik, s.sonuc);
        for (const auto& [ad, metin] : s.degerler) check(s.baslik + " / " + ad, metin);
    }
    return faults;
}

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
        // The summary heads the statement, and every step names the law it rests on.
        EXPECT_EQ(a->front().baslik, "Özet: para birimi");
        bool steps = false;
        for (const AciklamaSatiri& s : *a) {
            steps = steps || s.tur != SatirTuru::Ozet;
            EXPECT_TRUE(s.tur != SatirTuru::Ozet || !steps) << s.baslik << ": a summary line after the steps";
            if (s.tur == SatirTuru::Adim) {
                EXPECT_FALSE(s.dayanak.empty()) << s.baslik;
            }
        }
        for (const std::string& fault : PaperFaults(*a)) ADD_FAILURE() << fault;
    }
}

// Each step cites its law: a case with every payment (a leave pay too) and a termination reason chosen.
TEST(HesapAciklamasi, EachStepCitesItsLaw) {
    Calculated calc(Mode::Dates, {{F::GTarih, "15.03.2004"},
                                  {F::CTarih, "14.09.2007"},
                                  {F::ESUCRET, "2.000,00"},
                                  {F::IZGUN, "10"},
                                  {F::FESIH, "isveren"}});
    const Expected<Aciklama> a = HesapAciklamasi(calc.record(), &Table(), kToday);
    ASSERT_TRUE(a);
    SCOPED_TRACE(AciklamaMetni(*a));
    for (const auto& c : kCitations) {
        const AciklamaSatiri* s = Line(*a, c.baslik);
        ASSERT_TRUE(s) << c.baslik;
        EXPECT_NE(s->dayanak.find(c.dayanak), std::string::npos) << c.baslik << ": " << s->dayanak;
    }
    // The leave pay is wage: its SGK shares are taken, and shown in the summary.
    EXPECT_NE(Line(*a, "Özet: izin ücreti")->deger("SGK işçi payı"), "—");
    for (const std::string& fault : PaperFaults(*a)) ADD_FAILURE() << fault;
    // Where the employee's just cause ends the contract, its article is the reason's.
    Calculated justCause(
        Mode::Dates,
        {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::ESUCRET, "2.000,00"}, {F::FESIH, "24"}});
    const Expected<Aciklama> b = HesapAciklamasi(justCause.record(), &Table(), kToday);
    ASSERT_TRUE(b);
    EXPECT_EQ(Line(*b, "Fesih nedeni")->dayanak,
              "1475 sayılı İş Kanunu m. 14/1; 4857 sayılı İş Kanunu m. 24");
    EXPECT_FALSE(Line(*b, "İhbar tazminatı: hak")->dayanak.empty());
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
    EXPECT_EQ(Line(*a, "Yasal değer: Kıdem Tazminatı Tavanı")->deger("Yürürlükteki"),
              "yasal değerler tablosu okunamadı");
    BOSALT(r);
    EXPECT_FALSE(HesapAciklamasi(r, nullptr, kToday));
}

// Every line comes out at the tabs' figures: for random cases the shares, the taxes and the roundings
// add up to the shown totals, and a rounding is never more than the roundings it stands for.
TEST(HesapAciklamasi, PartsReconcileWithTheTabs) {
    std::mt19937 rng(25);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // A figure's amount in kuruş: the text, or the outcome after " = "; a figure the line lacks is 0.
    const auto kurus = [](const std::string& t) {
        if (t.empty()) return 0LL;
        const size_t eq = t.rfind(" = ");
        const std::string amount = eq == std::string::npos ? t : t.substr(eq + 3);
        auto v = ParseNumber(amount);
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
        if (pick(0, 3) == 0) texts.push_back({F::IZGUN, std::to_string(pick(1, 30))});
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
        // An income tax's brackets add up to its total, their slices to the amount taxed.
        auto taxLines = [&](const std::string& onek, const std::string& total, const std::string& base) {
            const auto& gv = line(onek + "gelir vergisi");
            EXPECT_EQ(gv.sonuc, total);
            long long taxes = 0, slices = 0;
            int touched = 0;
            for (const auto& [ad, metin] : gv.degerler) {
                if (ad.find(". dilim: ") == std::string::npos) continue;
                taxes += kurus(metin);
                slices += kurus(metin.substr(0, metin.find_first_of(" ")));
                ++touched;
            }
            EXPECT_EQ(taxes + kurus(gv.deger(kFark)), kurus(gv.sonuc));
            EXPECT_LE(std::abs(kurus(gv.deger(kFark))), touched);
            EXPECT_LE(std::abs(slices - kurus(base)), touched);
        };
        ASSERT_FALSE(Line(*a, "Uyarı: sayfadaki sonuçlar"));
        EXPECT_TRUE(NamesAreUnique(*a));
        for (const std::string& fault : PaperFaults(*a)) ADD_FAILURE() << fault;

        // Service: the day counts follow from each other and end at the tabs' figures.
        if (dates) {
            const auto& toplam = line(kSure + "Toplam Gün");
            EXPECT_EQ(toplam.sonuc, r.text(F::TGUNU));
            EXPECT_EQ(toplam.sonuc, r.text(F::TIGUNU));
            EXPECT_EQ(kurus(toplam.sonuc),
                      kurus(toplam.deger("Takvim günü")) + kurus(toplam.deger("Devreden Prim Günü")));
        } else {
            EXPECT_EQ(line(kSure + "prim günleri").sonuc, r.text(F::TGUNU));
        }
        const auto& kyg = line(kSure + "kıdem yılı, ayı, günü");
        EXPECT_EQ(kyg.deger("Kıdem Yılı"), r.text(F::KYILI));
        EXPECT_EQ(kyg.deger("Kıdem Ayı"), r.text(F::KAYI));
        EXPECT_EQ(kyg.deger("Kıdem Günü"), r.text(F::KGUNU));

        // Severance: the shares and the rounding add up to the gross; the net is the gross less the taxes.
        if (!r.text(F::BKTAZ).empty()) {
            const auto& brut = line(kKidem + "brüt");
            EXPECT_EQ(brut.sonuc, r.text(F::BKTAZ));
            long long shares = 0;
            for (const char* ad : {"Yıllar payı", "Aylar payı", "Günler payı"})
                shares += kurus(brut.deger(ad));
            EXPECT_EQ(shares + kurus(brut.deger(kFark)), kurus(brut.sonuc));
            EXPECT_LE(std::abs(kurus(brut.deger(kFark))), 2);
            EXPECT_EQ(kurus(brut.deger("Yıllar payı")),
                      kurus(AmountText(r.number(F::KYILI).value() * r.yillikKidemTutari).value()));
            const auto& damga = line(kKidem + "damga vergisi");
            EXPECT_EQ(damga.sonuc, r.text(F::DVER));
            EXPECT_EQ(AmountText(ParseNumber(brut.sonuc).value() * r.number(F::DVOR).value() / 1000),
                      damga.sonuc);
            if (r.text(F::KGVER) != "0,00")
                taxLines(kKidem, r.text(F::KGVER), line(kKidem + "gelir vergisine tabi kısım").sonuc);
            const auto& net = line(kKidem + "ödenecek");
            EXPECT_EQ(net.sonuc, r.text(F::NET));
            EXPECT_EQ(net.deger("Hesap"), r.text(F::BKTAZ) + " − " + r.text(F::KGVER) + " − " +
                                              r.text(F::DVER) + " = " + r.text(F::NET));
            EXPECT_EQ(line("Özet: kıdem tazminatı").sonuc, r.text(F::NET));
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
        EXPECT_EQ(net.deger("Hesap"), r.text(F::BITZM) + " − " + r.text(F::IGVER) + " − " + r.text(F::IDVER) +
                                          " = " + r.text(F::ITAZM));
        EXPECT_EQ(line("Özet: ihbar tazminatı").deger("Brüt"), r.text(F::BITZM));
        if (r.text(F::IZGUN).empty()) {
            EXPECT_FALSE(Line(*a, "Özet: izin ücreti"));
        } else {
            EXPECT_EQ(line("Özet: izin ücreti").sonuc, r.text(F::IZNET));
            EXPECT_EQ(line("Özet: izin ücreti").deger("SGK işçi payı"), r.text(F::IZSGK));
        }
        if (::testing::Test::HasFailure()) return;
    }
}
