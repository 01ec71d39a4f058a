// SPDX-License-Identifier: GPL-3.0-or-later
// Where the time of a fill goes: fills each paper a few times on a headless office of its own and prints,
// for each, the whole fill and the time and number of each kind of call to the office. (The time until a
// paper is painted on screen is scripts/bench-papers.sh's.) Usage: measure_paper PROFILE_FOLDER
// PROGRAM_FOLDER [times]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "base/files.h"
#include "case.h"
#include "printouts/dokumler.h"
#include "printouts/office_spreadsheet.h"

using namespace pamerol;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Passes every call on to the office, timing it by its kind.
class TimedSpreadsheet final : public Spreadsheet {
  public:
    explicit TimedSpreadsheet(OfficeSpreadsheet& office) : office_(office) {}
    struct Tally {
        int calls = 0;
        double ms = 0;
    };
    std::map<std::string, Tally> tally;

    template <class F> auto timed(const char* kind, F&& f) {
        const auto t0 = Clock::now();
        auto result = f();
        Tally& t = tally[kind];
        ++t.calls;
        t.ms += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        return result;
    }

    Outcome start() override {
        return timed("start", [&] { return office_.start(); });
    }
    bool show() override { return office_.show(); }
    Outcome open(const std::string& path) override {
        return timed("open", [&] { return office_.open(path); });
    }
    bool write(std::string_view c, std::string_view t, WriteMode m) override {
        return timed("write", [&] { return office_.write(c, t, m); });
    }
    bool writeNumber(std::string_view c, double v) override {
        return timed("writeNumber", [&] { return office_.writeNumber(c, v); });
    }
    bool writeCells(std::string_view r, const std::vector<BlockCell>& c) override {
        return timed("writeCells", [&] { return office_.writeCells(r, c); });
    }
    bool insertRows(int row, int count) override {
        return timed("insertRows", [&] { return office_.insertRows(row, count); });
    }
    bool copyRange(std::string_view f, std::string_view t) override {
        return timed("copyRange", [&] { return office_.copyRange(f, t); });
    }
    bool merge(std::string_view r) override {
        return timed("merge", [&] { return office_.merge(r); });
    }
    bool alignRight(std::string_view c) override {
        return timed("alignRight", [&] { return office_.alignRight(c); });
    }
    bool topBorder(std::string_view a, std::string_view b) override {
        return timed("topBorder", [&] { return office_.topBorder(a, b); });
    }
    int pageBodyHeight() override {
        return timed("pageBodyHeight", [&] { return office_.pageBodyHeight(); });
    }
    int rowHeight(int row) override {
        return timed("rowHeight", [&] { return office_.rowHeight(row); });
    }
    bool setRowHeight(int row, int h) override {
        return timed("setRowHeight", [&] { return office_.setRowHeight(row, h); });
    }
    int textHeight(std::string_view r, std::string_view t) override {
        return timed("textHeight", [&] { return office_.textHeight(r, t); });
    }
    std::vector<int> textHeights(std::string_view r, const std::vector<std::string>& t) override {
        return timed("textHeights", [&] { return office_.textHeights(r, t); });
    }
    bool pageBreakBefore(int row) override {
        return timed("pageBreakBefore", [&] { return office_.pageBreakBefore(row); });
    }
    bool footerLine(FooterSide s, int l, std::string_view t) override {
        return timed("footerLine", [&] { return office_.footerLine(s, l, t); });
    }
    bool copyLook(std::string_view f, std::string_view t) override {
        return timed("copyLook", [&] { return office_.copyLook(f, t); });
    }
    bool writeBlock(std::string_view t, const std::vector<std::vector<std::string>>& r) override {
        return timed("writeBlock", [&] { return office_.writeBlock(t, r); });
    }
    bool title(std::string_view t) override {
        return timed("title", [&] { return office_.title(t); });
    }
    void release() override {
        timed("release", [&] {
            office_.release();
            return true;
        });
    }

  private:
    OfficeSpreadsheet& office_;
};

// The processor time, in ms, of the processes whose command line names the profile (the office), and of
// this one.
double OfficeCpuMs(const std::string& profile) {
    double ticks = 0;
    for (const int id : RunningProcessIds()) {
        const auto cmdline = ReadWholeFile("/proc/" + std::to_string(id) + "/cmdline");
        if (!cmdline || cmdline->find(profile) == std::string::npos) continue;
        const std::string stat = ReadWholeFile("/proc/" + std::to_string(id) + "/stat").value_or("");
        std::istringstream in(stat.substr(stat.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 15 && in >> field; ++i)
            if (i == 14 || i == 15) ticks += std::stod(field);
    }
    return ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double OwnCpuMs() {
    return static_cast<double>(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s PROFILE_FOLDER PROGRAM_FOLDER [times]\n", argv[0]);
        return 2;
    }
    const int times = argc == 4 ? std::atoi(argv[3]) : 5;
    OfficeOptions options;
    options.visible = false;
    options.profile = fs::absolute(argv[1]).string();
    OfficeSpreadsheet office(options);
    if (!office.start().ok) return 1;
    const Record record = testing::CalculatedCase();
    RecordedMessages messages;
    const PaperFolders folders(argv[2], options.profile);
    const std::pair<const char*, std::function<bool(Spreadsheet&)>> papers[] = {
        {"severance payroll sheet",
         [&](Spreadsheet& s) { return BordroDoldur(record, true, folders, s, messages); }},
        {"notice payroll sheet",
         [&](Spreadsheet& s) { return BordroDoldur(record, false, folders, s, messages); }},
        {"release letter", [&](Spreadsheet& s) { return IbranameDoldur(record, folders, s, messages); }},
        {"statement", [&](Spreadsheet& s) { return AciklamaDoldur(record, nullptr, folders, s, messages); }},
    };
    for (const auto& [paper, fill] : papers) {
        TimedSpreadsheet timed(office);
        double total = 0, store = 0;
        const double office0 = OfficeCpuMs(options.profile), own0 = OwnCpuMs();
        for (int i = 0; i < times; ++i) {
            const auto t0 = Clock::now();
            fill(timed);
            const auto t1 = Clock::now();
            office.storeTo((fs::path(options.profile) / "paper.pdf").string());
            total += std::chrono::duration<double, std::milli>(t1 - t0).count();
            store += std::chrono::duration<double, std::milli>(Clock::now() - t1).count();
        }
        std::printf("%s: fill %.1f ms, PDF %.1f ms; processor: office %.1f ms, this program %.1f ms\n", paper,
                    total / times, store / times, (OfficeCpuMs(options.profile) - office0) / times,
                    (OwnCpuMs() - own0) / times);
        for (const auto& [kind, t] : timed.tally)
            std::printf("    %-16s %4d calls %7.1f ms\n", kind.c_str(), t.calls / times, t.ms / times);
    }
    for (const auto& m : messages.entries) std::printf("message: %s\n", m.text.c_str());
    return 0;
}
