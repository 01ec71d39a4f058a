// SPDX-License-Identifier: GPL-3.0-or-later
#include "app.h"

#include <QApplication>
#include <QPushButton>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <memory>

#include "archive/arsiv_yolu.h"
#include "archive/case_keeper.h"
#include "formuortala.h"
#include "pamerolwindow.h"
#include "qtdesktop.h"
#include "qtmessages.h"
#include "raporsecwindow.h"
#include "spreadsheets.h"
#include "turkce.h"

namespace pamerol::ui {

namespace {

// Calls back once, on the window's first paint.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(std::function<void(QWidget&)> shown) : shown_(std::move(shown)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && shown_) {
            auto shown = std::exchange(shown_, nullptr);
            shown(*static_cast<QWidget*>(watched));
        }
        return false;
    }

  private:
    std::function<void(QWidget&)> shown_;
};

// Gets the spreadsheet program ready whenever a calculation enables the printouts, so that the first paper
// opens at once; nothing is started before a calculation.
class PrepareWhenEnabled : public QObject {
  public:
    explicit PrepareWhenEnabled(PaperFolders folders) : folders_(std::move(folders)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && static_cast<QWidget*>(watched)->isEnabled())
            PrepareSpreadsheets(folders_);
        return false;
    }

  private:
    PaperFolders folders_;
};

// SIGTERM, SIGHUP and SIGINT end the program as before, but only after the spreadsheet program it started
// has been let go (see EndSpreadsheets): the signal is noted through a pipe and handled by the event loop.
class EndOnSignal {
  public:
    EndOnSignal() {
        if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
        write_ = pipe_[1];
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            int signal = 0;
            if (::read(pipe_[0], &signal, sizeof signal) != sizeof signal) return;
            EndSpreadsheets();
            ::signal(signal, SIG_DFL);
            ::raise(signal);
        });
        struct sigaction action {};
        action.sa_handler = [](int signal) {
            const int saved = errno;
            [[maybe_unused]] const auto written = ::write(write_, &signal, sizeof signal);
            errno = saved;
        };
        ::sigemptyset(&action.sa_mask);
        for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
    }

  private:
    static inline int write_ = -1;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

int RunPamerol(int argc, char* argv[], const std::function<void(QWidget&)>& shown) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pamerol"));
    InstallTurkishTranslations(app);

    QtMessages messages(kSheetTitle);
    Pamerol core(messages);
    QtDesktop desktop;
    // Installed, the settings and working files are the user's own; from a folder of its own, everything
    // stays beside the program.
    const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
    const auto notPrepared = PreparePlaces(places);
    const std::string& folder = places.resources;

    // Every filled paper stores its case in the archive beside the settings file in use.
    CaseKeeper keeper([&core] { return ArsivYolu(core.iniYolu()); }, messages);
    PamerolWindow window(core, desktop, [&](QWidget* parent, const PrintoutsRequest& request) {
        return ShowPrintouts(
            core.record(), PaperFolders(places.resources, places.work), Spreadsheets(), messages, parent,
            request.warning,
            [&](int secim) { keeper.paperFilled(core.record(), kPaperNames.at(static_cast<size_t>(secim))); },
            request.confirmed, request.legalWarning, request.table);
    });
    window.setArchive(&keeper);
    window.setMessages(&messages);
    messages.setWindow(&window);
    desktop.setWindow(&window);
    PrepareWhenEnabled prepare(PaperFolders(places.resources, places.work));
    if (auto* printouts = window.findChild<QPushButton*>(QStringLiteral("Command3")))
        printouts->installEventFilter(&prepare);
    FirstPaint firstPaint(shown);
    if (shown) window.installEventFilter(&firstPaint);

    // Sheet load: centred first, then the settings path, the wage's "0" and the settings.
    FormuOrtala(window);
    core.start(places);
    // After the settings: the switch is kept in them, and an older settings file is brought up to date.
    window.setYasalDegerlerYolu(YasalDegerlerYolu(folder));
    window.show();
    if (!notPrepared)
        messages.show("Ayar klasörü hazırlanamadı: " + notPrepared.error().message, MessageIcon::Warning);
    EndOnSignal endOnSignal;
    const int status = QApplication::exec();
    EndSpreadsheets();
    return status;
}

} // namespace pamerol::ui
