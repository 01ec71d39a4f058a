// SPDX-License-Identifier: GPL-3.0-or-later
// The archive on real files in temporary folders: round trip, Turkish search, date range, deletion that
// leaves no trace, age-based deletion, export, migration, concurrent writers, a killed writer, bad files,
// and the companion's archive options end to end.
#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "archive/archive.h"
#include "archive/arsiv_yolu.h"
#include "archive/case_keeper.h"
#include "archive/export.h"
#include "archive/schema.h"
#include "companion_run.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"
#include "tests/common/temp_folder.h"
#include "tests/common/why.h"

using namespace pamerol;
using pamerol::testing::Companion;
using pamerol::testing::Outcome;
using pamerol::testing::ReadBytes;
using pamerol::testing::TempFolder;
using pamerol::testing::Why;
using pamerol::testing::WriteBytes;
using F = Field;

namespace {

struct Person {
    std::string name, tc, ssk, employer, entry, exit;
};

// A case calculated on a real sheet with the shipped settings, with the person's particulars.
CaseSheet Calculated(const Person& p, Mode mode = Mode::Dates) {
    RecordedMessages messages;
    Pamerol sheet(messages);
    AyarlariOku(sheet.record(), PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini");
    Record& r = sheet.record();
    r.setMode(mode);
    const std::pair<F, std::string> texts[] = {
        {F::GTarih, p.entry.empty() ? std::string(kEmptyDate) : p.entry},
        {F::CTarih, p.exit.empty() ? std::string(kEmptyDate) : p.exit},
        {F::GGUN, "1000"},
        {F::ESUCRET, "2.345,67"},
        {F::txtAdiSoyadi, p.name},
        {F::txtTcKNo, p.tc},
        {F::txtSSkNoPer, p.ssk},
        {F::txtUnvani, p.employer}};
    for (const auto& [f, t] : texts) r.write(f, t);
    sheet.hesapla();
    return SheetOf(r);
}

// An archive that does not open ends the test there and then: the failure is recorded and the exception
// stops the test body, so no later line uses an archive that is not there and the other tests still run.
struct NotOpened : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::unique_ptr<Archive> Open(const std::string& path) {
    auto a = Archive::open(path);
    if (!a) {
        ADD_FAILURE() << path << ": " << Why(a);
        throw NotOpened(path + " açılamadı");
    }
    return std::move(*a);
}

std::vector<std::string> Names(const std::vector<ArchiveRow>& rows) {
    std::vector<std::string> names;
    for (const ArchiveRow& r : rows) names.push_back(r.name);
    std::sort(names.begin(), names.end());
    return names;
}

// Runs body in a child process and returns its exit status (-signal when killed).
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

int CountCases(const std::string& path) {
    auto rows = Open(path)->search({});
    return rows ? static_cast<int>(rows->size()) : -1;
}

bool IntegrityOk(const std::string& path) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK;
    sqlite3_stmt* s = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK &&
         sqlite3_step(s) == SQLITE_ROW &&
         std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))) == "ok";
    sqlite3_finalize(s);
    sqlite3_close(db);
    return ok;
}

const Person kAhmet{"Ahmet YILMAZ", "10000000146", "1234567", "Deniz Gıda A.Ş.", "15.03.2004", "14.09.2007"};

} // namespace

// Every text of the sheet, the mode, the flags, the year's severance and the calculator come back byte
// for byte, and a sheet with its change rules installed takes them without recalculating.
TEST(Archive, StoresAndReopensEveryFieldByteForByte) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    CaseSheet odd = Calculated({"Şule \"Öz\" <Türk>", "", "", "", "", ""}, Mode::PremiumDays);
    odd.texts[static_cast<size_t>(F::txtIbraname)] = "satır 1\r\n\tsatır 2\r\n\xFF bozuk bayt\\n";
    odd.texts[static_cast<size_t>(F::txtAdres)] = "";
    // Totals typed over after their inputs: the inputs' rules must not win on reopening.
    odd.texts[static_cast<size_t>(F::TGUN)] = "400";
    odd.texts[static_cast<size_t>(F::GGUN)] = "1000";
    odd.texts[static_cast<size_t>(F::IUCRET)] = "10,00";
    odd.texts[static_cast<size_t>(F::TBRUT)] = "5,00";
    odd.check1 = 2;
    odd.check2 = 0;
    odd.yillikKidemTutari = 0.1 + 0.2;
    const CaseSheet cases[] = {Calculated(kAhmet), odd};
    ASSERT_TRUE(cases[0].command3);
    for (const CaseSheet& stored : cases) {
        auto id = archive->store(stored, "ibraname");
        ASSERT_TRUE(id);
        ASSERT_TRUE(archive->addPaper(*id, "kidem"));
        auto back = archive->load(*id);
        ASSERT_TRUE(back);
        EXPECT_TRUE(back->sheet == stored);
        ASSERT_EQ(back->papers.size(), 2u);
        EXPECT_EQ(back->papers[0].paper, "ibraname");
        EXPECT_EQ(back->papers[1].paper, "kidem");
        EXPECT_EQ(back->storedBy, SystemUserName());

        RecordedMessages messages;
        Pamerol sheet(messages);
        sheet.start(dir.path().string()); // a sheet as the window holds it: rules and settings in place
        // The table's word on the ceiling of a case calculated before is not this case's.
        sheet.record().tavanTablosu = CeilingInForce{1.0, std::nullopt, {}, {}};
        RestoreSheet(back->sheet, sheet.record());
        EXPECT_TRUE(SheetOf(sheet.record()) == stored);
        EXPECT_TRUE(messages.entries.empty());
        if (const Hesap* h = sheet.record().hesap()) {
            EXPECT_EQ(h->sonuc.kgverKurus, 0);
        }
    }
    const std::string error = Why(archive->addPaper(999, "kidem"));
    EXPECT_NE(error.find("999 numaralı vaka arşivde yok"), std::string::npos) << error;
    EXPECT_FALSE(archive->load(999));
}

TEST(Archive, FindsByTurkishLettersAndExitDates) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    const Person people[] = {
        kAhmet,
        {"İsmail Işık", "20000000046", "", "", "01.02.2005", "01.01.2010"},
        {"ışıl İNCE", "", "", "ÇAĞ Tekstil Ltd.", "01.02.2005", "31.12.2007"},
        {"Şule Öztürk", "11111111110", "9990001", "", "01.02.2005", "01.01.2008"},
    };
    for (const Person& p : people) ASSERT_TRUE(archive->store(Calculated(p)));
    ASSERT_TRUE(archive->store(Calculated({"Hâluk Ünal", "", "", "", "", ""}, Mode::PremiumDays)));

    struct Row {
        std::string text, from, to;
        std::vector<std::string> names;
    };
    const Row rows[] = {
        {"yılmaz", "", "", {"Ahmet YILMAZ"}},
        {"YILMAZ", "", "", {"Ahmet YILMAZ"}},
        {"yilmaz", "", "", {"Ahmet YILMAZ"}}, // plain letters find Turkish ones
        {"IŞIK", "", "", {"İsmail Işık"}},
        {"işık", "", "", {"İsmail Işık"}},
        {"ismail", "", "", {"İsmail Işık"}},
        {"İNCE ışıl", "", "", {"ışıl İNCE"}},
        {"ınce", "", "", {"ışıl İNCE"}},
        {"çağ", "", "", {"ışıl İNCE"}},           // employer
        {"11111111110", "", "", {"Şule Öztürk"}}, // T.C. Kimlik No
        {"9990001", "", "", {"Şule Öztürk"}},     // SSK No
        {"haluk ünal", "", "", {"Hâluk Ünal"}},   // circumflex
        {"", "01.01.2008", "", {"Şule Öztürk", "İsmail Işık"}},
        {"", "", "31.12.2007", {"Ahmet YILMAZ", "ışıl İNCE"}},
        {"", "31.12.2007", "01.01.2008", {"Şule Öztürk", "ışıl İNCE"}},
        {"ş", "01.01.2008", "31.12.2009", {"Şule Öztürk"}},
    };
    for (const Row& r : rows) {
        auto found = archive->search({r.text, r.from, r.to});
        ASSERT_TRUE(found) << r.text;
        auto expected = r.names;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Names(*found), expected) << r.text << " " << r.from << "-" << r.to;
    }
    auto all = archive->search({});
    ASSERT_EQ(all->size(), 5u);
    EXPECT_EQ(all->back().netSeverance, Calculated(kAhmet).text(F::NET));
    EXPECT_EQ(all->back().exitDate, "14.09.2007");
    EXPECT_NE(Why(archive->search({"", "1.1.2008", ""})).find("1.1.2008"), std::string::npos);
}

// A deleted case leaves no byte of its name in the file or its log, and the other cases stay.
TEST(Archive, DeletionLeavesNoTraceOnDisk) {
    TempFolder dir;
    const std::string path = dir.file("arsiv.db");
    auto archive = Open(path);
    const std::string name = "Zerrinnaz Kuşçuoğlu";
    ASSERT_TRUE(archive->store(Calculated(kAhmet)));
    auto id = archive->store(Calculated({name, "33333333330", "", "", "01.01.2001", "02.02.2002"}), "ihbar");
    ASSERT_TRUE(id);
    const auto onDisk = [&](const std::string& bytes) {
        return (ReadBytes(path) + ReadBytes(path + "-wal")).find(bytes) != std::string::npos;
    };
    ASSERT_TRUE(onDisk(name));
    EXPECT_TRUE(archive->remove(*id));
    EXPECT_FALSE(onDisk(name));
    EXPECT_FALSE(onDisk("zerrinnaz"));   // the folded search text
    EXPECT_FALSE(onDisk("33333333330")); // the T.C. number
    EXPECT_EQ(CountCases(path), 1);
    EXPECT_NE(Why(archive->remove(*id)).find("arşivde yok"), std::string::npos);
}

TEST(Archive, DeletesCasesOlderThanYears) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    std::time_t clock = 1434326400; // 15.06.2015: the premium-day case stored then counts from that day
    archive->setClock([&] { return clock; });
    ASSERT_TRUE(archive->store(Calculated({"Eski Prim", "", "", "", "", ""}, Mode::PremiumDays)));
    clock = 1592179200; // 15.06.2020
    ASSERT_TRUE(archive->store(Calculated({"Yeni Prim", "", "", "", "", ""}, Mode::PremiumDays)));
    ASSERT_TRUE(archive->store(Calculated({"On Yıl Beş Gün", "", "", "", "01.01.2010", "10.06.2016"})));
    ASSERT_TRUE(archive->store(Calculated({"On Yıl Dolmadı", "", "", "", "01.01.2010", "20.06.2016"})));
    ASSERT_TRUE(archive->store(Calculated({"Tam On Yıl", "", "", "", "01.01.2010", "15.06.2016"})));
    clock = 1781524800; // 15.06.2026 12:00
    auto removed = archive->removeOlderThan(10);
    ASSERT_TRUE(removed);
    EXPECT_EQ(*removed, 2);
    EXPECT_EQ(Names(*archive->search({})),
              (std::vector<std::string>{"On Yıl Dolmadı", "Tam On Yıl", "Yeni Prim"}));
}

TEST(Archive, ExportsOnePersonsCases) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    ASSERT_TRUE(
        archive->store(Calculated({"=HYPERLINK(\"x\")", "44444444440", "", "", "01.01.2001", "02.02.2002"})));
    ASSERT_TRUE(
        archive->store(Calculated({"<b>Başka</b>", "1444444444405", "", "", "01.01.2001", "02.02.2003"})));
    ASSERT_TRUE(archive->store(Calculated({"Aynı Kişi", " 44444444440 ", "", "", "01.01.2004", "02.02.2005"}),
                               "kidem"));
    auto cases = CasesOfPerson(*archive, "44444444440");
    ASSERT_TRUE(cases);
    ASSERT_EQ(cases->size(), 2u); // not the number that only contains it
    EXPECT_EQ((*cases)[1].sheet.text(F::txtAdiSoyadi), "Aynı Kişi");

    const std::string csv = ExportCsv(*cases);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF\"Vaka\";", 0), 0u);
    EXPECT_NE(csv.find(";\"txtTcKNo\";\"txtIbranameTarihi\";\"FESIH\";\"IZGUN\";"), std::string::npos);
    EXPECT_NE(csv.find("\"'=HYPERLINK(\"\"x\"\")\""), std::string::npos); // no formula, quotes doubled
    EXPECT_NE(csv.find(std::string(kDefaultReleaseText.substr(0, 40))), std::string::npos);
    EXPECT_NE(csv.find("\"Kıdem Bordrosu "), std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'),
              1 + 2 * (1 + std::count(kDefaultReleaseText.begin(), kDefaultReleaseText.end(), '\n')));

    const std::string html = ExportHtml({*archive->load(2)});
    EXPECT_NE(html.find("&lt;b&gt;Başka&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<b>Başka"), std::string::npos);
    EXPECT_NE(html.find("<th>T.C. Kimlik No</th><td>1444444444405</td>"), std::string::npos);
}

// Every cell that a spreadsheet could take for a formula is written as text.
TEST(Archive, CsvExportDefusesFormulaCells) {
    const std::pair<std::string, std::string> rows[] = {
        {"=1+1", "\"'=1+1\""}, {"+1", "\"'+1\""},           {"-1+1", "\"'-1+1\""},
        {"-", "\"'-\""},       {"@SUM(1)", "\"'@SUM(1)\""}, {"\t=1", "\"'\t=1\""},
        {"\r=1", "\"'\r=1\""}, {"1-1", "\"1-1\""},          {"Ali =1", "\"Ali =1\""},
    };
    for (const auto& [name, cell] : rows) {
        ArchivedCase c;
        c.sheet.texts[static_cast<size_t>(F::txtAdiSoyadi)] = name;
        EXPECT_NE(ExportCsv({c}).find(";" + cell + ";"), std::string::npos) << name;
    }
}

// The printable list names every field by the caption a clerk knows, one caption for one field, and the
// papers by their names.
TEST(Archive, HtmlExportShowsCaptionsNeverFieldCodes) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    CaseSheet sheet = Calculated(kAhmet);
    for (Field f : {F::O6, F::VD6, F::txtSSkNoIsv}) sheet.texts[static_cast<size_t>(f)] = "1";
    const auto id = archive->store(sheet, "ibraname");
    ASSERT_TRUE(id && archive->addPaper(*id, "kidem") && archive->addPaper(*id, "aciklama"));
    const std::string html = ExportHtml({*archive->load(*id)});
    std::vector<std::string> captions;
    for (size_t at = html.find("<th>"); at != std::string::npos; at = html.find("<th>", at + 1))
        captions.push_back(html.substr(at + 4, html.find("</th>", at) - at - 4));
    for (int i = 0; i < kFieldCount; ++i) {
        const std::string code(FieldName(static_cast<Field>(i)));
        EXPECT_EQ(std::count(captions.begin(), captions.end(), code), 0) << code;
    }
    std::vector<std::string> sorted = captions;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end())
        << *std::adjacent_find(sorted.begin(), sorted.end());
    for (const char* expected :
         {"Kıdem Toplam Gün", "İhbar Toplam Gün", "İhbar Damga Vergisi", "Toplam Gün (Prim Günü)",
          "Gelir Vergisi 1. Dilim Oranı", "Gelir Vergisi 5. Dilim Tutarı", "İbraname Metni",
          "SSK No (Personel)", "SSK No (İşveren Bilgileri)"})
        EXPECT_NE(std::find(captions.begin(), captions.end(), expected), captions.end()) << expected;
    EXPECT_NE(html.find("<th>Dökümler</th><td>İbraname "), std::string::npos);
    EXPECT_NE(html.find("; Kıdem Bordrosu "), std::string::npos);
    EXPECT_NE(html.find("; Hesap Açıklaması "), std::string::npos);
}

// A file of the first version is brought up to date on opening, its cases found by exit date afterwards.
TEST(Archive, MigratesFromTheFirstVersion) {
    TempFolder dir;
    const std::string path = dir.file("arsiv.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const std::string v1 =
        std::string(archive_schema::kSteps[0]) +
        "PRAGMA user_version = 1;"
        "INSERT INTO cases VALUES (7, 1000000000, 'ayse', 1, 1, 1, 1, 1960.5, 'Ayşe Kaya', "
        "'55555555550', '30.06.2006', '1.000,00', '0,00', 'ayşe kaya\n55555555550\n\n\n\n');"
        "INSERT INTO case_texts VALUES (7, 'CTarih', '30.06.2006'), (7, 'txtAdiSoyadi', 'Ayşe Kaya');"
        "INSERT INTO papers VALUES (7, 'ibraname', 1000000000, 'ayse');";
    ASSERT_EQ(sqlite3_exec(db, v1.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);

    auto archive = Open(path);
    auto rows = archive->search({"ayşe", "01.06.2006", "30.06.2006"});
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ((*rows)[0].id, 7);
    EXPECT_EQ((*rows)[0].papers, std::vector<std::string>{"ibraname"});
    auto c = archive->load(7);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->sheet.text(F::txtAdiSoyadi), "Ayşe Kaya");
    EXPECT_EQ(c->sheet.yillikKidemTutari, 1960.5);
    auto next = archive->store(Calculated(kAhmet));
    EXPECT_EQ(next.value(), 8); // ids go on from the old file's
}

// Two processes store at the same moment; both wait for each other instead of failing.
TEST(Archive, TwoProcessesWriteAtOnce) {
    TempFolder dir;
    const std::string path = dir.file("arsiv.db");
    ASSERT_TRUE(Open(path));
    const CaseSheet sheet = Calculated(kAhmet);
    const auto writer = [&] {
        auto archive = Archive::open(path);
        for (int i = 0; i < 60; ++i)
            if (!archive || !(*archive)->store(sheet, "kidem")) return 1;
        return 0;
    };
    pid_t pids[2];
    for (pid_t& pid : pids)
        if ((pid = ::fork()) == 0) ::_exit(writer());
    for (pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(CountCases(path), 120);
    EXPECT_TRUE(IntegrityOk(path));
}

// A writer killed at a random moment: every case it reported as committed is there and whole.
TEST(Archive, AKilledWriterLeavesCommittedCasesWhole) {
    TempFolder dir;
    const std::string path = dir.file("arsiv.db");
    const CaseSheet sheet = Calculated(kAhmet);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        auto archive = Archive::open(path);
        for (int n = 1; archive && (*archive)->store(sheet); ++n)
            if (::write(fds[1], &n, sizeof n) != sizeof n) break;
        ::_exit(1);
    }
    ::close(fds[1]);
    int committed = 0, n = 0;
    while (committed < 40 && ::read(fds[0], &n, sizeof n) == sizeof n) committed = n;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(fds[0]);
    ASSERT_EQ(committed, 40);

    auto archive = Open(path);
    auto rows = archive->search({"", "", "", 100000});
    ASSERT_TRUE(rows);
    EXPECT_GE(static_cast<int>(rows->size()), committed);
    for (const ArchiveRow& r : *rows) EXPECT_TRUE(archive->load(r.id).value().sheet == sheet) << r.id;
    EXPECT_TRUE(IntegrityOk(path));
}

// Files that cannot serve as an archive give a message naming the file and the reason.
TEST(Archive, BadFilesGiveAClearMessage) {
    TempFolder dir;
    WriteBytes(dir.file("bozuk.db"), std::string(8192, 'x'));
    sqlite3* db = nullptr;
    sqlite3_open(dir.file("baska.db").c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::pair<std::string, std::string> rows[] = {
        {dir.file("bozuk.db"), "bir Pamerol arşivi değil (dosya bozuk"},
        {dir.file("baska.db"), "bir Pamerol arşivi değil"},
        {dir.file("yok/arsiv.db"), "klasör yok"},
    };
    for (const auto& [path, reason] : rows) {
        const std::string error = Why(Archive::open(path));
        EXPECT_EQ(error.rfind("Arşiv açılamadı: " + path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    EXPECT_EQ(ReadBytes(dir.file("bozuk.db")), std::string(8192, 'x')); // left as it was

    // SQLite's own English text only follows the clerk's Turkish words, in parentheses.
    const std::string damaged = dir.file("eksik.db");
    ASSERT_TRUE(Open(damaged));
    sqlite3_open(damaged.c_str(), &db);
    sqlite3_exec(db, "DROP TABLE papers", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(Why(Open(damaged)->search({})),
              "Arşivde aranamadı: " + damaged + ": veritabanı hatası (no such table: papers)");
}

// A full disk, simulated with a file-size limit in a child: the store fails with a message, and the
// cases stored before are untouched.
TEST(Archive, AFullDiskRefusesStoringWithAMessage) {
    TempFolder dir;
    const std::string path = dir.file("arsiv.db");
    ASSERT_TRUE(Open(path)->store(Calculated(kAhmet)));
    CaseSheet big = Calculated(kAhmet);
    big.texts[static_cast<size_t>(F::txtIbraname)] = std::string(1 << 20, 'a');
    const int status = InChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        auto archive = Archive::open(path);
        const rlimit small{200000, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &small);
        if (!archive) return 1;
        const std::string error = Why((*archive)->store(big, ""));
        return error.find("diske yazılamadı") != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(CountCases(path), 1);
    EXPECT_TRUE(IntegrityOk(path));
}

TEST(ArsivYolu, BesideTheSettingsFileUnlessTheFileNamesOne) {
    TempFolder dir;
    const std::string ini = dir.file("Pmrl.ini");
    const std::pair<std::string, std::string> rows[] = {
        {"", dir.file("arsiv.db")},
        {"[Arsiv]\r\nYol=/srv/ortak/arsiv.db\r\n", "/srv/ortak/arsiv.db"},
        {"[arsiv]\r\nyol=alt/a.db\r\n", dir.file("alt/a.db")},
    };
    for (const auto& [text, expected] : rows) {
        WriteBytes(ini, text);
        EXPECT_EQ(ArsivYolu(ini), expected) << text;
    }
}

// Store from a single run and a batch, find, reopen exactly as computed; a broken archive still
// calculates.
TEST(CompanionArchive, StoresFindsAndReopens) {
    TempFolder dir;
    const std::string db = dir.file("arsiv.db"), ini = PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini";
    const std::vector<std::string> one = {"--ayar",
                                          ini,
                                          "--arsiv",
                                          db,
                                          "GTarih=15.03.2004",
                                          "CTarih=14.09.2007",
                                          "ESUCRET=2.000,00",
                                          "txtAdiSoyadi=Işıl Çelik",
                                          "txtTcKNo=10000000146"};
    const Outcome stored = Companion(one);
    ASSERT_EQ(stored.status, 3) << stored.err; // the 2026 settings on a 2007 exit are named
    const Outcome batch =
        Companion({"--ayar", ini, "--arsiv", db, "--toplu"},
                  "{\"GTarih\":\"01.01.2001\",\"CTarih\":\"01.01.2006\",\"txtAdiSoyadi\":\"B\"}\n"
                  "{\"GTarih\":\"31.02.2001\",\"txtAdiSoyadi\":\"refused\"}\n"
                  "{\"GTarih\":\"01.01.2002\",\"CTarih\":\"01.01.2006\",\"txtAdiSoyadi\":\"C\"}\n");
    EXPECT_EQ(batch.status, 1); // the refused line; it is not stored

    const Outcome found = Companion({"--arsiv", db, "--arsiv-ara", "IŞIL"});
    ASSERT_EQ(found.status, 0) << found.err;
    const auto line = nlohmann::json::parse(found.out);
    EXPECT_EQ(line["id"], 1);
    EXPECT_EQ(line["txtAdiSoyadi"], "Işıl Çelik");
    EXPECT_EQ(line["CTarih"], "14.09.2007");
    EXPECT_EQ(line["NET"], nlohmann::json::parse(stored.out)["fields"]["NET"]);
    const Outcome all = Companion({"--ayar", ini, "--arsiv", db, "--arsiv-ara", ""});
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 3);
    std::vector<std::string> newestFirst;
    std::istringstream allLines(all.out);
    for (std::string l; std::getline(allLines, l);)
        newestFirst.push_back(nlohmann::json::parse(l)["txtAdiSoyadi"]);
    EXPECT_EQ(newestFirst, (std::vector<std::string>{"C", "B", "Işıl Çelik"}));
    EXPECT_NE(all.out.find("\"txtAdiSoyadi\":\"C\""), std::string::npos);
    EXPECT_EQ(all.out.find("refused"), std::string::npos);

    const Outcome reopened = Companion({"--arsiv", db, "--arsiv-ac", "1"});
    ASSERT_EQ(reopened.status, 0) << reopened.err;
    auto a = nlohmann::json::parse(stored.out), b = nlohmann::json::parse(reopened.out);
    EXPECT_EQ(a["fields"], b["fields"]);
    EXPECT_EQ(a["YillikKidemTutari"], b["YillikKidemTutari"]);
    EXPECT_EQ(b["Command3"], true);
    EXPECT_TRUE(b["messages"].empty()); // not calculated again

    const std::string csv = dir.file("kisi.csv");
    EXPECT_EQ(Companion({"--arsiv", db, "--arsiv-disa", "10000000146", csv}).status, 0);
    struct stat st {};
    ASSERT_EQ(::stat(csv.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u); // personal data
    EXPECT_NE(ReadBytes(csv).find("\"Işıl Çelik\""), std::string::npos);

    const std::pair<std::vector<std::string>, int> refused[] = {
        {{"--arsiv", db, "--arsiv-ac", "9"}, 1},
        {{"--arsiv", db, "--arsiv-ac", "x"}, 2},
        {{"--arsiv", db, "--arsiv-ac", "1", "ESUCRET=1"}, 2},
        {{"--arsiv-ara", "a"}, 2},
    };
    for (const auto& [args, status] : refused) EXPECT_EQ(Companion(args).status, status) << args[2];

    WriteBytes(dir.file("bozuk.db"), std::string(4096, 'x'));
    std::vector<std::string> broken = one;
    broken[3] = dir.file("bozuk.db");
    const Outcome still = Companion(broken);
    EXPECT_EQ(still.status, 1);
    EXPECT_EQ(nlohmann::json::parse(still.out)["fields"]["NET"], a["fields"]["NET"]);
    EXPECT_NE(still.err.find("dosya bozuk"), std::string::npos);
}

namespace {

// Sets a database's version as a damaged header or another program would, behind the archive's back.
void SetVersion(const std::string& path, int version, const char* more = "") {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const std::string sql = std::string(more) + "PRAGMA user_version = " + std::to_string(version);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// An archive of the given version as this program's older releases left it (without the mark).
void OldArchive(const std::string& path, int version) {
    std::string steps;
    for (int i = 0; i < version; ++i) steps += archive_schema::kSteps[static_cast<size_t>(i)];
    steps +=
        "INSERT INTO cases (id, stored_at, stored_by, mode, check1, check2, command3, yillik_kidem_tutari, "
        "name, tc_no, exit_date, net_severance, net_notice, search) VALUES (3, 1000000000, 'ayse', 1, 1, 1, "
        "1, 0, 'I\xCC\x87SMAI\xCC\x87L Öz', '55555555550 ', '30.06.2006', '1,00', '0,00', "
        "'ı\xCC\x87smaı\xCC\x87l öz\n55555555550 \n\n\n\n');";
    SetVersion(path, version, steps.c_str());
}

} // namespace

// The version table: what opens, and what is refused with the file left byte for byte as it was, through
// the archive and through the companion.
TEST(Archive, IdentifiesAFileBeforeTouchingIt) {
    const int newest = archive_schema::kVersion;
    enum Kind { Ours, OursOld, Other, OtherLogged };
    struct Row {
        Kind kind;
        int version;
        std::string refused; // empty: it opens
    };
    const std::string no = "bir Pamerol arşivi değil", newer = "daha yeni bir sürümün arşivi";
    const std::vector<Row> rows = {
        {Ours, -7, no},        {Ours, -1, no},          {Ours, 0, no},        {Ours, newest + 1, newer},
        {Ours, newest, ""},    {OursOld, 1, ""},        {OursOld, 2, ""},     {OursOld, newest + 1, newer},
        {Other, -7, no},       {Other, -1, no},         {Other, 0, no},       {Other, 1, no},
        {Other, 2, no},        {Other, newest + 1, no}, {OtherLogged, 1, no}, {OtherLogged, 2, no},
        {OtherLogged, -7, no},
    };
    for (const Row& r : rows) {
        const std::string what = std::to_string(r.kind) + " " + std::to_string(r.version);
        TempFolder dir;
        const std::string path = dir.file("a.db");
        if (r.kind == Ours) {
            ASSERT_TRUE(Open(path)->store(Calculated(kAhmet)));
            SetVersion(path, r.version);
        } else if (r.kind == OursOld) {
            OldArchive(path, std::min(r.version, 2)); // the steps before the program's own fold functions
            if (r.version >= newest) SetVersion(path, r.version);
        } else {
            SetVersion(path, r.version,
                       r.kind == OtherLogged
                           ? "PRAGMA journal_mode = WAL; CREATE TABLE t (x); INSERT INTO t VALUES (1);"
                           : "CREATE TABLE cases (id); CREATE TABLE t (x);");
        }
        const std::string before = ReadBytes(path);
        std::string error;
        for (ArchiveAccess access : {ArchiveAccess::ReadWrite, ArchiveAccess::ReadOnly}) {
            auto opened = Archive::open(path, access);
            if (!opened) error = opened.error().message;
            EXPECT_EQ(!opened, !r.refused.empty()) << what << " " << error;
            if (opened) {
                Archive* archive = opened->get();
                auto rows = archive->search({"ismail", "", ""});
                ASSERT_TRUE(rows) << what;
                EXPECT_EQ(rows->size(), r.kind == OursOld ? 1u : 0u) << what; // found by the folded column
                if (r.kind == OursOld) { // the T.C. Kimlik No stored with a blank after it
                    EXPECT_EQ(CasesOfPerson(*archive, "55555555550").value().size(), 1u) << what;
                }
            }
        }
        if (r.refused.empty()) continue;
        EXPECT_NE(error.find(r.refused), std::string::npos) << what << " " << error;
        for (const auto& args : {std::vector<std::string>{"--arsiv", path, "--arsiv-ara", ""},
                                 std::vector<std::string>{"--arsiv", path, "--arsiv-sil-eski", "1"},
                                 std::vector<std::string>{"--arsiv", path, "GTarih=15.03.2004",
                                                          "CTarih=14.09.2007", "ESUCRET=2.000,00"}}) {
            const Outcome o = Companion(args);
            EXPECT_EQ(o.status, 1) << what << " " << args[2];
            EXPECT_NE(o.err.find(r.refused), std::string::npos) << what << " " << o.err;
        }
        EXPECT_EQ(ReadBytes(path), before) << what;
        EXPECT_FALSE(std::filesystem::exists(path + "-shm")) << what;
    }
}

// An empty file made beforehand for the archive gets the archive's own permissions, as a new one does.
TEST(Archive, NewAndEmptyPreparedFilesGetPrivatePermissions) {
    TempFolder dir;
    const std::string shared = dir.file("ortak");
    ASSERT_EQ(::mkdir(shared.c_str(), 0770), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 02770), 0);
    struct Row {
        std::string path;
        bool prepared;
        mode_t mode;
    };
    const Row rows[] = {{dir.file("yeni.db"), false, 0600},
                        {dir.file("bos.db"), true, 0600},
                        {shared + "/yeni.db", false, 0660},
                        {shared + "/bos.db", true, 0660}};
    for (const Row& r : rows) {
        if (r.prepared) {
            WriteBytes(r.path, "");
            ::chmod(r.path.c_str(), 0644);
        }
        ASSERT_TRUE(Open(r.path)) << r.path;
        struct stat st {};
        ASSERT_EQ(::stat(r.path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, r.mode) << r.path;
    }
}

// Read-only files and folders: the archive is searched and reopened, a change says which of the two
// stands in the way. The superuser writes anyway, so the checks run as an ordinary user in a child.
TEST(Archive, ReadOnlyFilesAndFoldersCanBeSearched) {
    struct Row {
        mode_t file, folder;
        std::string reason;
    };
    const Row rows[] = {
        {0644, 0555, "arşivin klasörüne yazma izni yok"},
        {0444, 0755, "dosya salt okunur"},
        {0444, 0555, "dosya salt okunur"},
    };
    for (const Row& r : rows) {
        TempFolder dir;
        const std::string folder = dir.file("arsiv"), path = folder + "/arsiv.db";
        ::chmod(dir.path().c_str(), 0755);
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
        ASSERT_TRUE(Open(path)->store(Calculated(kAhmet)));
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        ::chmod(path.c_str(), r.file);
        ::chmod(folder.c_str(), r.folder);
        const std::string before = ReadBytes(path);
        const int status = InChild([&] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 10;
            for (ArchiveAccess access : {ArchiveAccess::ReadOnly, ArchiveAccess::ReadWrite}) {
                auto opened = Archive::open(path, access);
                if (!opened) return std::fprintf(stderr, "%s\n", Why(opened).c_str()), 11;
                Archive& archive = **opened;
                auto rows = archive.search({"yılmaz", "", ""});
                if (!rows || rows->size() != 1 || !archive.load((*rows)[0].id)) return 12;
                if (access == ArchiveAccess::ReadWrite) {
                    const auto stored = archive.store(Calculated(kAhmet), "");
                    if (stored) return 13;
                    if (Why(stored) != "Vaka arşive kaydedilemedi: " + path + ": " + r.reason +
                                           (r.reason == "dosya salt okunur" ? ", yazma izni yok" : ""))
                        return 14;
                }
            }
            const Outcome found = Companion({"--arsiv", path, "--arsiv-ara", "ahmet"});
            return found.status == 0 && found.out.find("Ahmet YILMAZ") != std::string::npos ? 0 : 15;
        });
        EXPECT_EQ(status, 0) << std::oct << r.file << " " << r.folder;
        EXPECT_EQ(ReadBytes(path), before);
        ::chmod(folder.c_str(), 0755);
    }
}

// Names as they reach the program from other keyboards and systems: every spelling finds its case, the
// cases that match with the Turkish letters first.
TEST(Archive, FindsNamesTypedWithoutTurkishLetters) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    for (const char* name : {"Şükrü Çağlar", "İlknur Kılıç", "Hüseyin Işık", "IRMAK ÖZTÜRK",
                             "I\xCC\x87SMAI\xCC\x87L DEMİR", "i\xCC\x87smail Kaya", "ISIK Ak", "Işıl Çelik"})
        ASSERT_TRUE(archive->store(Calculated({name, "", "", "", "01.01.2001", "02.02.2002"})));
    struct Row {
        std::string text;
        std::vector<std::string> names; // newest first after the Turkish matches
    };
    const std::string demir = "I\xCC\x87SMAI\xCC\x87L DEMİR", kaya = "i\xCC\x87smail Kaya";
    const Row rows[] = {
        {"SUKRU CAGLAR", {"Şükrü Çağlar"}},
        {"sukru", {"Şükrü Çağlar"}},
        {"caglar", {"Şükrü Çağlar"}},
        {"ŞÜKRÜ çağlar", {"Şükrü Çağlar"}},
        {"ILKNUR", {"İlknur Kılıç"}},
        {"Ilknur", {"İlknur Kılıç"}},
        {"KILIC", {"İlknur Kılıç"}},
        {"huseyin", {"Hüseyin Işık"}},
        {"ISIK", {"ISIK Ak", "Hüseyin Işık"}},
        {"işık", {"ISIK Ak", "Hüseyin Işık"}}, // no Turkish match: newest first
        {"ışık", {"Hüseyin Işık", "ISIK Ak"}}, // the Turkish match first, though older
        {"irmak", {"IRMAK ÖZTÜRK"}},
        {"ırmak", {"IRMAK ÖZTÜRK"}},
        {"öztürk", {"IRMAK ÖZTÜRK"}},
        {"ismail", {kaya, demir}},
        {"İSMAİL", {kaya, demir}},
        {"I\xCC\x87smail", {kaya, demir}},
        {"işil celık", {"Işıl Çelik"}},
        {"çelİk", {"Işıl Çelik"}},
        {"ç", {"Işıl Çelik", "İlknur Kılıç", "Şükrü Çağlar"}},
        {"c", {"Işıl Çelik", "İlknur Kılıç", "Şükrü Çağlar"}},
        {"zzz", {}},
    };
    for (const Row& r : rows) {
        auto found = archive->search({r.text, "", ""});
        ASSERT_TRUE(found) << r.text;
        std::vector<std::string> names;
        for (const ArchiveRow& row : *found) names.push_back(row.name);
        EXPECT_EQ(names, r.names) << r.text;
    }
}

// A search of very many words stays within SQLite's limits and still means "all of them".
TEST(Archive, SearchesForAThousandWords) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    std::string employer;
    for (int i = 0; i < 100; ++i) employer += "abcdefghij";
    ASSERT_TRUE(archive->store(Calculated({"Uzun İşveren", "", "", employer, "", ""}, Mode::PremiumDays)));
    std::string all, oneMissing;
    for (size_t n = 1; n <= 999; ++n) all += employer.substr(0, n) + " ";
    oneMissing = all + "k";
    auto found = archive->search({all, "", ""});
    ASSERT_TRUE(found) << Why(found);
    EXPECT_EQ(found->size(), 1u);
    found = archive->search({oneMissing, "", ""});
    ASSERT_TRUE(found) << Why(found);
    EXPECT_EQ(found->size(), 0u);
}

// A changed check box or name after a paper makes the next paper a new case; the same sheet adds to it.
TEST(CaseKeeper, AnyChangeAfterAPaperStartsANewCase) {
    TempFolder dir;
    RecordedMessages messages, archiveMessages;
    CaseKeeper keeper([&] { return dir.file("arsiv.db"); }, archiveMessages);
    Pamerol sheet(messages);
    AyarlariOku(sheet.record(), PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini");
    Record& r = sheet.record();
    for (const auto& [f, t] : {std::pair<F, const char*>{F::GTarih, "15.03.2004"},
                               {F::CTarih, "14.09.2007"},
                               {F::ESUCRET, "2.000,00"},
                               {F::txtAdiSoyadi, "Ayşe Kaya"}})
        r.write(f, t);
    sheet.hesapla();
    struct Row {
        std::string what;
        std::function<void()> change;
        std::int64_t held;
    };
    const Row rows[] = {
        {"first paper", [] {}, 1},
        {"same sheet", [] {}, 1},
        {"Check1", [&] { r.setCheck1(0); }, 2},
        {"name", [&] { r.write(F::txtAdiSoyadi, "Fatma Kaya"); }, 3},
        {"Check2", [&] { r.setCheck2(0); }, 4},
    };
    for (const Row& row : rows) {
        row.change();
        keeper.paperFilled(r, "kidem");
        EXPECT_EQ(keeper.heldId(), row.held) << row.what;
    }
    EXPECT_TRUE(archiveMessages.entries.empty());
    EXPECT_EQ(keeper.archive().value()->load(1)->papers.size(), 2u);
}

// The file type of an export, one rule for the window and the companion.
TEST(Export, FileTypeByTheNamesEnding) {
    const std::pair<std::string, std::optional<ExportKind>> rows[] = {
        {"kisi.html", ExportKind::Html},  {"kisi.HTML", ExportKind::Html}, {"k.htm", ExportKind::Html},
        {"/a.b/K.HtM", ExportKind::Html}, {"kisi.csv", ExportKind::Csv},   {"KISI.CSV", ExportKind::Csv},
        {"kisi.txt", std::nullopt},       {"kisi", std::nullopt},          {"kisi.html.txt", std::nullopt},
        {"arsiv.db", std::nullopt},       {"kisi.csv ", std::nullopt},     {".csv", std::nullopt},
    };
    for (const auto& [path, kind] : rows) {
        const auto found = ExportKindOf(path);
        EXPECT_EQ(found ? std::optional(*found) : std::nullopt, kind) << path;
        EXPECT_EQ(Why(found).empty(), kind.has_value()) << path;
    }
}

// An export writes nothing when it has no case or its file is the archive or another database.
TEST(Export, RefusesNoCaseAndDatabaseTargets) {
    TempFolder dir;
    const std::string db = dir.file("arsiv.db");
    ASSERT_TRUE(Open(db)->store(Calculated({"Ayşe", "10000000146 ", "", "", "01.01.2001", "02.02.2002"})));
    SetVersion(dir.file("baska.csv"), 0, "CREATE TABLE t (x);");
    ASSERT_EQ(::symlink(db.c_str(), dir.file("arsiv.html").c_str()), 0);
    struct Row {
        std::string tc, file, reason;
    };
    const Row rows[] = {
        {"10000000146", db, "dosya adı .html, .htm ya da .csv ile bitmeli"},
        {"10000000146", dir.file("arsiv.html"), "arşivin kendisi"},
        {"10000000146", dir.file("baska.csv"), "bir veritabanı"},
        {"99999999990", dir.file("yok.csv"), "T.C. Kimlik No 99999999990 ile kayıtlı vaka yok"},
        {" ", dir.file("bos.csv"), "T.C. Kimlik No verilmedi"},
        {"10000000146", dir.file("kisi.txt"), ".csv ile bitmeli"},
    };
    for (const Row& r : rows) {
        const std::string before = ReadBytes(r.file);
        const Outcome o = Companion({"--arsiv", db, "--arsiv-disa", r.tc, r.file});
        EXPECT_EQ(o.status, 1) << r.file;
        EXPECT_NE(o.err.find(r.reason), std::string::npos) << o.err;
        EXPECT_EQ(ReadBytes(r.file), before) << r.file;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("yok.csv")));
    EXPECT_EQ(CountCases(db), 1);
    const Outcome ok = Companion({"--arsiv", db, "--arsiv-disa", " 10000000146", dir.file("kisi.HTM")});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ReadBytes(dir.file("kisi.HTM")).find("<th>T.C. Kimlik No</th><td>10000000146</td>"),
              std::string::npos);
}

// One archive command per run; anything more is refused before the archive is touched.
TEST(CompanionArchive, TakesOneArchiveCommandPerRun) {
    TempFolder dir;
    const std::string db = dir.file("arsiv.db"), other = dir.file("diger.db");
    std::vector<CaseToStore> cases(3, {Calculated(kAhmet), {}, {}});
    ASSERT_TRUE(Open(db)->storeAll(cases));
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"--arsiv", db, "--arsiv-sil", "1", "--arsiv-sil", "2"}, "yalnız bir arşiv komutu"},
        {{"--arsiv", db, "--arsiv-sil", "3", "--arsiv-ara", "x"}, "yalnız bir arşiv komutu"},
        {{"--arsiv", db, "--arsiv-ac", "1", "--arsiv-sil", "1"}, "yalnız bir arşiv komutu"},
        {{"--arsiv", db, "--arsiv-sil-eski", "0", "--arsiv-disa", "1", "k.csv"}, "yalnız bir arşiv komutu"},
        {{"--arsiv", other, "--arsiv", db, "--arsiv-sil", "1"}, "--arsiv bir kez"},
        {{"--arsiv", db, "--hepsi", "--arsiv-sil", "1"}, "--hepsi yalnız --arsiv-ara ile"},
        {{"--arsiv", db, "--arsiv-sil", "bir"}, "bir tam sayı ister"},
        {{"--arsiv", db, "--arsiv-disa", "1"}, "iki değer ister"},
    };
    for (const auto& [args, message] : rows) {
        const Outcome o = Companion(args);
        EXPECT_EQ(o.status, 2) << args[2];
        EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    }
    EXPECT_EQ(CountCases(db), 3);
    EXPECT_FALSE(std::filesystem::exists(other));
}

// The search says when its limit left cases out, and --hepsi lifts the limit.
TEST(CompanionArchive, SearchSaysWhenItStoppedAtItsLimit) {
    TempFolder dir;
    const std::string db = dir.file("arsiv.db");
    const int limit = ArchiveQuery().limit;
    std::vector<CaseToStore> cases(static_cast<size_t>(limit), {Calculated(kAhmet), {}, {}});
    ASSERT_TRUE(Open(db)->storeAll(cases));
    const auto lines = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n'); };
    Outcome o = Companion({"--arsiv", db, "--arsiv-ara", "ahmet"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(lines(o.out), limit);
    EXPECT_EQ(o.err, ""); // exactly the limit: nothing left out
    ASSERT_TRUE(Open(db)->store(Calculated(kAhmet)));
    o = Companion({"--arsiv", db, "--arsiv-ara", "ahmet"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(lines(o.out), limit);
    EXPECT_NE(o.err.find("--hepsi"), std::string::npos);
    o = Companion({"--arsiv", db, "--arsiv-ara", "ahmet", "--hepsi"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(lines(o.out), limit + 1);
    EXPECT_EQ(o.err, "");
}

// A run stored again under its name replaces the cases of the people it stored before (keeping their ids
// and taking the new papers), by T.C. Kimlik No, else by name with the entry and exit dates; a person it
// did not store, another run and a single case are added.
TEST(Archive, ARunStoredAgainReplacesItsPeople) {
    const Person ayse{"Ayşe Kaya", "", "", "", "01.02.2010", "30.06.2026"};
    const struct Row {
        const char* what;
        Person again;    // the person of the second storing
        std::string run; // its run
        bool replaces;   // the first storing's case, or a new one
        size_t whose;    // the first storing's case it replaces: 0 Ahmet's, 1 Ayşe's
    } rows[] = {
        {"the same number, the name written otherwise",
         {"Ahmet Yılmaz", "10000000146", "", "", "", ""},
         "Haziran",
         true,
         0},
        {"no number: the name in another case, the same dates",
         {"AYŞE KAYA", "", "", "", "01.02.2010", "30.06.2026"},
         "Haziran",
         true,
         1},
        {"no number: another exit date",
         {"Ayşe Kaya", "", "", "", "01.02.2010", "31.07.2026"},
         "Haziran",
         false,
         1},
        {"another number",
         {"Ahmet YILMAZ", "10000000210", "", "", "15.03.2004", "14.09.2007"},
         "Haziran",
         false,
         0},
        {"another run", kAhmet, "Temmuz", false, 0},
        {"a single case", kAhmet, "", false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TempFolder dir;
        const std::string db = dir.file("arsiv.db");
        auto archive = Open(db);
        const auto first = archive->storeAll(
            {{Calculated(kAhmet), {"kidem"}, "Haziran"}, {Calculated(ayse), {"kidem"}, "Haziran"}},
            Archive::SameRun::Replace);
        ASSERT_TRUE(first) << Why(first);
        size_t replaced = 9;
        const auto again = archive->storeAll({{Calculated(r.again), {"ihbar"}, r.run}},
                                             Archive::SameRun::Replace, &replaced);
        ASSERT_TRUE(again) << Why(again);
        EXPECT_EQ(replaced, r.replaces ? 1u : 0u);
        EXPECT_EQ(CountCases(db), r.replaces ? 2 : 3);
        EXPECT_EQ(again->front() == first->at(r.whose), r.replaces);
        const auto stored = archive->load(again->front());
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->sheet.text(F::txtAdiSoyadi), r.again.name);
        ASSERT_EQ(stored->papers.size(), 1u);
        EXPECT_EQ(stored->papers[0].paper, "ihbar");
    }
    // Two rows of one person in a run replace two cases, and are added as two the first time.
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    const std::vector<CaseToStore> twice(2, {Calculated(kAhmet), {}, "Haziran"});
    ASSERT_TRUE(archive->storeAll(twice, Archive::SameRun::Replace));
    size_t replaced = 0;
    ASSERT_TRUE(archive->storeAll(twice, Archive::SameRun::Replace, &replaced));
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(CountCases(dir.file("arsiv.db")), 2);
}
