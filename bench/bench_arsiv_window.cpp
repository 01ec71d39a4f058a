// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's figures in the window, on an archive that bench_archive has filled: the time to open the
// "Arşiv" dialog (search of the newest cases, the table filled and painted) and the time a filled paper
// adds for storing its case (a new case, and a further paper of the same case).
//   bench_arsiv_window ARCHIVE   (for instance: bench_archive /tmp/b && bench_arsiv_window /tmp/b/arsiv.db)
#include <QApplication>
#include <QTableWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "archive/case_keeper.h"
#include "sheet/pamerol.h"
#include "ui/arsivwindow.h"

using namespace pamerol;

namespace {

double Ms(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_arsiv_window ARCHIVE\n");
        return 2;
    }
    const std::string path = argv[1];
    RecordedMessages messages;
    Pamerol sheet(messages);
    sheet.start(ProgramFolder());
    Record& r = sheet.record();
    r.write(Field::GTarih, "15.03.2004");
    r.write(Field::CTarih, "14.09.2007");
    r.write(Field::ESUCRET, "2.000,00");
    r.write(Field::txtAdiSoyadi, "Işıl Çelik");
    sheet.hesapla();

    int rows = 0;
    const auto open = [&](CaseKeeper& keeper) {
        return Ms([&] {
            ui::ArsivWindow dialog(keeper, r, [](const ArchivedCase&) {});
            dialog.show();
            QApplication::processEvents();
            rows = dialog.findChild<QTableWidget*>()->rowCount();
        });
    };
    std::vector<double> cold, warm;
    for (int i = 0; i < 7; ++i) {
        CaseKeeper keeper([&] { return path; }, messages);
        cold.push_back(open(keeper)); // the archive opened as well, as on the first opening
        warm.push_back(open(keeper));
    }

    CaseKeeper keeper([&] { return path; }, messages);
    std::vector<double> first, further;
    for (int i = 0; i < 21; ++i) {
        keeper.newCalculation();
        first.push_back(Ms([&] { keeper.paperFilled(r, "ibraname"); }));
        further.push_back(Ms([&] { keeper.paperFilled(r, "kidem"); }));
    }
    std::printf("open the Arşiv dialog, first time (%d rows):  %.1f ms\n", rows, Median(cold));
    std::printf("open the Arşiv dialog again:                  %.1f ms\n", Median(warm));
    std::printf("storing a filled paper's case (a new case):   %.2f ms\n", Median(first));
    std::printf("storing a further paper of the same case:     %.2f ms\n", Median(further));
    return messages.entries.empty() ? 0 : 1;
}
