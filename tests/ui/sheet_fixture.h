// SPDX-License-Identifier: GPL-3.0-or-later
// One calculation sheet window over a fresh core, with its settings file in a temporary folder.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "tests/common/figures2007.h"
#include "ui/pamerolwindow.h"
#include "ui/qtmessages.h"
#include "ui_testing.h"

namespace pamerol::testing {

inline const std::string kSettings = Ini2007(Half2007::Second);

class RecordedDesktop : public Desktop {
  public:
    void openAddress(const std::string& address) override { opened.push_back(address); }
    std::vector<std::string> opened;
};

struct Sheet {
    QTemporaryDir dir;
    ModalBoxes boxes;
    ui::QtMessages messages{ui::kSheetTitle};
    Pamerol core{messages};
    RecordedDesktop desktop;
    ui::PamerolWindow::PrintoutsOpener openPrintouts;
    ui::PamerolWindow window{core, desktop, [this](QWidget* parent, const ui::PrintoutsRequest& request) {
                                 return openPrintouts && openPrintouts(parent, request);
                             }};

    explicit Sheet(const std::string& settings = kSettings) {
        QFile ini(dir.filePath(QStringLiteral("Pmrl.ini")));
        if (ini.open(QIODevice::WriteOnly)) ini.write(settings.data(), static_cast<qint64>(settings.size()));
        ini.close();
        messages.setWindow(&window);
        window.setMessages(&messages);
        core.start(dir.path().toStdString());
        window.show();
        activate();
    }

    void activate() {
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
    }

    QString settingsFile() const {
        QFile ini(dir.filePath(QStringLiteral("Pmrl.ini")));
        return ini.open(QIODevice::ReadOnly) ? QString::fromLatin1(ini.readAll()) : QString();
    }

    QLineEdit* edit(Field f) const { return qobject_cast<QLineEdit*>(window.fieldWidget(f)); }
    QString shown(Field f) const { return edit(f)->displayText(); }
    std::string text(Field f) const { return core.record().text(f); }

    template <class T> T* find(const char* name) const {
        return window.findChild<T*>(QString::fromLatin1(name));
    }

    // Moves into the field as the Tab key does, then types the keys one by one.
    void type(Field f, const QString& keys) {
        QWidget* w = window.fieldWidget(f);
        w->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w, keys);
    }
    // Leaves the focused field for the next one, as Tab does.
    void tab() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
};

} // namespace pamerol::testing
