// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "sheet/places.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
using pamerol::testing::ReadBytes;
using pamerol::testing::TempFolder;
using pamerol::testing::WriteBytes;

namespace {

// Runs check in a child process as an unprivileged user when the test runs as root (root may write
// every folder, which is what the choice looks at); returns the check's answer.
bool AsClerk(const std::function<bool()>& check) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(Places, BesideTheProgramOrPerUser) {
    struct Case {
        const char* name;
        mode_t folderMode;
        bool ini;          // a Pmrl.ini beside the program
        mode_t iniMode;    // its mode
        bool sharedLayout; // ../share/pamerol/Pmrl.ini beside the program's folder
        bool perUser;
    } cases[] = {
        {"writable program folder", 0777, false, 0, false, false},
        {"writable folder and settings", 0777, true, 0666, false, false},
        {"read-only folder", 0555, false, 0, false, true},
        {"read-only folder, writable settings", 0555, true, 0666, false, false},
        {"read-only folder, read-only settings", 0555, true, 0444, false, true},
        {"installed layout in a writable folder", 0777, false, 0, true, true},
    };
    for (const Case& c : cases) {
        TempFolder tmp;
        ::chmod(tmp.path().c_str(), 0755);
        const std::string bin = tmp.file("bin");
        ::mkdir(bin.c_str(), 0755);
        if (c.ini) {
            WriteBytes(bin + "/Pmrl.ini", "[Oranlar]\r\n");
            ::chmod((bin + "/Pmrl.ini").c_str(), c.iniMode);
        }
        if (c.sharedLayout) {
            std::filesystem::create_directories(tmp.path() / "share/pamerol");
            WriteBytes(tmp.file("share/pamerol/Pmrl.ini"), "[Oranlar]\r\n");
            std::filesystem::permissions(tmp.path() / "share", std::filesystem::perms(0755));
            std::filesystem::permissions(tmp.path() / "share/pamerol", std::filesystem::perms(0755));
        }
        ::chmod(bin.c_str(), c.folderMode);
        const PlaceEnvironment env{"/home/katip", "", "/veri"};
        EXPECT_TRUE(AsClerk([&] {
            const Places p = ChoosePlaces(bin, env);
            if (p.perUser != c.perUser) return false;
            if (!c.perUser) return p.settings == bin && p.work == bin && p.resources == bin;
            return p.settings == "/home/katip/.config/pamerol" && p.work == "/veri/pamerol" &&
                   p.resources == (c.sharedLayout ? bin + "/../share/pamerol" : bin);
        })) << c.name;
    }
}

TEST(Places, FirstStartCopiesTheSampleSettingsOnce) {
    TempFolder tmp;
    std::filesystem::create_directories(tmp.path() / "share");
    WriteBytes(tmp.file("share/Pmrl.ini"), "[Oranlar]\r\nOran1=7,59\r\n");
    const Places p{tmp.file("share"), tmp.file("home/.config/pamerol"), tmp.file("home/.local/share/pamerol"),
                   true};
    ASSERT_TRUE(PreparePlaces(p));
    EXPECT_EQ(ReadBytes(p.settings + "/Pmrl.ini"), "[Oranlar]\r\nOran1=7,59\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(p.work));
    EXPECT_EQ(std::filesystem::status(p.settings).permissions(), std::filesystem::perms::owner_all);
    // The user's own settings are never replaced by the sample.
    WriteBytes(p.settings + "/Pmrl.ini", "[Oranlar]\r\nOran1=6\r\n");
    ASSERT_TRUE(PreparePlaces(p));
    EXPECT_EQ(ReadBytes(p.settings + "/Pmrl.ini"), "[Oranlar]\r\nOran1=6\r\n");
}
