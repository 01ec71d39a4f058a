#include "sheet/ayarlar.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "sheet/profile.h"
#include "temp_folder.h"

namespace pamerol {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const Field kSettingsFields[] = {
    Field::DVOR,        Field::KGN,       Field::TAV,
    Field::O1,          Field::O2,        Field::O3,
    Field::O4,          Field::O5,        Field::VD1,
    Field::VD2,         Field::VD3,       Field::VD4,
    Field::VD5,         Field::DL1,       Field::DL2,
    Field::DL3,         Field::DL4,       Field::txtUnvani,
    Field::txtSSkNoIsv, Field::txtAdresi, Field::txtVergiDairesi,
    Field::txtVergiNo,
};

// Every settings field holds a text of its own: "a", "b", ... in the order above.
void FillSettings(Record& r) {
    char c = 'a';
    for (Field f : kSettingsFields) r.write(f, std::string(1, c++));
}

const std::string kNewFile = "[Oranlar]\r\nOran1=a\r\nOran2=b\r\nOran3=c\r\n"
                             "\r\n[GV]\r\nOran1=d\r\nOran2=e\r\nOran3=f\r\nOran4=g\r\nOran5=h\r\n"
                             "Dilim1=i\r\nDilim2=j\r\nDilim3=k\r\nDilim4=l\r\nDilim5=m\r\n"
                             "\r\n[IhbarTazminati]\r\n0-6=n\r\n7-18=o\r\n19-36=p\r\n37=q\r\n"
                             "\r\n[Isveren]\r\nUnvani=r\r\nSSKNO=s\r\nAdresi=t\r\nVDairesi=u\r\nVNo=v\r\n";

TEST(Ayarlar, FirstStartWithoutAFileEmptiesEverySettingsField) {
    TempFolder dir;
    Record r;
    FillSettings(r);
    r.write(Field::O6, "6");
    r.write(Field::VD6, "6");
    r.ytlHesap.O = {"x", "x", "x", "x", "x", "x"};
    r.ytlHesap.VD = {"x", "x", "x", "x", "x"};

    AyarlariOku(r, IniYolu(dir.path().string()));

    for (Field f : kSettingsFields) EXPECT_EQ(r.text(f), "") << FieldName(f);
    EXPECT_EQ(r.ytlHesap.O, (std::array<std::string, 6>{"", "", "", "", "", "x"}));
    EXPECT_EQ(r.ytlHesap.VD, (std::array<std::string, 5>{}));
    EXPECT_EQ(r.text(Field::O6), "6");
    EXPECT_EQ(r.text(Field::VD6), "6");
    EXPECT_FALSE(std::filesystem::exists(IniYolu(dir.path().string()))) << "a load creates nothing";
}

TEST(Ayarlar, SaveCreatesTheFileWithTheKeysInOrderAndLoadsItBack) {
    TempFolder dir;
    const std::string path = IniYolu(dir.path().string());
    EXPECT_EQ(path, dir.file("Pmrl.ini"));
    Record saved;
    FillSettings(saved);
    saved.write(Field::O6, "6"); // the hidden sixth row is not stored
    saved.write(Field::VD6, "6");
    ASSERT_FALSE(AyarlariYaz(saved, path));
    EXPECT_EQ(ReadBytes(path), kNewFile);

    Record loaded;
    AyarlariOku(loaded, path);
    for (Field f : kSettingsFields) EXPECT_EQ(loaded.text(f), saved.text(f)) << FieldName(f);
    EXPECT_EQ(loaded.ytlHesap.O, (std::array<std::string, 6>{"d", "e", "f", "g", "h", ""}));
    EXPECT_EQ(loaded.ytlHesap.VD, (std::array<std::string, 5>{"i", "j", "k", "l", "m"}));
    EXPECT_EQ(loaded.text(Field::O6), "");
}

TEST(Ayarlar, OnlyALoadRefreshesTheCalculatorsBracketTable) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, "[GV]\r\nOran1=15\r\nDilim1=7500\r\n");
    Record r;
    AyarlariOku(r, path);
    ASSERT_EQ(r.ytlHesap.O[0], "15");

    r.write(Field::O1, "40");
    r.write(Field::VD1, "9000");
    ASSERT_FALSE(AyarlariYaz(r, path));
    EXPECT_EQ(r.ytlHesap.O[0], "15");
    EXPECT_EQ(r.ytlHesap.VD[0], "7500");

    AyarlariOku(r, path);
    EXPECT_EQ(r.ytlHesap.O[0], "40");
    EXPECT_EQ(r.ytlHesap.VD[0], "9000");
}

TEST(Ayarlar, SameKeyNamesInTwoSectionsNeverMix) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    Record r;
    WriteBytes(path, "[GV]\r\nOran1=15\r\nOran6=99\r\nDilim6=99\r\n");
    AyarlariOku(r, path);
    EXPECT_EQ(r.text(Field::DVOR), "");
    EXPECT_EQ(r.text(Field::O1), "15");
    EXPECT_EQ(r.text(Field::O6), "");

    WriteBytes(path, "[oranlar]\r\noran1=6\r\noran2=30\r\n");
    AyarlariOku(r, path);
    EXPECT_EQ(r.text(Field::DVOR), "6");
    EXPECT_EQ(r.text(Field::KGN), "30");
    EXPECT_EQ(r.text(Field::O1), "");
    EXPECT_EQ(r.text(Field::O2), "");
}

TEST(Ayarlar, EmployerTextsRoundTripExactlyAndValuesComeBackTrimmed) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    Record r;
    const std::string name =
        "\xC3\x96rnek Ltd. \xC5\x9Eti.\r\n\xC4\xB0kinci sat\xC4\xB1r\r\n[Oranlar]\r\nOran1=99";
    const std::string address = "Cad. No:5\\3\n\xC4\xB0stanbul\n";
    r.write(Field::txtUnvani, name);
    r.write(Field::txtAdresi, address);
    r.write(Field::DVOR, "  6 ");
    ASSERT_FALSE(AyarlariYaz(r, path));

    Record loaded;
    AyarlariOku(loaded, path);
    // The sheet's CR LF line breaks come back as they were; others come back as CR LF.
    EXPECT_EQ(loaded.text(Field::txtUnvani), name);
    EXPECT_EQ(loaded.text(Field::txtAdresi), "Cad. No:5\\3\r\n\xC4\xB0stanbul\r\n");
    EXPECT_EQ(loaded.text(Field::DVOR), "6");
    EXPECT_NE(ReadBytes(path).find("Unvani=\xD6rnek Ltd. \xDE"
                                   "ti.\\n\xDDkinci sat\xFDr"),
              std::string::npos)
        << "stored in Windows-1254 on one line";
}

// The save reads and writes the file once; the result must be what 22 single writes would give.
TEST(Ayarlar, SaveEqualsTwentyTwoSingleWrites) {
    const std::string starts[] = {
        "",
        "; kendi notlar\xFDm\r\n[Isveren]\r\nvno = 1\r\nNot=kals\xFDn\r\n\r\n[Baska]\r\nOran1=7\r\n",
        "[GV]\nDilim5=1\n[Oranlar]\nOran3=2\n",
    };
    for (const std::string& start : starts) {
        TempFolder dir;
        const std::string whole = dir.file("whole.ini");
        const std::string single = dir.file("single.ini");
        if (!start.empty()) {
            WriteBytes(whole, start);
            WriteBytes(single, start);
        }
        Record r;
        FillSettings(r);
        ASSERT_FALSE(AyarlariYaz(r, whole));
        for (const SettingKey& k : kSettingKeys)
            ASSERT_FALSE(IniYaz(single, k.section, k.key, r.text(k.field)));
        EXPECT_EQ(ReadBytes(whole), ReadBytes(single)) << start;
    }
}

TEST(Ayarlar, TheSampleFileHoldsTheFiguresOf2007) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    const std::string sample = ReadBytes(PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini");
    ASSERT_FALSE(sample.empty());
    WriteBytes(path, sample);
    Record r;
    AyarlariOku(r, path);
    const std::pair<Field, const char*> expected[] = {
        {Field::DVOR, "6"},        {Field::KGN, "30"},     {Field::TAV, "2030,19"},
        {Field::O1, "15"},         {Field::O2, "20"},      {Field::O3, "27"},
        {Field::O4, "35"},         {Field::O5, "35"},      {Field::VD1, "7500"},
        {Field::VD2, "19000"},     {Field::VD3, "43000"},  {Field::VD4, "999999999"},
        {Field::VD5, "999999999"}, {Field::DL1, "14"},     {Field::DL2, "28"},
        {Field::DL3, "42"},        {Field::DL4, "56"},     {Field::txtUnvani, ""},
        {Field::txtSSkNoIsv, ""},  {Field::txtAdresi, ""}, {Field::txtVergiDairesi, ""},
        {Field::txtVergiNo, ""},
    };
    for (const auto& [f, text] : expected) EXPECT_EQ(r.text(f), text) << FieldName(f);

    // Saving it unchanged keeps every byte, comments included; a new ceiling changes its one line.
    ASSERT_FALSE(AyarlariYaz(r, path));
    EXPECT_EQ(ReadBytes(path), sample);
    r.write(Field::TAV, "2087,92");
    ASSERT_FALSE(AyarlariYaz(r, path));
    std::string changed = sample;
    changed.replace(changed.find("Oran3=2030,19"), 13, "Oran3=2087,92");
    EXPECT_EQ(ReadBytes(path), changed);
}

TEST(Ayarlar, AFailedSaveNamesTheFileAndTheReason) {
    TempFolder dir;
    WriteBytes(dir.file("program"), "not a folder");
    const std::string path = IniYolu(dir.file("program"));
    Record r;
    FillSettings(r);
    const auto message = AyarlariYaz(r, path);
    ASSERT_TRUE(message.has_value());
    const std::string prefix = "Ayarlar kaydedilemedi: " + path + " (";
    EXPECT_EQ(message->substr(0, prefix.size()), prefix);
    EXPECT_GT(message->size(), prefix.size() + 1);
    EXPECT_EQ(message->back(), ')');
}

} // namespace
} // namespace pamerol
