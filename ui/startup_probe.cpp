// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program exactly as `pamerol` does and ends it as soon as the window has been painted, printing
// the wall-clock time of that moment (nanoseconds since the epoch) and the memory in use then (kB).
// scripts/measure-startup.sh subtracts the time at which it started the process.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app.h"

int main(int argc, char* argv[]) {
    return pamerol::ui::RunPamerol(argc, argv, [](QWidget&) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        QByteArray rss = "?";
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:")) rss = line.mid(6).trimmed().split(' ').front();
        std::printf("shown_ns=%lld rss_kb=%s\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, rss.constData());
        std::fflush(stdout);
        // Quit without closing the sheet: the measurement must not write the settings file.
        QTimer::singleShot(0, [] { std::_Exit(0); });
    });
}
