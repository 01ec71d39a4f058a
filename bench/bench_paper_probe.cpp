// SPDX-License-Identifier: GPL-3.0-or-later
// Times a paper from the key that asks for it until it is painted on screen, as a person would see it.
//
//   bench_paper_probe --name TITLE --after "xdotool key Return" [--save FILE.png] [--settle MS]
//
// Notes the windows whose title holds TITLE, runs the command (the key press), waits for a new such window
// to be shown and grabs it over and over until it has looked the same for the settling time. The paper is
// painted at the first picture that matches the last one (nearly every pixel the same): an empty window, a
// window with its toolbars but no cells, or cells still being filled do not count. Prints the seconds from
// the command to the window appearing and to the filled paper painted.
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <cstdio>
#include <set>
#include <vector>

namespace {

std::set<qulonglong> WindowsNamed(const QString& title) {
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--name"), title});
    search.waitForFinished(5000);
    std::set<qulonglong> ids;
    for (const QByteArray& line : search.readAllStandardOutput().split('\n'))
        if (bool ok = false; !line.isEmpty()) {
            const qulonglong id = line.trimmed().toULongLong(&ok);
            if (ok) ids.insert(id);
        }
    return ids;
}

// The share of sampled pixels that differ between two pictures of one size.
double Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 1.0;
    long differ = 0, all = 0;
    for (int y = 0; y < a.height(); y += 3)
        for (int x = 0; x < a.width(); x += 3, ++all)
            if (a.pixel(x, y) != b.pixel(x, y)) ++differ;
    return all ? double(differ) / double(all) : 1.0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser options;
    options.addOption({QStringLiteral("name"), QStringLiteral("Part of the paper window's title."),
                       QStringLiteral("title")});
    options.addOption({QStringLiteral("after"), QStringLiteral("The command that asks for the paper."),
                       QStringLiteral("command")});
    options.addOption({QStringLiteral("save"), QStringLiteral("Where the painted paper is saved."),
                       QStringLiteral("file")});
    options.addOption({QStringLiteral("settle"), QStringLiteral("How long the paper must stay the same."),
                       QStringLiteral("ms"), QStringLiteral("1500")});
    options.addOption({QStringLiteral("timeout"), QStringLiteral("Seconds to wait for the paper."),
                       QStringLiteral("s"), QStringLiteral("60")});
    options.process(app);
    const QString title = options.value(QStringLiteral("name"));
    const std::set<qulonglong> before = WindowsNamed(title);
    QScreen* screen = QGuiApplication::primaryScreen();
    const qint64 timeout = options.value(QStringLiteral("timeout")).toLongLong() * 1000;
    const qint64 settle = options.value(QStringLiteral("settle")).toLongLong();

    QElapsedTimer clock;
    clock.start();
    QStringList command = QProcess::splitCommand(options.value(QStringLiteral("after")));
    if (!command.isEmpty()) QProcess::execute(command.takeFirst(), command);

    qulonglong window = 0;
    qint64 appeared = -1;
    while (clock.elapsed() < timeout && !window) {
        for (qulonglong id : WindowsNamed(title))
            if (!before.count(id)) window = id;
        if (!window) QThread::msleep(5);
    }
    if (!window) {
        std::printf("no window named \"%s\" within %lld s\n", qPrintable(title), timeout / 1000);
        return 1;
    }
    appeared = clock.elapsed();

    struct Frame {
        qint64 at;
        QImage picture;
    };
    std::vector<Frame> frames;
    qint64 sameSince = -1;
    while (clock.elapsed() < timeout) {
        QImage picture = screen->grabWindow(static_cast<WId>(window)).toImage();
        const qint64 at = clock.elapsed();
        if (!frames.empty() && Difference(frames.back().picture, picture) < 0.001) {
            if (sameSince < 0) sameSince = frames.back().at;
            if (at - sameSince >= settle) break;
        } else {
            sameSince = -1;
        }
        frames.push_back({at, std::move(picture)});
        QThread::msleep(10); // leave the office the processor
    }
    const QImage& last = frames.back().picture;
    qint64 painted = frames.back().at;
    for (const Frame& f : frames)
        if (Difference(f.picture, last) < 0.002) {
            painted = f.at;
            break;
        }
    if (options.isSet(QStringLiteral("save"))) last.save(options.value(QStringLiteral("save")));
    std::printf("window %.3f s, painted %.3f s\n", appeared / 1000.0, painted / 1000.0);
    return 0;
}
