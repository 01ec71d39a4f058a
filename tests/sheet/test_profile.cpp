// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/profile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "tests/common/temp_folder.h"
#include "tests/common/why.h"

namespace pamerol {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

struct ReadCase {
    const char* what;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
};

TEST(IniOku, ReadsValuesAsTheProfileFunctionsDo) {
    const ReadCase cases[] = {
        {"CR LF file", "[GV]\r\nOran1=15\r\nOran2=20\r\n", "GV", "Oran2", "20"},
        {"LF file", "[GV]\nOran1=15\nOran2=20\n", "GV", "Oran2", "20"},
        {"last line without line break", "[GV]\r\nOran1=15", "GV", "Oran1", "15"},
        {"section case", "[ISVEREN]\r\nVNo=1\r\n", "isveren", "VNo", "1"},
        {"key case", "[Isveren]\r\nvno=1\r\n", "Isveren", "VNO", "1"},
        {"spaces trimmed", "  [  GV ]  \r\n\t Oran1 \t=  15 %  \t\r\n", "GV", "Oran1", "15 %"},
        {"double quotes removed", "[S]\r\nk=  \"  a b \"  \r\n", "S", "k", "  a b "},
        {"single quotes removed", "[S]\r\nk='x'\r\n", "S", "k", "x"},
        {"only one pair removed", "[S]\r\nk=\"\"x\"\"\r\n", "S", "k", "\"x\""},
        {"unmatched quotes kept", "[S]\r\nk=\"x'\r\n", "S", "k", "\"x'"},
        {"lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"value runs from the first =", "[S]\r\nk = a=b = c\r\n", "S", "k", "a=b = c"},
        {"empty value", "[S]\r\nk=\r\n", "S", "k", ""},
        {"first key wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
        {"first section wins", "[S]\r\na=1\r\n[T]\r\n[s]\r\nk=2\r\n", "S", "k", ""},
        {"line without = is no key", "[S]\r\nk\r\nk=2\r\n", "S", "k", "2"},
        {"comment is no key", "[S]\r\n;k=1\r\n  ; k=3\r\nk=2\r\n", "S", "k", "2"},
        {"key before any section", "k=1\r\n[S]\r\n", "S", "k", ""},
        {"other section's key", "[Oranlar]\r\nOran2=30\r\n[GV]\r\nOran1=15\r\n", "Oranlar", "Oran1", ""},
        {"same key, other section", "[GV]\r\nOran1=15\r\n[Oranlar]\r\nOran1=6\r\n", "Oranlar", "Oran1", "6"},
        {"missing section", "[GV]\r\nOran1=15\r\n", "Isveren", "Oran1", ""},
        {"Windows-1254 bytes", "[Isveren]\r\nUnvani=\xDD\xFE\xE7i \xD0\xFD\xFC\xF6\r\n", "Isveren", "Unvani",
         "\xC4\xB0\xC5\x9F\xC3\xA7i \xC4\x9E\xC4\xB1\xC3\xBC\xC3\xB6"},
        {"undefined Windows-1254 byte", "[S]\r\nk=a\x81z\r\n", "S", "k", "a\xEF\xBF\xBDz"},
        {"escaped line breaks come back as CR LF", "[S]\r\nk=A\\nB\\nC\r\n", "S", "k", "A\r\nB\r\nC"},
        {"an old backslash-r stays", "[S]\r\nk=C:\\rapor\r\n", "S", "k", "C:\\rapor"},
        {"escaped backslash", "[S]\r\nk=a\\\\nb\r\n", "S", "k", "a\\nb"},
        {"other backslashes kept", "[S]\r\nk=C:\\temp\\ \\\r\n", "S", "k", "C:\\temp\\ \\"},
        {"CR inside a LF file's line", "[S]\nk=a\rb\n", "S", "k", "a\rb"},
        {"byte-order mark before the first section", "\xEF\xBB\xBF[Oranlar]\r\nOran1=6\r\n", "Oranlar",
         "Oran1", "6"},
        {"UTF-8 file", "[Isveren]\r\nUnvani=\xC5\x9E \xC4\x9E\r\n", "Isveren", "Unvani", "\xC5\x9E \xC4\x9E"},
        {"UTF-8 file with a mark and a stray byte", "\xEF\xBB\xBF[S]\r\nk=a\x9Ez\r\n", "S", "k",
         "a\xEF\xBF\xBDz"},
        {"Windows-1254 file that is not valid UTF-8", "[S]\r\nk=\xC5\x9E\xFE\r\n", "S", "k",
         "\xC3\x85\xEF\xBF\xBD\xC5\x9F"},
    };
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    for (const ReadCase& c : cases) {
        WriteBytes(path, c.file);
        EXPECT_EQ(IniOku(path, c.section, c.key), c.expected) << c.what;
    }
}

TEST(IniOku, MissingOrUnreadableFileGivesEmptyText) {
    TempFolder dir;
    EXPECT_EQ(IniOku(dir.file("none.ini"), "GV", "Oran1"), "");
    EXPECT_EQ(IniOku(dir.path().string(), "GV", "Oran1"), ""); // a folder, not a file
}

TEST(IniOku, CutsLongValuesTo254CharactersNeverInsideAnEscape) {
    std::string sz300, sz254;
    for (int i = 0; i < 300; ++i) sz300 += "\xC5\x9F";
    for (int i = 0; i < 254; ++i) sz254 += "\xC5\x9F";
    const std::pair<std::string, std::string> cases[] = {
        {std::string(300, 'x'), std::string(254, 'x')},
        // Cut on the file's one-byte letters, not on the two-byte UTF-8 they become.
        {std::string(300, '\xFE'), sz254},
        // A UTF-8 file counts letters, not bytes.
        {sz300, sz254},
        // Quotes come off before the cut; an escape that does not fit is left out whole.
        {"\"" + std::string(253, 'y') + "\\n\"", std::string(253, 'y')},
        {std::string(252, 'y') + "\\n" + "zz", std::string(252, 'y') + "\r\n"},
        {std::string(253, 'y') + "\\\\", std::string(253, 'y')},
        {std::string(253, 'y') + "\\t", std::string(253, 'y') + "\\"},
    };
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    for (const auto& [stored, expected] : cases) {
        WriteBytes(path, "[S]\r\nk=" + stored + "\r\n");
        EXPECT_EQ(IniOku(path, "S", "k"), expected) << stored.substr(250);
    }
}

// Under a Turkish single-byte locale the C library upper-cases 'i' to a dotted capital, so names must be
// folded by hand. The locale is built into a private folder when the system has none installed.
TEST(IniOku, MatchesNamesUnderATurkishLocale) {
    TempFolder dir;
    const std::string locales = dir.file("locales");
    fs::create_directory(locales);
    const std::string build =
        "localedef -i tr_TR -f ISO-8859-9 " + locales + "/tr_TR.ISO-8859-9 >/dev/null 2>&1";
    const bool built = std::system(build.c_str()) == 0;
    const char* old = std::getenv("LOCPATH");
    const std::string oldLocpath = old ? old : "";
    if (built) ::setenv("LOCPATH", locales.c_str(), 1);
    const auto restore = [&] {
        std::setlocale(LC_ALL, "C");
        if (old)
            ::setenv("LOCPATH", oldLocpath.c_str(), 1);
        else
            ::unsetenv("LOCPATH");
    };
    const char* set = std::setlocale(LC_ALL, "tr_TR.ISO-8859-9");
    if (!set) set = std::setlocale(LC_ALL, "tr_TR.UTF-8");
    if (!set) {
        restore();
        GTEST_SKIP() << "no Turkish locale could be set";
    }
    const bool dottedI = std::toupper('i') != 'I';

    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, "[isveren]\r\nunvani=A\r\n");
    const std::string upper = IniOku(path, "ISVEREN", "UNVANI");
    const std::string mixed = IniOku(path, "Isveren", "Unvani");
    const auto wrote = IniYaz(path, "ISVEREN", "UNVANI", "B");
    const std::string after = ReadBytes(path);

    restore();

    EXPECT_EQ(upper, "A");
    EXPECT_EQ(mixed, "A");
    EXPECT_TRUE(wrote.has_value());
    EXPECT_EQ(after, "[isveren]\r\nunvani=B\r\n");
    if (!dottedI) std::cout << "note: this locale folds 'i' as ASCII; the trap was not live\n";
}

struct WriteCase {
    const char* what;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

TEST(IniYaz, ChangesOnlyWhatItMust) {
    const WriteCase cases[] = {
        {"new file is CR LF", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"value replaced in place, name kept as spelled", "; top\r\n[S]\r\n  K = old value ; x\r\nz=1\r\n",
         "s", "k", "new", "; top\r\n[S]\r\nK=new\r\nz=1\r\n"},
        {"LF file stays LF", "[S]\na=1\n", "S", "b", "2", "[S]\na=1\nb=2\n"},
        {"new section in LF file", "[S]\na=1\n", "T", "b", "2", "[S]\na=1\n\n[T]\nb=2\n"},
        {"key after the section's last key, before blank lines and comments",
         "[A]\r\na=1\r\n\r\n; about B\r\n[B]\r\nb=2\r\n", "A", "c", "3",
         "[A]\r\na=1\r\nc=3\r\n\r\n; about B\r\n[B]\r\nb=2\r\n"},
        {"key in an empty section", "[A]\r\n\r\n[B]\r\n", "A", "c", "3", "[A]\r\nc=3\r\n\r\n[B]\r\n"},
        {"key after an unterminated last line", "[A]\r\na=1", "A", "b", "2", "[A]\r\na=1\r\nb=2\r\n"},
        {"section after an unterminated last line", "[A]\r\na=1", "B", "b", "2",
         "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n"},
        {"section after a trailing blank line", "[A]\r\na=1\r\n\r\n", "B", "b", "2",
         "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n"},
        {"case-insensitive match", "[isveren]\r\nunvani=x\r\n", "Isveren", "Unvani", "y",
         "[isveren]\r\nunvani=y\r\n"},
        {"first of duplicate sections", "[S]\r\na=1\r\n[S]\r\nk=2\r\n", "S", "k", "3",
         "[S]\r\na=1\r\nk=3\r\n[S]\r\nk=2\r\n"},
        {"first of duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3", "[S]\r\nk=3\r\nk=2\r\n"},
        {"commented key is not replaced", "[S]\r\n;k=1\r\n", "S", "k", "2", "[S]\r\nk=2\r\n;k=1\r\n"},
        {"line breaks and backslashes escaped", "", "S", "k", "A\r\nB\nC\\nD\rE",
         "[S]\r\nk=A\\nB\\nC\\\\nD\\nE\r\n"},
        {"Windows-1254 on disk", "", "S", "k", "\xC4\xB0\xC5\x9F\xC3\xA7i", "[S]\r\nk=\xDD\xFE\xE7i\r\n"},
        {"unrepresentable letter", "", "S", "k", "a\xE2\x9C\x93z\xFF", "[S]\r\nk=a?z?\r\n"},
        {"byte-order mark kept, first section found", "\xEF\xBB\xBF[Oranlar]\r\nOran1=6\r\n", "Oranlar",
         "Oran1", "7", "\xEF\xBB\xBF[Oranlar]\r\nOran1=7\r\n"},
        {"UTF-8 file stays UTF-8", "[Isveren]\r\nUnvani=\xC5\x9E\r\n", "Isveren", "VNo",
         "\xC4\x9E\xE2\x9C\x93", "[Isveren]\r\nUnvani=\xC5\x9E\r\nVNo=\xC4\x9E\xE2\x9C\x93\r\n"},
        {"unchanged value keeps its quotes and spaces", "[S]\r\nk = \"  x \" \r\n", "S", "k", "  x ",
         "[S]\r\nk = \"  x \" \r\n"},
        {"unchanged value keeps an undefined Windows-1254 byte", "[S]\r\nk=a\x81z\r\n", "S", "k",
         "a\xEF\xBF\xBDz", "[S]\r\nk=a\x81z\r\n"},
        {"unchanged value keeps what the cut hides", "[S]\r\nk=" + std::string(300, 'x') + "\r\n", "S", "k",
         std::string(254, 'x'), "[S]\r\nk=" + std::string(300, 'x') + "\r\n"},
    };
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    for (const WriteCase& c : cases) {
        fs::remove(path);
        if (!c.before.empty()) WriteBytes(path, c.before);
        const auto written = IniYaz(path, c.section, c.key, c.value);
        EXPECT_TRUE(written) << c.what << ": " << pamerol::testing::Why(written);
        EXPECT_EQ(ReadBytes(path), c.after) << c.what;
    }
}

TEST(IniYaz, RefusesNamesThatWouldNotReadBack) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, "[S]\r\nk=1\r\n");
    const std::pair<const char*, const char*> names[] = {
        {"", "k"},   {"S", ""},   {"a]b", "k"}, {"S", "a=b"},          {"S", "[k"},
        {"S", ";k"}, {"S", " k"}, {"S\n", "k"}, {"S", "\xE2\x9C\x93"},
    };
    for (const auto& [section, key] : names)
        EXPECT_FALSE(IniYaz(path, section, key, "v")) << section << "/" << key;
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=1\r\n");
}

TEST(IniYaz, MultiLineValuesRoundTripAndCannotPlantKeys) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    ASSERT_TRUE(IniYaz(path, "Oranlar", "Oran1", "6"));
    const std::string texts[] = {
        "Firma A.\xC5\x9E.\r\n[Oranlar]\r\nOran1=99",
        "Sat\xC4\xB1r 1\r\nSat\xC4\xB1r 2\r\n",
        "a\\b\\\\n\\",
        "\r\n\r\n",
        "tek satir",
    };
    for (const std::string& text : texts) {
        ASSERT_TRUE(IniYaz(path, "Isveren", "Unvani", text));
        EXPECT_EQ(IniOku(path, "Isveren", "Unvani"), text);
        EXPECT_EQ(IniOku(path, "Oranlar", "Oran1"), "6");
    }
    // Line feeds and lone carriage returns come back as the sheet's CR LF.
    ASSERT_TRUE(IniYaz(path, "Isveren", "Unvani", "Sat\xC4\xB1r 1\nSat\xC4\xB1r 2\rSon"));
    EXPECT_EQ(IniOku(path, "Isveren", "Unvani"), "Sat\xC4\xB1r 1\r\nSat\xC4\xB1r 2\r\nSon");
}

TEST(IniYaz, LeavesEveryOtherByteAfterManySaves) {
    const std::string original = "; Ayarlar\r\n"
                                 "\r\n"
                                 "[Oranlar]\r\n"
                                 "Oran1=6\r\n"
                                 "  Bilinmeyen  =  \"  x \" \r\n"
                                 "; yorum = de\xF0il\r\n"
                                 "serbest sat\xFDr\r\n"
                                 "\r\n"
                                 "[Baska]\r\n"
                                 "Oran1=7\r\n"
                                 "[GV]\n" // one LF line in a CR LF file
                                 "Oran1=15\r\n"
                                 "\tDilim1=7500\r\n"
                                 "\r\n";
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, original);
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(IniYaz(path, "Oranlar", "Oran1", std::to_string(i)));
        ASSERT_TRUE(IniYaz(path, "GV", "Oran1", "x\ny" + std::to_string(i)));
    }
    ASSERT_TRUE(IniYaz(path, "Oranlar", "Oran1", "6"));
    ASSERT_TRUE(IniYaz(path, "GV", "Oran1", "15"));
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(IniOku(path, "Baska", "Oran1"), "7");
    EXPECT_EQ(IniOku(path, "GV", "Dilim1"), "7500");
}

TEST(IniYaz, ReplacesTheFileAtomicallyKeepingItsPermissions) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, "[S]\r\nk=old\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::ifstream oldFile(path, std::ios::binary); // the old file, opened before the save

    ASSERT_TRUE(IniYaz(path, "S", "k", "new"));

    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "a new file is renamed over the old one";
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    const std::string oldContent((std::istreambuf_iterator<char>(oldFile)), std::istreambuf_iterator<char>());
    EXPECT_EQ(oldContent, "[S]\r\nk=old\r\n");
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=new\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "no temporary file left behind";

    // A value that is already stored does not touch the file.
    ASSERT_TRUE(IniYaz(path, "s", "K", "new"));
    struct stat again {};
    ASSERT_EQ(::stat(path.c_str(), &again), 0);
    EXPECT_EQ(again.st_ino, after.st_ino);
}

TEST(IniYaz, FollowsALinkToTheSettingsFile) {
    TempFolder dir;
    const std::string real = dir.file("real.ini");
    const std::string link = dir.file("Pmrl.ini");
    WriteBytes(real, "[S]\r\nk=1\r\n");
    fs::create_symlink(real, link);
    ASSERT_TRUE(IniYaz(link, "S", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "[S]\r\nk=2\r\n");
}

TEST(IniYaz, ReportsAFailedSaveAndKeepsTheOldFile) {
    TempFolder dir;
    const std::string blocker = dir.file("not-a-folder");
    WriteBytes(blocker, "x");
    const std::string unreadable = dir.file("folder.ini");
    fs::create_directory(unreadable);
    const std::string paths[] = {dir.file("missing/Pmrl.ini"), blocker + "/Pmrl.ini", unreadable};
    for (const std::string& path : paths) {
        const auto written = IniYaz(path, "S", "k", "v");
        ASSERT_FALSE(written) << path;
        EXPECT_FALSE(written.error().message.empty());
    }
    EXPECT_TRUE(fs::is_directory(unreadable));
}

// A full disk, simulated with a file-size limit (which binds the superuser too): the write of the new
// text fails midway, and the old file stays whole, whether it is replaced or (having a second name,
// which a replacement would cut off) rewritten in place.
TEST(IniYaz, AFailedWriteLeavesTheOldFileWhole) {
    for (const bool secondName : {false, true}) {
        TempFolder dir;
        const std::string path = dir.file("Pmrl.ini");
        const std::string original = "[S]\r\nk=1\r\n";
        WriteBytes(path, original);
        if (secondName) fs::create_hard_link(path, dir.file("yedek.ini"));

        struct rlimit old {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 64;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto written = IniYaz(path, "S", "k", std::string(200, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        ASSERT_FALSE(written) << secondName;
        EXPECT_EQ(ReadBytes(path), original) << secondName;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
                  secondName ? 2 : 1);
    }
}

TEST(IniYaz, AFileWithTwoNamesIsRewrittenInPlace) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, "[S]\r\nk=" + std::string(100, 'x') + "\r\n");
    fs::create_hard_link(path, dir.file("yedek.ini"));
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_TRUE(IniYaz(path, "S", "k", "kisa"));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(ReadBytes(dir.file("yedek.ini")), "[S]\r\nk=kisa\r\n");
}

// What is not a regular file of a sane size is neither read nor written, and nothing waits on it.
TEST(LoadProfile, RefusesWhatIsNotARegularFileOfSaneSize) {
    TempFolder dir;
    const std::string fifo = dir.file("fifo.ini"), zero = dir.file("zero.ini"), big = dir.file("big.ini"),
                      loop = dir.file("loop.ini"), folder = dir.file("folder.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", zero);
    WriteBytes(big, "[S]\r\nk=1\r\n");
    fs::resize_file(big, kProfileSizeMax + 1);
    fs::create_symlink(dir.file("loop2.ini"), loop);
    fs::create_symlink(loop, dir.file("loop2.ini"));
    fs::create_directory(folder);
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "sıradan bir dosya değil"}, {zero, "sıradan bir dosya değil"},   {big, "16 MiB"},
        {loop, "symbolic links"},          {folder, "sıradan bir dosya değil"},
    };
    for (const auto& [path, reason] : cases) {
        const std::string why = pamerol::testing::Why(LoadProfile(path));
        EXPECT_NE(why.find(reason), std::string::npos) << path << ": " << why;
        EXPECT_FALSE(IniYaz(path, "S", "k", "2")) << path;
    }
    EXPECT_EQ(fs::file_size(big), kProfileSizeMax + 1);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// A process that holds the file's lock keeps a save waiting, which gives up after its wait; the lock
// dies with that process, and the save then goes through.
TEST(UpdateProfile, WaitsForAnotherSaveAndNeverForADeadOne) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, "[S]\r\nk=1\r\n");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int fd = ::open(path.c_str(), O_RDWR);
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        const char ok = ::fcntl(fd, F_OFD_SETLK, &fl) == 0 ? 'y' : 'n';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(ok, 'y');

    const auto change = [](ProfileText& file) { return file.write("S", "k", "2"); };
    const std::string error =
        pamerol::testing::Why(UpdateProfile(path, change, std::chrono::milliseconds(200)));
    EXPECT_NE(error.find("kilitli"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=1\r\n");

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(UpdateProfile(path, change, std::chrono::milliseconds(200)));
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=2\r\n");
}

// The temporary files of saves that were cut short are removed by the next save; other files stay.
TEST(IniYaz, RemovesTheLeftoversOfInterruptedSaves) {
    TempFolder dir;
    const std::string path = dir.file("Pmrl.ini");
    WriteBytes(path, "[S]\r\nk=1\r\n");
    const std::string leftovers[] = {".Pmrl.ini.tmp4242-0", ".Pmrl.ini.tmp1-17"};
    const std::string others[] = {".Pmrl.ini.tmpx-1", ".Diger.ini.tmp1-1", "Pmrl.ini.tmp1-1",
                                  ".Pmrl.ini.tmp1-"};
    for (const std::string& name : leftovers) WriteBytes(dir.file(name), "[S]\r\nk=");
    for (const std::string& name : others) WriteBytes(dir.file(name), "x");
    ASSERT_TRUE(IniYaz(path, "S", "k", "2"));
    for (const std::string& name : leftovers) EXPECT_FALSE(fs::exists(dir.file(name))) << name;
    for (const std::string& name : others) EXPECT_TRUE(fs::exists(dir.file(name))) << name;
}

TEST(ProfileText, ConvertsBetweenUtf8AndWindows1254) {
    const std::string turkish =
        "\xC4\x9F\xC3\xBC\xC5\x9F\xC4\xB1\xC3\xB6\xC3\xA7\xC4\x9E\xC3\x9C\xC5\x9E\xC4\xB0"
        "\xC3\x96\xC3\x87\xE2\x82\xAC";
    EXPECT_EQ(Utf8ToCp1254(turkish), "\xF0\xFC\xFE\xFD\xF6\xE7\xD0\xDC\xDE\xDD\xD6\xC7\x80");
    EXPECT_EQ(Cp1254ToUtf8(Utf8ToCp1254(turkish)), turkish);
    // Broken UTF-8: a stray continuation byte and a sequence cut off at the end.
    EXPECT_EQ(Utf8ToCp1254("a\x80z\xC4"), "a?z?");
}

} // namespace
} // namespace pamerol
