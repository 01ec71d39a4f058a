// SPDX-License-Identifier: GPL-3.0-or-later
// A companion stopped while it fills a paper takes its office and the office's temporary profile with it,
// whether it is interrupted, terminated, hung up on or killed outright. The real executable and a real,
// headless LibreOffice; the companion's temporary folder is one of the test's own.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "printouts/office_process.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
namespace fs = std::filesystem;

namespace {

// The processes whose command line contains the text; one that ends while it is looked at is skipped.
std::vector<pid_t> ProcessesWith(const std::string& text) {
    std::vector<pid_t> found;
    for (const int id : RunningProcessIds()) {
        const auto cmdline = ReadWholeFile("/proc/" + std::to_string(id) + "/cmdline");
        if (cmdline && cmdline->find(text) != std::string::npos) found.push_back(id);
    }
    return found;
}

// The office profiles the companion made in the folder.
std::vector<std::string> Profiles(const fs::path& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().filename().string().rfind("pamerol-office-", 0) == 0)
            found.push_back(entry.path().string());
    return found;
}

template <class Condition> bool WaitFor(Condition done, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Starts the companion filling a severance payroll sheet, with TMPDIR set to the folder.
pid_t StartFilling(const fs::path& folder) {
    std::vector<std::string> args = {PAMEROL_BIN_DIR "/pamerol-hesap",
                                     "--ayar",
                                     PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini",
                                     "GTarih=15.03.2004",
                                     "CTarih=14.09.2007",
                                     "ESUCRET=2.000,00",
                                     "--dokum",
                                     "kidem",
                                     "--kaydet",
                                     (folder / "kidem.pdf").string()};
    std::vector<std::string> env = {"TMPDIR=" + folder.string()};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "TMPDIR=", 7) != 0) env.emplace_back(*e);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // As from a terminal: the signals that stop a program do so.
        for (int s : {SIGINT, SIGTERM, SIGHUP}) ::signal(s, SIG_DFL);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

} // namespace

TEST(CompanionStopped, LeavesNoOfficeAndNoProfile) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(::strsignal(signal));
        pamerol::testing::TempFolder folder;
        const std::string marker = "UserInstallation=file://" + folder.path().string() + "/pamerol-office-";
        const pid_t companion = StartFilling(folder.path());
        ASSERT_GT(companion, 0);
        // The office listens: the companion connects to it or fills the paper.
        std::string profile;
        const bool started = WaitFor(
            [&] {
                const auto found = Profiles(folder.path());
                if (found.size() == 1) profile = found[0];
                return !profile.empty() && PipeListening(PipeNameFor(profile));
            },
            std::chrono::seconds(60));
        ::kill(companion, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(companion, &status, 0), companion);
        ASSERT_TRUE(started);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "the companion ended on its own";

        EXPECT_TRUE(WaitFor([&] { return ProcessesWith(marker).empty(); }, std::chrono::seconds(20)))
            << "an office of the profile still runs";
        EXPECT_TRUE(WaitFor([&] { return Profiles(folder.path()).empty(); }, std::chrono::seconds(20)))
            << profile << " is still there";
        EXPECT_FALSE(fs::exists(PipeSocketPath(PipeNameFor(profile))));
    }
}
