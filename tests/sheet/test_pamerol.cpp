// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "sheet/pamerol.h"
#include "tests/common/figures2007.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
using F = Field;

namespace {

struct Sheet {
    RecordedMessages messages;
    Pamerol p{messages};
    Record& r = p.record();

    // Typing into a field: each accepted character is appended, as the window does.
    void type(F f, std::string_view keys) {
        for (char c : keys) {
            if (!Pamerol::acceptsKey(f, static_cast<unsigned char>(c), r.text(f))) continue;
            if (c == 8) {
                std::string t = r.text(f);
                if (!t.empty()) t.pop_back();
                r.write(f, t);
            } else {
                r.write(f, r.text(f) + c);
            }
        }
    }
    void calculated() {
        pamerol::testing::Put2007(r, pamerol::testing::Half2007::Second);
        for (auto [f, t] : {std::pair{F::GTarih, "15.03.2004"}, std::pair{F::CTarih, "14.09.2007"},
                            std::pair{F::ESUCRET, "2.000,00"}})
            r.write(f, t);
        p.hesapla();
        ASSERT_TRUE(r.command3Enabled());
        ASSERT_FALSE(r.text(F::NET).empty());
    }
    bool resultsEmpty() const {
        for (F f : kResultFields)
            if (!r.text(f).empty()) return false;
        return !r.command3Enabled();
    }
};

class TempFolder : public ::testing::Test {
  protected:
    const pamerol::testing::TempFolder folder;
    const std::string dir = folder.path().string();
};

} // namespace

TEST(KeyFilters, AcceptOnlyWhatTheFieldTakes) {
    struct Case {
        F field;
        char32_t key;
        const char* text;
        bool accepted;
    } cases[] = {
        {F::DGUN, U'7', "", true},
        {F::DGUN, U'a', "1", false},
        {F::DGUN, 8, "12", true},
        {F::DGUN, U',', "1", false},
        {F::TGUN, 22, "", false},
        {F::TGUN, 3, "", false},
        {F::TGUN, 24, "", false},
        {F::ESUCRET, U',', "250", true},
        {F::ESUCRET, U',', "250,00", false},
        {F::ESUCRET, U',', ",5", false}, // the comma it holds is its first character
        {F::ESUCRET, U'.', "250", false},
        {F::TAV, U'5', "12,", true},
        {F::VD6, U'x', "", false},
        {F::YIUCRET, 22, "", false},
        {F::DVOR, U'x', "", true},
        {F::DVOR, U'-', "", false}, // no figure of the sheet is ever negative
        {F::DL1, U'-', "", false},
        {F::txtAdres, U'-', "", true},
        {F::O3, U'ş', "", true},
        {F::DL1, U'a', "", true},
        {F::GGUN, 3, "", true}, // read-only: the box refuses typing, copying works
        {F::TBRUT, 3, "", true},
        {F::DGUN, 13, "", false},
        {F::DL4, 13, "", true},
        {F::txtUnvani, U'Ğ', "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pamerol::acceptsKey(c.field, c.key, c.text), c.accepted)
            << FieldName(c.field) << " key " << static_cast<int>(c.key) << " on \"" << c.text << '"';
}

TEST(KeyFilters, TypingSequences) {
    Sheet s;
    s.type(F::DGUN, "12a");
    EXPECT_EQ(s.r.text(F::DGUN), "012"); // typed after the "0" already there
    s.r.write(F::TAV, "");
    s.type(F::TAV, "12,5,.");
    EXPECT_EQ(s.r.text(F::TAV), "12,5");
    EXPECT_EQ(Pamerol::maxLength(F::DL2), 3);
    EXPECT_EQ(Pamerol::maxLength(F::DVOR), 0);
}

TEST(EnterChain, MovesAlongTheInputs) {
    const std::pair<F, std::optional<F>> chain[] = {
        {F::GTarih, F::CTarih},  {F::CTarih, F::DGUN},    {F::DGUN, F::TGUN},      {F::TGUN, F::DGVMAT},
        {F::DGVMAT, F::ESUCRET}, {F::ESUCRET, F::IUCRET}, {F::IUCRET, F::YIUCRET}, {F::YIUCRET, std::nullopt},
        {F::DVOR, F::KGN},       {F::KGN, F::TAV},        {F::TAV, F::O1},         {F::O1, F::VD1},
        {F::VD1, F::O2},         {F::O5, F::VD5},         {F::VD5, F::DL1},        {F::VD6, F::DL1},
        {F::DL3, F::DL4},
    };
    for (auto [from, to] : chain) {
        auto target = Pamerol::enterTarget(from);
        ASSERT_TRUE(target) << FieldName(from);
        EXPECT_EQ(target->field, to) << FieldName(from);
    }
    for (F none : {F::DL4, F::GGUN, F::TBRUT, F::txtUnvani, F::BITZM})
        EXPECT_FALSE(Pamerol::enterTarget(none));
}

TEST(ChangeRules, TotalsFollowTheInputs) {
    Sheet s;
    s.r.write(F::DGUN, "30");
    s.r.write(F::TGUN, "335");
    EXPECT_EQ(s.r.text(F::GGUN), "365");
    s.r.write(F::DGUN, "");
    EXPECT_EQ(s.r.text(F::GGUN), "335");
    s.r.write(F::DGUN, "12a"); // pasted with the mouse
    EXPECT_EQ(s.r.text(F::GGUN), "347");

    // The wage total is the sum of the amounts as they stand: an empty one counts as 0, and while one
    // cannot be read the total is empty rather than an older figure.
    s.r.write(F::ESUCRET, "3.456.789");
    EXPECT_EQ(s.r.text(F::TBRUT), "3.456.789,00");
    s.r.write(F::ESUCRET, "2.000,00 TL");
    EXPECT_EQ(s.r.text(F::TBRUT), "");
    s.r.write(F::ESUCRET, "250,00");
    EXPECT_EQ(s.r.text(F::TBRUT), "250,00");
    s.r.write(F::ESUCRET, "");
    EXPECT_EQ(s.r.text(F::TBRUT), "0,00");
    s.p.focusOut(F::ESUCRET);
    EXPECT_EQ(s.r.text(F::ESUCRET), "0");
    EXPECT_EQ(s.r.text(F::TBRUT), "0,00");
    s.r.write(F::IUCRET, "1.000,5");
    s.r.write(F::ESUCRET, "2000");
    EXPECT_EQ(s.r.text(F::TBRUT), "3.000,50");
}

TEST(ChangeRules, OnlyCalculationInputsClearResults) {
    const std::pair<F, const char*> clearing[] = {{F::GTarih, "16.03.2004"},
                                                  {F::CTarih, "__.__.____"},
                                                  {F::DGUN, "01"},
                                                  {F::TGUN, "5"},
                                                  {F::DGVMAT, "5"},
                                                  {F::ESUCRET, "2.001,00"},
                                                  {F::IUCRET, "1"},
                                                  // the settings figures the calculation uses
                                                  {F::DVOR, "7"},
                                                  {F::O2, "21"},
                                                  {F::VD5, "1"},
                                                  {F::DL1, "15"},
                                                  {F::TAV, "1"},
                                                  {F::KGN, "31"},
                                                  // the leave pay: its days, the typed gross, the month's
                                                  // base, the termination reason
                                                  {F::IZGUN, "5"},
                                                  {F::YIUCRET, "100"},
                                                  {F::AYSGKMAT, "1"},
                                                  {F::FESIH, "istifa"},
                                                  {F::PEKUST, "1"}};
    for (auto [f, t] : clearing) {
        Sheet s;
        s.calculated();
        s.r.write(f, t);
        EXPECT_TRUE(s.resultsEmpty()) << FieldName(f);
    }
    {
        Sheet s;
        s.calculated();
        s.r.setMode(Mode::PremiumDays);
        EXPECT_TRUE(s.resultsEmpty()) << "mode";
    }
    const std::pair<F, const char*> keeping[] = {
        {F::txtAdiSoyadi, "Ayşe"}, {F::txtUnvani, "X"}, {F::txtIbraname, "metin"}};
    for (auto [f, t] : keeping) {
        Sheet s;
        s.calculated();
        s.r.write(f, t);
        s.r.setCheck1(0);
        EXPECT_FALSE(s.resultsEmpty()) << FieldName(f);
        EXPECT_TRUE(s.r.command3Enabled()) << FieldName(f);
    }
}

TEST(Focus, FormatsAmounts) {
    Sheet s;
    s.r.write(F::ESUCRET, "250,5");
    s.p.focusOut(F::ESUCRET);
    EXPECT_EQ(s.r.text(F::ESUCRET), "250,50");
    EXPECT_TRUE(s.p.focusIn(F::ESUCRET));
    EXPECT_EQ(s.r.text(F::ESUCRET), "250,50");

    const std::tuple<F, const char*, const char*> focusIn[] = {
        {F::DGVMAT, "", "0"},
        {F::DGVMAT, "1234,5", "1.234,50"},
        {F::BITZM, "3733,3333", "3.733,33"},
        {F::YIUCRET, ",", ","},
        {F::IUCRET, "", ""},
    };
    for (auto [f, before, after] : focusIn) {
        s.r.write(f, before);
        EXPECT_TRUE(s.p.focusIn(f));
        EXPECT_EQ(s.r.text(f), after) << FieldName(f) << " \"" << before << '"';
    }
    const std::tuple<F, const char*, const char*> focusOut[] = {
        {F::DGVMAT, "", "0"}, {F::IUCRET, ",", ","}, {F::YIUCRET, "", "0"}, {F::YIUCRET, "0,5", "0,50"}};
    for (auto [f, before, after] : focusOut) {
        s.r.write(f, before);
        s.p.focusOut(f);
        EXPECT_EQ(s.r.text(f), after) << FieldName(f) << " \"" << before << '"';
    }
    EXPECT_TRUE(s.p.focusIn(F::DGUN));
    EXPECT_FALSE(s.p.focusIn(F::DVOR));
}

// "&Boşalt" resets the case and keeps what belongs to the employee; "Yeni Personel" resets that too.
TEST(Commands, BosaltResetsTheCaseYeniPersonelTheEmployeeToo) {
    for (const bool yeni : {false, true}) {
        SCOPED_TRACE(yeni ? "Yeni Personel" : "Boşalt");
        Sheet s;
        s.calculated();
        s.r.write(F::IUCRET, "100");
        s.r.write(F::YIUCRET, "55");
        s.r.write(F::txtAdiSoyadi, "Ali");
        s.r.write(F::txtTcKNo, "10000000146");
        s.r.write(F::txtIbraname, "Kısa metin");
        s.r.write(F::txtUnvani, "İşveren A.Ş.");
        s.r.setCheck2(0);
        yeni ? s.p.yeniPersonel() : s.p.bosalt();
        Record fresh;
        for (F f : {F::GTarih, F::CTarih, F::DGUN, F::TGUN, F::GGUN, F::DGVMAT, F::ESUCRET, F::IUCRET,
                    F::TBRUT, F::YIUCRET})
            EXPECT_EQ(s.r.text(f), fresh.text(f)) << FieldName(f);
        EXPECT_TRUE(s.resultsEmpty());
        EXPECT_EQ(s.r.text(F::DVOR), "6");
        EXPECT_EQ(s.r.text(F::txtUnvani), "İşveren A.Ş."); // the employer stays
        EXPECT_EQ(s.r.text(F::txtAdiSoyadi), yeni ? "" : "Ali");
        EXPECT_EQ(s.r.text(F::txtTcKNo), yeni ? "" : "10000000146");
        EXPECT_EQ(s.r.text(F::txtIbraname), yeni ? std::string(kDefaultReleaseText) : "Kısa metin");
        EXPECT_EQ(s.r.check2(), yeni ? 1 : 0);
        // Both remembered amounts are back to 0: a new wage alone makes the total.
        s.r.write(F::ESUCRET, "10");
        EXPECT_EQ(s.r.text(F::TBRUT), "10,00");
    }
}

// A stored case put back on the sheet shows its own figures and employer, which are not the clerk's
// settings: no save writes them, "Hesapla" puts the clerk's figures back (the employer stays the case's)
// and reaches the calculator with them, "Boşalt" puts every setting back, and a figure the clerk types
// after reopening is the clerk's own.
TEST_F(TempFolder, AReopenedCasesSettingsAreNeverTheClerks) {
    const struct {
        const char* step;
        const char* tav;      // on the sheet after the step
        const char* o1;       // the calculator's first rate after the step
        const char* employer; // on the sheet after the step
        const char* saved;    // the ceiling in the file after closing
    } cases[] = {
        {"", "1.500,00", "10", "Eski İşveren", "2030,19"},
        {"DVOR", "1.500,00", "10", "Eski İşveren", "2030,19"}, // saves the clerk's figures, loads nothing
        {"TAV", "2500", "10", "Eski İşveren", "2500"},
        {"Hesapla", "2030,19", "15", "Eski İşveren", "2030,19"},
        {"Boşalt", "2030,19", "15", "", "2030,19"},
    };
    for (const auto& c : cases) {
        const std::string ini = dir + "/Pmrl.ini";
        pamerol::testing::WriteBytes(ini, pamerol::testing::Ini2007(pamerol::testing::Half2007::Second));
        Sheet s;
        s.p.start(dir);
        ASSERT_EQ(s.r.text(F::TAV), "2030,19");
        s.p.showStoredCase([](Record& r) {
            r.write(F::TAV, "1.500,00");
            r.write(F::O1, "10");
            CopyBracketsToCalculator(r);
            r.write(F::txtUnvani, "Eski İşveren");
            r.write(F::GTarih, "15.03.2004");
            r.write(F::CTarih, "14.09.2007");
            r.write(F::ESUCRET, "2.000,00");
        });
        ASSERT_TRUE(s.p.showsStoredSettings());
        const std::string step = c.step;
        if (step == "DVOR") s.p.focusOut(F::DVOR);
        if (step == "TAV") s.r.write(F::TAV, "2500");
        if (step == "Hesapla") s.p.hesapla();
        if (step == "Boşalt") s.p.bosalt();
        EXPECT_EQ(s.r.text(F::TAV), c.tav) << step;
        EXPECT_EQ(s.r.ytlHesap.O[0], c.o1) << step;
        EXPECT_EQ(s.r.text(F::txtUnvani), c.employer) << step;
        EXPECT_EQ(s.r.text(F::BKTAZ), step == "Hesapla" ? "7.000,00" : "")
            << step; // with the clerk's ceiling
        s.p.close();
        const std::string saved = pamerol::testing::ReadBytes(ini);
        EXPECT_NE(saved.find("Oran3=" + std::string(c.saved) + "\r\n"), std::string::npos) << step << saved;
        EXPECT_NE(saved.find("[GV]\r\nOran1=15\r\n"), std::string::npos) << step << saved;
        EXPECT_EQ(saved.find("Eski"), std::string::npos) << step << saved;
        EXPECT_TRUE(s.messages.entries.size() <= (step == "Hesapla" ? 1u : 0u)) << step;
    }
}

TEST(Commands, LinksAreFixedAddresses) {
    struct Browser : Desktop {
        std::vector<std::string> opened;
        void openAddress(const std::string& a) override { opened.push_back(a); }
    } browser;
    Sheet s;
    s.p.start("/opt/Pamerol Programı");
    s.r.write(F::txtUnvani, "\"; rm -rf / #");
    s.p.openLink(Link::IsKanunu, browser);
    s.p.openLink(Link::Guncelleme, browser);
    s.p.openLink(Link::Bilgi, browser);
    ASSERT_EQ(browser.opened.size(), 3u);
    EXPECT_EQ(browser.opened[0].rfind("https://www.mevzuat.gov.tr/", 0), 0u);
    EXPECT_NE(browser.opened[0].find("4857"), std::string::npos);
    EXPECT_EQ(browser.opened[1], "file:///opt/Pamerol%20Program%C4%B1/surum-notlari.html");
    EXPECT_EQ(browser.opened[2], "file:///opt/Pamerol%20Program%C4%B1/bilgi.html");
    EXPECT_TRUE(s.messages.entries.empty());
}

TEST(Commands, LinkedPagesShipBesideTheProgram) {
    // The tests run from the program's folder, where the build puts the pages.
    for (const char* page : {"surum-notlari.html", "bilgi.html"})
        EXPECT_TRUE(std::filesystem::exists(ProgramFolder() + "/" + page)) << page;
}

using Lifecycle = TempFolder;

TEST_F(Lifecycle, StartLoadsCloseSaves) {
    {
        Sheet s;
        s.p.start(dir);
        EXPECT_EQ(s.p.iniYolu(), dir + "/Pmrl.ini");
        EXPECT_EQ(s.r.text(F::DVOR), ""); // no file yet
        s.r.write(F::DVOR, "6");
        s.r.write(F::TAV, "2030,19");
        s.r.write(F::txtAdresi, "Atatürk Cad. 1\r\nİzmir");
        s.p.close();
        EXPECT_TRUE(s.messages.entries.empty());
    }
    Sheet again;
    again.p.start(dir);
    EXPECT_EQ(again.r.text(F::DVOR), "6");
    EXPECT_EQ(again.r.text(F::TAV), "2030,19");
    EXPECT_EQ(again.r.text(F::txtAdresi), "Atatürk Cad. 1\r\nİzmir"); // both lines survive the file
    EXPECT_EQ(again.r.text(F::ESUCRET), "0");
}

TEST_F(Lifecycle, LeavingStampDutyRefreshesTheBracketTable) {
    Sheet s;
    s.p.start(dir);
    s.r.write(F::O1, "15");
    s.r.write(F::VD1, "7500");
    EXPECT_EQ(s.r.ytlHesap.O[0], ""); // the calculator keeps its copy until the next load
    s.p.focusOut(F::DVOR);
    EXPECT_EQ(s.r.ytlHesap.O[0], "15");
    EXPECT_EQ(s.r.ytlHesap.VD[0], "7500");
    EXPECT_TRUE(std::filesystem::exists(dir + "/Pmrl.ini"));
}

TEST_F(Lifecycle, FailedSaveIsReportedAndKeepsTheTypedFigures) {
    Sheet s;
    s.p.start(dir + "/missing-folder");
    s.r.write(F::DVOR, "6");
    s.r.write(F::O1, "15");
    s.p.focusOut(F::DVOR);
    ASSERT_EQ(s.messages.entries.size(), 1u);
    EXPECT_EQ(
        s.messages.entries[0].text.rfind("Ayarlar kaydedilemedi: " + dir + "/missing-folder/Pmrl.ini", 0), 0u)
        << s.messages.entries[0].text;
    EXPECT_EQ(s.r.text(F::O1), "15");   // not reloaded from the old file
    EXPECT_EQ(s.r.ytlHesap.O[0], "15"); // but the calculator has the table on the sheet
    s.p.close();
    EXPECT_EQ(s.messages.entries.size(), 2u);
}
