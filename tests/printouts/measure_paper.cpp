// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how long "&Yazdır" takes until the filled paper is on screen, on a visible office with a profile
// of its own: the first paper with the office started cold, the first paper after the background start, and
// the papers after it (each kind, the payroll sheets and the statement twice); and the office's memory after
// the background start, before any paper. Usage: measure_paper PROFILE_FOLDER PROGRAM_FOLDER (on a display;
// scripts/measure-paper.sh runs it on Xvfb).
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "case.h"
#include "printouts/dokumler.h"
#include "printouts/office_spreadsheet.h"

using namespace pamerol;
namespace fs = std::filesystem;

namespace {

// The processes whose command line names the profile: the office this tool started.
std::vector<int> OfficeProcesses(const std::string& profile) {
    std::vector<int> pids;
    for (const int id : RunningProcessIds()) {
        const auto cmdline = ReadWholeFile("/proc/" + std::to_string(id) + "/cmdline");
        if (cmdline && cmdline->find("UserInstallation=file://" + profile) != std::string::npos)
            pids.push_back(id);
    }
    return pids;
}

double ResidentMb(const std::vector<int>& pids) {
    double kb = 0;
    for (int pid : pids) {
        std::istringstream in(ReadWholeFile("/proc/" + std::to_string(pid) + "/status").value_or(""));
        for (std::string line; std::getline(in, line);)
            if (line.rfind("VmRSS:", 0) == 0) kb += std::stod(line.substr(6));
    }
    return kb / 1024;
}

// Ends the office as a user would (no paper is modified, so it asks nothing); kills what is left after that.
void EndOffice(const OfficeOptions& visible) {
    OfficeOptions options = visible;
    options.visible = false;
    if (OfficeSpreadsheet(options).start().ok) {
        // the object ends the office it is connected to when it goes
    }
    for (int i = 0; i < 100 && !OfficeProcesses(options.profile).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (int pid : OfficeProcesses(options.profile)) ::kill(pid, SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

double PrintMs(frmRaporSec& dialog, int choice) {
    dialog.secimYap(choice);
    const auto t0 = std::chrono::steady_clock::now();
    dialog.yazdir();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3 && !(argc == 4 && std::string(argv[3]) == "keep")) {
        std::fprintf(stderr, "usage: %s PROFILE_FOLDER PROGRAM_FOLDER [keep]\n", argv[0]);
        return 2;
    }
    OfficeOptions options;
    options.profile = fs::absolute(argv[1]).string();
    const Record record = testing::CalculatedCase();
    RecordedMessages messages;
    frmRaporSec dialog(
        record, PaperFolders(argv[2]), [&] { return std::make_unique<OfficeSpreadsheet>(options); },
        messages);

    // A profile made once, as on a clerk's machine after the first day.
    StartOfficeInBackground(options);
    std::this_thread::sleep_for(std::chrono::seconds(8));
    EndOffice(options);

    std::printf("first paper, office not started: %.0f ms\n",
                PrintMs(dialog, frmRaporSec::KidemBordrosuSecimi));
    EndOffice(options);

    StartOfficeInBackground(options);
    std::this_thread::sleep_for(std::chrono::seconds(5)); // the clerk reads the result and opens the dialog
    std::printf("office memory after the background start, no paper: %.0f MB\n",
                ResidentMb(OfficeProcesses(options.profile)));
    std::printf("first paper after the background start: %.0f ms\n",
                PrintMs(dialog, frmRaporSec::KidemBordrosuSecimi));
    const std::pair<int, const char*> next[] = {{frmRaporSec::IhbarBordrosuSecimi, "notice payroll sheet"},
                                                {frmRaporSec::IbranameSecimi, "release letter"},
                                                {frmRaporSec::KidemBordrosuSecimi, "severance payroll sheet"},
                                                {frmRaporSec::AciklamaSecimi, "statement"},
                                                {frmRaporSec::KidemBordrosuSecimi, "severance payroll sheet"},
                                                {frmRaporSec::AciklamaSecimi, "statement"}};
    for (auto [choice, paper] : next)
        std::printf("next paper, %s: %.0f ms\n", paper, PrintMs(dialog, choice));
    std::printf("office memory with the papers open: %.0f MB\n",
                ResidentMb(OfficeProcesses(options.profile)));
    for (const auto& m : messages.entries) std::printf("message: %s\n", m.text.c_str());
    if (argc == 3) EndOffice(options);
    return 0;
}
