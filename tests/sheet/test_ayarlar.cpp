// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/ayarlar.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include "sheet/profile.h"
#include "tests/common/temp_folder.h"

namespace pamerol {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// The settings fields as the field table lists them.
constexpr const auto& kSettingsFields = kSettingFields;

// Every settings field holds a text of its own: "a", "b", ... in the order above.
void FillSettings(Record& r) {
    char c = 'a';
    for (Field f : kSettingsFields) r.write(f, std::string(1, c++));
}

// Replaces the first occurrence of line in file. A line that is not there (the field table gained a
// settings field, so the letters and the file above moved) fails the test instead of throwing.
void ReplaceLine(std::string& file, const std::string& line, const std::string& to) {
    const std::size_t at = file.find(line);
    if (at == std::string::npos) {
        ADD_FAILURE() << "\"" << line << "\" is not in the file:\n" << file;
        return;
    }
    file.replace(at, line.size(), to);
}

const std::string kNewFile = "[Oranlar]\r\nOran1=a\r\nOran2=b\r\nOran3=c\r\n"
                             "\r\n[GV]\r\nOran1=d\r\nOran2=e\r\nOran3=f\r\nOran4=g\r\nOran5=h\r\n"
                             "Dilim1=i\r\nDilim2=j\r\nDilim3=k\r\nDilim4=l\r\nDilim5=m\r\n"
                             "\r\n[IhbarTazminati]\r\n0-6=n\r\n7-18=o\r\n19-36=p\r\n37=q\r\n"
                             "\r\n[Isveren]\r\nUnvani=r\r\nSSKNO=s\r\nAdresi=t\r\nVDairesi=u\r\nVNo=v\r\n"
                             "\r\n[SGK]\r\nIsciPayi=w\r\nIssizlikPayi=x\r\nUstSinir=y\r\n";

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
    ASSERT_TRUE(AyarlariYaz(saved, path));
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
    ASSERT_TRUE(AyarlariYaz(r, path));
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
    ASSERT_TRUE(AyarlariYaz(r, path));

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
        ASSERT_TRUE(AyarlariYaz(r, whole));
        for (const SettingKey& k : kSettingKeys)
            ASSERT_TRUE(IniYaz(single, k.section, k.key, r.text(k.field)));
        EXPECT_EQ(ReadBytes(whole), ReadBytes(single)) << start;
    }
}

TEST(Ayarlar, TheSampleFileHoldsTheFiguresOfTheFirstHalfOf2026) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    const std::string sample = ReadBytes(PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini");
    ASSERT_FALSE(sample.empty());
    WriteBytes(path, sample);
    Record r;
    AyarlariOku(r, path);
    const std::pair<Field, const char*> expected[] = {
        {Field::DVOR, "7,59"},     {Field::KGN, "30"},      {Field::TAV, "64948,77"},
        {Field::O1, "15"},         {Field::O2, "20"},       {Field::O3, "27"},
        {Field::O4, "35"},         {Field::O5, "40"},       {Field::VD1, "190000"},
        {Field::VD2, "400000"},    {Field::VD3, "1500000"}, {Field::VD4, "5300000"},
        {Field::VD5, "999999999"}, {Field::DL1, "14"},      {Field::DL2, "28"},
        {Field::DL3, "42"},        {Field::DL4, "56"},      {Field::txtUnvani, ""},
        {Field::txtSSkNoIsv, ""},  {Field::txtAdresi, ""},  {Field::txtVergiDairesi, ""},
        {Field::txtVergiNo, ""},
    };
    for (const auto& [f, text] : expected) EXPECT_EQ(r.text(f), text) << FieldName(f);

    // Saving it unchanged keeps every byte, comments included; a new ceiling changes its one line.
    ASSERT_TRUE(AyarlariYaz(r, path));
    EXPECT_EQ(ReadBytes(path), sample);
    r.write(Field::TAV, "70000,00");
    ASSERT_TRUE(AyarlariYaz(r, path));
    std::string changed = sample;
    ReplaceLine(changed, "Oran3=64948,77", "Oran3=70000,00");
    EXPECT_EQ(ReadBytes(path), changed);
}

TEST(Ayarlar, AFailedSaveNamesTheFileAndTheReason) {
    TempFolder dir;
    WriteBytes(dir.file("program"), "not a folder");
    const std::string path = IniYolu(dir.file("program"));
    Record r;
    FillSettings(r);
    const auto saved = AyarlariYaz(r, path);
    ASSERT_FALSE(saved);
    const std::string* message = &saved.error().message;
    const std::string prefix = "Ayarlar kaydedilemedi: " + path + " (";
    EXPECT_EQ(message->substr(0, prefix.size()), prefix);
    EXPECT_GT(message->size(), prefix.size() + 1);
    EXPECT_EQ(message->back(), ')');
}

} // namespace
} // namespace pamerol

namespace pamerol {
namespace {

std::string Saved(const Expected<void>& saved) {
    return saved ? "saved" : saved.error().message;
}

// A save never does what the file's permissions forbid; where it replaces the file, the owner, group and
// mode stay; where they could not, and where the folder refuses a temporary file, it writes in place.
TEST(Ayarlar, SavesOnlyWhatThePermissionsAllowAndKeepsOwnerGroupAndMode) {
    struct Case {
        const char* what;
        bool folderWritable;
        bool rootOwner; // the file belongs to another user
        bool rootGroup; // the file's group is one the clerk is not in
        mode_t mode;
        bool saved;
        bool replaced;
    };
    const Case cases[] = {
        {"the clerk's own file", true, false, false, 0640, true, true},
        {"a read-only file", true, false, false, 0444, false, false},
        {"a writable file in a read-only folder", false, false, false, 0644, true, false},
        {"a read-only file in a read-only folder", false, false, false, 0444, false, false},
        {"another user's file in the clerk's folder", true, true, false, 0644, false, false},
        {"another user's file the clerk may write", true, true, false, 0666, true, false},
        {"a group the clerk is not in", true, false, true, 0664, true, false},
    };
    const std::optional<testing::Clerk> clerk = testing::UnprivilegedUser();
    if (!clerk) GTEST_SKIP() << "no unprivileged user to run the saves as";
    TempFolder dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    int n = 0;
    for (const Case& c : cases) {
        if ((c.rootOwner || c.rootGroup) && ::geteuid() != 0) {
            std::cout << "skipped \"" << c.what << "\": only the superuser can give a file to another user\n";
            continue;
        }
        const std::string folder = dir.file("f" + std::to_string(n++));
        const std::string path = IniYolu(folder);
        std::filesystem::create_directory(folder);
        WriteBytes(path, kNewFile);
        ASSERT_EQ(::chown(path.c_str(), c.rootOwner ? 0 : clerk->uid, c.rootGroup ? 0 : clerk->gid), 0);
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(folder.c_str(), clerk->uid, clerk->gid), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderWritable ? 0755 : 0555), 0);
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);

        const std::string outcome = testing::RunAs(*clerk, [&] {
            Record r;
            const AyarYukleme loaded = AyarlariOku(r, path);
            r.write(Field::TAV, "2087,92");
            return Saved(AyarlariYaz(r, path, loaded.loaded));
        });

        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        std::string expected = kNewFile;
        if (c.saved) {
            EXPECT_EQ(outcome, "saved") << c.what;
            ReplaceLine(expected, "Oran3=c", "Oran3=2087,92");
        } else {
            EXPECT_EQ(outcome.rfind("Ayarlar kaydedilemedi: " + path + " (", 0), 0u)
                << c.what << ": " << outcome;
        }
        EXPECT_EQ(ReadBytes(path), expected) << c.what;
        EXPECT_EQ(after.st_uid, before.st_uid) << c.what;
        EXPECT_EQ(after.st_gid, before.st_gid) << c.what;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
        EXPECT_EQ(after.st_ino != before.st_ino, c.replaced) << c.what;
        EXPECT_EQ(
            std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()),
            1)
            << c.what;
        ::chmod(folder.c_str(), 0755);
    }
}

// A save writes back every value nobody changed byte for byte, whatever the file's encoding; a new
// value goes into the file in its own encoding; a byte-order mark hides nothing and stays.
TEST(Ayarlar, ASaveKeepsTheFilesEncodingAndEveryUnchangedByte) {
    std::string utf8 = kNewFile, bom = "\xEF\xBB\xBF" + kNewFile, cp1254 = kNewFile, odd = kNewFile;
    const auto set = ReplaceLine;
    set(utf8, "Unvani=r",
        "Unvani=\xC3\x96rnek Ltd. \xC5\x9E"
        "ti.\\n\xC4\xB0zmir");
    set(utf8, "Adresi=t", "Adresi=Ye\xC5\x9Filk\xC3\xB6y");
    set(cp1254, "Unvani=r", "Unvani=\xD6rnek Ltd. \xDEti.");
    set(cp1254, "Adresi=t", "Adresi=a\x81\x8D\x8E\x8F\x90\x9D\x9Ez");
    set(odd, "VNo=v", "VNo = \"  12 \" ");
    set(odd, "SSKNO=s", "SSKNO=" + std::string(300, '7'));
    const struct {
        const char* what;
        std::string file;
        std::string vergiDairesi; // how "Kadıköy" is stored
    } cases[] = {
        {"UTF-8", utf8, "Kad\xC4\xB1k\xC3\xB6y"},
        {"byte-order mark", bom, "Kad\xC4\xB1k\xC3\xB6y"},
        {"Windows-1254 with undefined bytes", cp1254, "Kad\xFDk\xF6y"},
        {"quoted and over-long values", odd, "Kad\xFDk\xF6y"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir.file("Pmrl.ini");
        WriteBytes(path, c.file);
        Record r;
        ASSERT_FALSE(AyarlariOku(r, path).error) << c.what;
        EXPECT_EQ(r.text(Field::DVOR), "a") << c.what;
        ASSERT_TRUE(AyarlariYaz(r, path)) << c.what; // every key written, none changed
        EXPECT_EQ(ReadBytes(path), c.file) << c.what;

        r.write(Field::txtVergiDairesi, "Kad\xC4\xB1k\xC3\xB6y");
        ASSERT_TRUE(AyarlariYaz(r, path)) << c.what;
        std::string expected = c.file;
        set(expected, "VDairesi=u", "VDairesi=" + c.vergiDairesi);
        EXPECT_EQ(ReadBytes(path), expected) << c.what;
    }
}

// Two sheets loaded from one file save different figures: each save writes only what its sheet changed,
// so neither puts the other's figure back.
TEST(Ayarlar, TwoSheetsSavingDifferentFiguresKeepBoth) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, kNewFile);
    Record a, b;
    const LoadedSettings loadedA = AyarlariOku(a, path).loaded, loadedB = AyarlariOku(b, path).loaded;
    a.write(Field::DVOR, "7");
    b.write(Field::TAV, "2087,92");
    ASSERT_TRUE(AyarlariYaz(a, path, loadedA));
    ASSERT_TRUE(AyarlariYaz(b, path, loadedB));
    Record c;
    AyarlariOku(c, path);
    EXPECT_EQ(c.text(Field::DVOR), "7");
    EXPECT_EQ(c.text(Field::TAV), "2087,92");
}

TEST(Ayarlar, AFileThatCannotBeReadGivesEmptyFieldsAndAMessage) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    Record r;
    FillSettings(r);
    const AyarYukleme loaded = AyarlariOku(r, path);
    EXPECT_EQ(loaded.error.value_or(""), "Ayarlar okunamadı: " + path + " (sıradan bir dosya değil)");
    EXPECT_FALSE(loaded.loaded);
    for (Field f : kSettingsFields) EXPECT_EQ(r.text(f), "") << FieldName(f);
}

// Saves of the sample file killed at random moments, each followed by a normal save: the file is always
// the old or the new text and no temporary file outlives the next save. Then pairs of processes that
// load the file together and save different figures at the same moment: both figures land every time.
TEST(Ayarlar, SavesSurviveKillsAndRunSideBySide) {
    using Clock = std::chrono::steady_clock;
    const auto budget = Clock::now() + std::chrono::seconds(8);
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, ReadBytes(PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini"));
    const auto onlyTheFile = [&] {
        return std::distance(std::filesystem::directory_iterator(dir.path()),
                             std::filesystem::directory_iterator()) == 1;
    };
    const auto t0 = Clock::now();
    ASSERT_TRUE(IniYaz(path, "Oranlar", "Oran3", "2030,19 "));
    const auto saveMicros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count();
    std::srand(12345);
    const int signals[] = {SIGKILL, SIGINT, SIGTERM, SIGHUP};
    int kills = 0;
    for (; kills < 200 && Clock::now() < budget; ++kills) {
        const std::string old = ReadBytes(path);
        Record r;
        const LoadedSettings loaded = AyarlariOku(r, path).loaded;
        r.write(Field::TAV, "2087," + std::to_string(kills));
        ProfileText next(old);
        ASSERT_TRUE(next.write("Oranlar", "Oran3", r.text(Field::TAV)));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(AyarlariYaz(r, path, loaded) ? 0 : 1);
        std::this_thread::sleep_for(std::chrono::microseconds(std::rand() % (2 * saveMicros + 200)));
        ::kill(child, signals[kills % 4]);
        ::waitpid(child, nullptr, 0);
        const std::string now = ReadBytes(path);
        ASSERT_TRUE(now == old || now == next.bytes()) << "after kill " << kills;
        ASSERT_TRUE(IniYaz(path, "Oranlar", "Oran3", "2030," + std::to_string(kills)));
        ASSERT_TRUE(onlyTheFile()) << "after kill " << kills;
    }
    int pairs = 0;
    for (; pairs < 100 && Clock::now() < budget + std::chrono::seconds(6); ++pairs) {
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        pid_t children[2];
        for (int k = 0; k < 2; ++k) {
            children[k] = ::fork();
            ASSERT_GE(children[k], 0);
            if (children[k] == 0) {
                ::close(start[1]);
                Record r;
                const LoadedSettings loaded = AyarlariOku(r, path).loaded;
                r.write(k == 0 ? Field::DVOR : Field::KGN, std::to_string(k) + "-" + std::to_string(pairs));
                char go;
                [[maybe_unused]] const ssize_t n = ::read(start[0], &go, 1); // both loaded: save together
                ::_exit(AyarlariYaz(r, path, loaded) ? 0 : 1);
            }
        }
        ::close(start[0]);
        ::close(start[1]);
        for (pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "pair " << pairs;
        }
        Record r;
        AyarlariOku(r, path);
        ASSERT_EQ(r.text(Field::DVOR), "0-" + std::to_string(pairs));
        ASSERT_EQ(r.text(Field::KGN), "1-" + std::to_string(pairs));
    }
    EXPECT_TRUE(onlyTheFile());
    std::cout << kills << " killed saves, " << pairs << " pairs of saves side by side\n";
    EXPECT_GE(kills, 50);
    EXPECT_GE(pairs, 50);
}

} // namespace
} // namespace pamerol
