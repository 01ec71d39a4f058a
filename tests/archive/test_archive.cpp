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

#include "archive/archive.h"
#include "archive/arsiv_yolu.h"
#include "archive/export.h"
#include "archive/schema.h"
#include "companion_run.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
using pamerol::testing::Companion;
using pamerol::testing::Outcome;
using pamerol::testing::ReadBytes;
using pamerol::testing::TempFolder;
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

std::unique_ptr<Archive> Open(const std::string& path) {
    std::string error;
    auto a = Archive::open(path, &error);
    EXPECT_TRUE(a) << error;
    return a;
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
        EXPECT_TRUE(RestoreSheet(back->sheet, sheet.record()).empty());
        EXPECT_TRUE(SheetOf(sheet.record()) == stored);
        EXPECT_TRUE(messages.entries.empty());
    }
    std::string error;
    EXPECT_FALSE(archive->addPaper(999, "kidem", &error));
    EXPECT_NE(error.find("999 numaralı vaka arşivde yok"), std::string::npos) << error;
    EXPECT_FALSE(archive->load(999, &error));
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
        {"yilmaz", "", "", {}}, // "i" is not "ı"
        {"IŞIK", "", "", {"İsmail Işık"}},
        {"işık", "", "", {}},
        {"ismail", "", "", {"İsmail Işık"}},
        {"İNCE ışıl", "", "", {"ışıl İNCE"}},
        {"ınce", "", "", {}},
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
    std::string error;
    EXPECT_FALSE(archive->search({"", "1.1.2008", ""}, &error));
    EXPECT_NE(error.find("1.1.2008"), std::string::npos);
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
    std::string error;
    EXPECT_FALSE(archive->remove(*id, &error));
    EXPECT_NE(error.find("arşivde yok"), std::string::npos);
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
    clock = 1781524800; // 15.06.2026 12:00
    auto removed = archive->removeOlderThan(10);
    ASSERT_TRUE(removed);
    EXPECT_EQ(*removed, 2);
    EXPECT_EQ(Names(*archive->search({})), (std::vector<std::string>{"On Yıl Dolmadı", "Yeni Prim"}));
}

TEST(Archive, ExportsOnePersonsCases) {
    TempFolder dir;
    auto archive = Open(dir.file("arsiv.db"));
    ASSERT_TRUE(
        archive->store(Calculated({"=HYPERLINK(\"x\")", "44444444440", "", "", "01.01.2001", "02.02.2002"})));
    ASSERT_TRUE(
        archive->store(Calculated({"<b>Başka</b>", "144444444405", "", "", "01.01.2001", "02.02.2003"})));
    ASSERT_TRUE(archive->store(Calculated({"Aynı Kişi", "44444444440", "", "", "01.01.2004", "02.02.2005"}),
                               "kidem"));
    auto cases = CasesOfPerson(*archive, "44444444440");
    ASSERT_TRUE(cases);
    ASSERT_EQ(cases->size(), 2u); // not the number that only contains it
    EXPECT_EQ((*cases)[1].sheet.text(F::txtAdiSoyadi), "Aynı Kişi");

    const std::string csv = ExportCsv(*cases);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF\"Vaka\";", 0), 0u);
    EXPECT_NE(csv.find(";\"txtTcKNo\";\"txtIbranameTarihi\"\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\"'=HYPERLINK(\"\"x\"\")\""), std::string::npos); // no formula, quotes doubled
    EXPECT_NE(csv.find(std::string(kDefaultReleaseText.substr(0, 40))), std::string::npos);
    EXPECT_NE(csv.find("\"kidem "), std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'),
              1 + 2 * (1 + std::count(kDefaultReleaseText.begin(), kDefaultReleaseText.end(), '\n')));

    const std::string html = ExportHtml({*archive->load(2)});
    EXPECT_NE(html.find("&lt;b&gt;Başka&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<b>Başka"), std::string::npos);
    EXPECT_NE(html.find("<th>T.C. Kimlik No</th><td>144444444405</td>"), std::string::npos);
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
    EXPECT_EQ(next, 8); // ids go on from the old file's
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
            if (!archive || !archive->store(sheet, "kidem")) return 1;
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
        for (int n = 1; archive && archive->store(sheet); ++n)
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
    sqlite3_open(dir.file("yeni.db").c_str(), &db);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::pair<std::string, std::string> rows[] = {
        {dir.file("bozuk.db"), "dosya bozuk ya da bir arşiv dosyası değil"},
        {dir.file("baska.db"), "bir Pamerol arşivi değil"},
        {dir.file("yeni.db"), "daha yeni bir sürümüyle"},
        {dir.file("yok/arsiv.db"), "klasör yok"},
    };
    for (const auto& [path, reason] : rows) {
        std::string error;
        EXPECT_FALSE(Archive::open(path, &error)) << path;
        EXPECT_EQ(error.rfind("Arşiv açılamadı: " + path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    EXPECT_EQ(ReadBytes(dir.file("bozuk.db")), std::string(8192, 'x')); // left as it was
}

// A file the user may read but not write: it is searched, and a store says why it cannot be kept. The
// superuser writes anyway, so the check runs as an ordinary user in a child process.
TEST(Archive, AReadOnlyFileRefusesStoringWithAMessage) {
    TempFolder dir;
    const std::string path = dir.file("arsiv.db");
    ASSERT_TRUE(Open(path)->store(Calculated(kAhmet)));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ::chmod(path.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0755);
    const int status = InChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 10;
        std::string error;
        auto archive = Archive::open(path, &error);
        if (archive) {
            if (archive->store(Calculated(kAhmet), "", &error)) return 11;
            if (error.find("Vaka arşive kaydedilemedi: " + path) != 0) return 12;
        }
        return error.find("salt okunur") != std::string::npos || error.find("izni") != std::string::npos ? 0
                                                                                                         : 13;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(CountCases(path), 1);
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
        std::string error;
        if (!archive || archive->store(big, "", &error)) return 1;
        return error.find("diske yazılamadı") != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(CountCases(path), 1);
    EXPECT_TRUE(IntegrityOk(path));
}

TEST(Archive, CreatesGroupSharedFilesInASetGroupIdFolder) {
    TempFolder dir;
    const std::string shared = dir.file("ortak");
    ASSERT_EQ(::mkdir(shared.c_str(), 0770), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 02770), 0);
    ASSERT_TRUE(Open(shared + "/arsiv.db"));
    struct stat st {};
    ASSERT_EQ(::stat((shared + "/arsiv.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0660u);
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
    ASSERT_EQ(stored.status, 0) << stored.err;
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
