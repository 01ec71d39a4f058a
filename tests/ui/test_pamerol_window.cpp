// The sheet's window driven with real key events on the offscreen platform: what the user types, where the
// focus goes, what the window shows and which boxes appear.
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <memory>

#include "sheet_fixture.h"
#include "ui/raporsecwindow.h"

using namespace pamerol;
using pamerol::testing::Sheet;
using F = pamerol::Field;

Q_DECLARE_METATYPE(pamerol::Field)

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Runs fn on the modal widget of type T as soon as it opens (from inside its own event loop).
template <class T, class Fn> void WhenModal(Fn fn) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget()); modal && modal->isVisible()) {
            timer->deleteLater();
            timer->stop();
            fn(modal);
        }
    });
    timer->start();
}

// A case that earns both payments: 15.03.2004 to 14.09.2007, wage 2.000,00.
void Calculate(Sheet& s) {
    s.type(F::GTarih, QStringLiteral("15032004"));
    s.type(F::CTarih, QStringLiteral("14092007"));
    s.type(F::ESUCRET, QStringLiteral("2000"));
    QTest::mouseClick(s.find<QPushButton>("Command2"), Qt::LeftButton);
    s.activate(); // the offscreen platform does not hand activation back when the box closes
}

} // namespace

class PamerolWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Sheet> s;

  private slots:
    void init() { s = std::make_unique<Sheet>(); }
    void cleanup() {
        if (!s) return;
        const auto boxes = s->boxes.take();
        for (const auto& box : boxes) qWarning() << "unexpected message box:" << box.text;
        s.reset();
        QVERIFY(boxes.isEmpty());
    }

    void everyFieldHasItsNamedWidget() {
        QCOMPARE(s->window.windowTitle(), QStringLiteral("Kıdem ve İhbar Tazminatı Hesabı"));
        for (int i = 0; i < kFieldCount; ++i) {
            const F f = static_cast<F>(i);
            QWidget* w = s->window.fieldWidget(f);
            QVERIFY(w);
            QCOMPARE(w->objectName(), Q(std::string(FieldName(f))));
            QCOMPARE(w->accessibleName(), w->objectName());
        }
        auto* tabs = s->window.findChild<QTabWidget*>();
        QStringList titles;
        for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i);
        QCOMPARE(titles, (QStringList{"Kıdem", "İhbar", "Sabitler", "İşveren", "Personel", "Güncelleme"}));
        tabs->setCurrentIndex(2);
        QVERIFY(s->edit(F::VD5)->isVisible());
        QVERIFY(!s->edit(F::O6)->isVisible() && !s->edit(F::VD6)->isVisible());
        QVERIFY(s->edit(F::GGUN)->isReadOnly() && s->edit(F::TBRUT)->isReadOnly());
        // The opening state, as the record holds it.
        QCOMPARE(s->shown(F::GTarih), QStringLiteral("__.__.____"));
        QCOMPARE(s->shown(F::DVOR), QStringLiteral("6"));
        QVERIFY(!s->find<QPushButton>("Command3")->isEnabled());
        QVERIFY(s->find<QRadioButton>("Option1")->isChecked());
        QVERIFY(s->find<QCheckBox>("Check1")->isChecked() && s->find<QCheckBox>("Check2")->isChecked());
    }

    void keyRules_data() {
        QTest::addColumn<F>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addRow("days: digits only") << F::DGUN << "12a,.3"
                                           << "123";
        QTest::addRow("amount: one comma, no dot") << F::ESUCRET << "250,5,0.a"
                                                   << "250,50";
        QTest::addRow("ceiling: one comma") << F::TAV << "19a60,6,9"
                                            << "1960,69";
        QTest::addRow("stamp duty: anything") << F::DVOR << "6,6a."
                                              << "6,6a.";
        QTest::addRow("notice days: three characters") << F::DL1 << "1234"
                                                       << "123";
        QTest::addRow("date: full") << F::GTarih << "01022007"
                                    << "01.02.2007";
        QTest::addRow("date: partly typed") << F::CTarih << "0102"
                                            << "01.02.____";
        QTest::addRow("date: letters") << F::GTarih << "ab"
                                       << "__.__.____";
    }
    void keyRules() {
        QFETCH(F, field);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(
            field == F::DVOR || field == F::TAV || field == F::DL1 ? 2 : 0);
        s->type(field, keys);
        QCOMPARE(s->shown(field), shown);
        QCOMPARE(Q(s->text(field)), shown); // the record holds the masked text, prompts included
    }

    void clickIntoADateThenType() {
        // A click in the middle of the empty mask still lets the date be typed from its first digit.
        QLineEdit* date = s->edit(F::GTarih);
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() * 3 / 4, date->height() / 2));
        QCoreApplication::processEvents();
        QTest::keyClicks(date, QStringLiteral("15032004"));
        QCOMPARE(Q(s->text(F::GTarih)), QStringLiteral("15.03.2004"));
        // Into a partly typed date: the cursor goes to its first empty place.
        s->edit(F::CTarih)->setFocus();
        QTest::keyClicks(s->edit(F::CTarih), QStringLiteral("14"));
        QLineEdit* exit = s->edit(F::CTarih);
        QTest::mouseClick(exit, Qt::LeftButton, {}, QPoint(exit->width() - 4, exit->height() / 2));
        QCoreApplication::processEvents();
        QTest::keyClicks(exit, QStringLiteral("092007"));
        QCOMPARE(Q(s->text(F::CTarih)), QStringLiteral("14.09.2007"));
    }

    void pasteKeysDiscardedInDigitFields() {
        QApplication::clipboard()->setText(QStringLiteral("12a"));
        s->type(F::DGUN, {}); // whole "0" selected
        for (Qt::Key key : {Qt::Key_V, Qt::Key_C, Qt::Key_X})
            QTest::keyClick(s->edit(F::DGUN), key, Qt::ControlModifier);
        QCOMPARE(s->shown(F::DGUN), QStringLiteral("0"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("12a"));

        // The context menu's paste is allowed, and the total reads the leading number.
        std::unique_ptr<QMenu> menu(s->edit(F::DGUN)->createStandardContextMenu());
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QStringLiteral("&Paste"))) action->trigger();
        QCOMPARE(s->shown(F::DGUN), QStringLiteral("12a"));
        QCOMPARE(s->shown(F::GGUN), QStringLiteral("12"));

        // A field without a key rule takes Ctrl+V as usual.
        s->window.findChild<QTabWidget*>()->setCurrentIndex(2);
        s->type(F::KGN, {});
        QTest::keyClick(s->edit(F::KGN), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(s->shown(F::KGN), QStringLiteral("12a"));
    }

    void enterChain_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("path");
        QTest::addRow("inputs to Hesapla")
            << 0 << QStringList{"GTarih",  "CTarih", "DGUN",    "TGUN",    "DGVMAT",
                                "ESUCRET", "IUCRET", "YIUCRET", "Command2"};
        QTest::addRow("settings") << 2 << QStringList{"DVOR", "KGN", "TAV", "O1",  "VD1", "O2",
                                                      "VD2",  "O3",  "VD3", "O4",  "VD4", "O5",
                                                      "VD5",  "DL1", "DL2", "DL3", "DL4", "DL4"};
    }
    void enterChain() {
        QFETCH(int, tab);
        QFETCH(QStringList, path);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(tab);
        s->window.findChild<QWidget*>(path.front())->setFocus(Qt::TabFocusReason);
        for (const QString& next : path.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
        QVERIFY(s->boxes.take().isEmpty()); // reaching "&Hesapla" does not press it
    }

    void secondEnterCalculates() {
        s->type(F::YIUCRET, {});
        QTest::keyClick(s->edit(F::YIUCRET), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text,
                 QStringLiteral("Personelin Giriş Çıkış Tarihleri Geçersiz.\nGiriş tarihi girilmemiş."));
        QCOMPARE(boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(boxes[0].caption, QStringLiteral("Kıdem ve İhbar Tazminatı Hesabı"));
        QCOMPARE(boxes[0].parent, &s->window);
    }

    void calculationShowsResultsAndMessage() {
        Calculate(*s);
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].icon, QMessageBox::Information);
        QCOMPARE(boxes[0].text, QStringLiteral("Kıdem Tazminatı =%1\nİhbar Tazminatı  =%2")
                                    .arg(s->shown(F::NET), s->shown(F::ITAZM)));
        QVERIFY(!s->shown(F::NET).isEmpty() && !s->shown(F::ITAZM).isEmpty());
        QCOMPARE(s->shown(F::TIGUNU), Q(s->text(F::TIGUNU)));
        QVERIFY(s->find<QPushButton>("Command3")->isEnabled());
    }

    void liveTotals() {
        s->type(F::DGUN, QStringLiteral("30"));
        s->type(F::TGUN, QStringLiteral("335"));
        QCOMPARE(s->shown(F::GGUN), QStringLiteral("365"));
        s->type(F::ESUCRET, QStringLiteral("1000"));
        s->type(F::IUCRET, QStringLiteral("250,5"));
        QCOMPARE(s->shown(F::TBRUT), QStringLiteral("1.250,50"));
        s->tab(); // leaving formats the amount
        QCOMPARE(s->shown(F::IUCRET), QStringLiteral("250,50"));
        s->edit(F::IUCRET)->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(s->edit(F::IUCRET)->selectedText(), QStringLiteral("250,50"));
    }

    void editAfterCalculation_data() {
        QTest::addColumn<F>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("resultsKept");
        QTest::addRow("annual-leave wage") << F::YIUCRET << "5" << true;
        QTest::addRow("employee name") << F::txtAdiSoyadi << "A" << true;
        QTest::addRow("carried-over days") << F::DGUN << "1" << false;
        QTest::addRow("exit date") << F::CTarih << "1" << false;
    }
    void editAfterCalculation() {
        QFETCH(F, field);
        QFETCH(QString, keys);
        QFETCH(bool, resultsKept);
        Calculate(*s);
        QCOMPARE(s->boxes.take().size(), 1);
        const QString net = s->shown(F::NET);
        if (field == F::txtAdiSoyadi) s->window.findChild<QTabWidget*>()->setCurrentIndex(4);
        QWidget* w = s->window.fieldWidget(field);
        w->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w, keys);
        QCOMPARE(s->shown(F::NET), resultsKept ? net : QString());
        QCOMPARE(s->shown(F::HIGUNU).isEmpty(), !resultsKept);
        QCOMPARE(s->find<QPushButton>("Command3")->isEnabled(), resultsKept);
    }

    void clearShowsEmptyMasks() {
        s->type(F::GTarih, QStringLiteral("01022007"));
        s->type(F::ESUCRET, QStringLiteral("100"));
        QTest::mouseClick(s->find<QPushButton>("Command4"), Qt::LeftButton);
        QCOMPARE(s->shown(F::GTarih), QStringLiteral("__.__.____"));
        QCOMPARE(s->text(F::GTarih), "__.__.____");
        QCOMPARE(s->shown(F::ESUCRET), QStringLiteral("0"));
        QCOMPARE(s->shown(F::TBRUT), QStringLiteral("0"));
    }

    void modeAndFlagsReachTheRecord() {
        pamerol::testing::ClickBox(s->find<QRadioButton>("Option2"));
        QCOMPARE(s->core.record().mode(), Mode::PremiumDays);
        pamerol::testing::ClickBox(s->find<QCheckBox>("Check1"));
        QCOMPARE(s->core.record().check1(), 0);
        // A greyed flag set by the record shows greyed; a click ticks it.
        s->core.record().setCheck2(2);
        auto* check2 = s->find<QCheckBox>("Check2");
        s->window.findChild<QTabWidget*>()->setCurrentIndex(1);
        QCOMPARE(check2->checkState(), Qt::PartiallyChecked);
        pamerol::testing::ClickBox(check2);
        QCOMPARE(s->core.record().check2(), 1);
        pamerol::testing::ClickBox(check2);
        QCOMPARE(s->core.record().check2(), 0);
    }

    void linksOpenTheirAddresses() {
        s->window.findChild<QTabWidget*>()->setCurrentIndex(5);
        QTest::mouseClick(s->find<QPushButton>("cmdGuncelleme"), Qt::LeftButton);
        emit s->find<QLabel>("Label45")->linkActivated(QStringLiteral("4857"));
        QTest::mouseClick(s->find<QToolButton>("Image2"), Qt::LeftButton);
        QCOMPARE(s->desktop.opened, (std::vector<std::string>{s->core.linkAddress(Link::Guncelleme),
                                                              s->core.linkAddress(Link::IsKanunu),
                                                              s->core.linkAddress(Link::Bilgi)}));
    }

    void closingSavesTheSettings_data() {
        QTest::addColumn<QString>("how");
        QTest::addRow("Escape in a field") << "escape";
        QTest::addRow("Escape with Shift") << "shift-escape";
        QTest::addRow("Kapat") << "kapat";
        QTest::addRow("close box") << "close";
    }
    void closingSavesTheSettings() {
        QFETCH(QString, how);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(2);
        s->type(F::KGN, QStringLiteral("45"));
        if (how == "escape") QTest::keyClick(s->edit(F::KGN), Qt::Key_Escape);
        if (how == "shift-escape") QTest::keyClick(s->edit(F::KGN), Qt::Key_Escape, Qt::ShiftModifier);
        if (how == "kapat") QTest::mouseClick(s->find<QPushButton>("Command1"), Qt::LeftButton);
        if (how == "close") s->window.close();
        QVERIFY(!s->window.isVisible());
        QVERIFY2(s->settingsFile().contains(QStringLiteral("Oran2=45")), qPrintable(s->settingsFile()));
    }

    void failedSaveOnCloseIsReportedOnce() {
        // A folder where the settings file should be: the save cannot replace it.
        QVERIFY(QFile::remove(s->dir.filePath(QStringLiteral("Pmrl.ini"))));
        QVERIFY(QDir(s->dir.path()).mkdir(QStringLiteral("Pmrl.ini")));
        s->window.findChild<QTabWidget*>()->setCurrentIndex(2);
        s->type(F::DVOR, QStringLiteral("7"));
        QTest::keyClick(s->edit(F::DVOR), Qt::Key_Escape);
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.startsWith(QStringLiteral("Ayarlar kaydedilemedi: ")));
        QVERIFY(!s->window.isVisible());
    }

    void printoutsOpenModallyWithAFreshChoice() {
        Calculate(*s);
        QCOMPARE(s->boxes.take().size(), 1);
        RecordedMessages fills;
        s->openPrintouts = [&](QWidget* parent) {
            ui::ShowPrintouts(s->core.record(), s->dir.path().toStdString(), {}, fills, parent);
        };
        QStringList seen;
        for (int opening = 0; opening < 2; ++opening) {
            WhenModal<QDialog>([&](QDialog* dialog) {
                seen << dialog->windowTitle()
                     << QString::number(
                            dialog->findChild<QRadioButton*>(QStringLiteral("Option1_0"))->isChecked());
                auto* letter = dialog->findChild<QRadioButton*>(QStringLiteral("Option1_2"));
                pamerol::testing::ClickBox(letter);
                seen << QString::number(letter->isChecked());
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
            QTest::mouseClick(s->find<QPushButton>("Command3"), Qt::LeftButton);
        }
        QCOMPARE(seen, (QStringList{"Kıdem İhbar Dökümleri", "1", "1", "Kıdem İhbar Dökümleri", "1", "1"}));
        QVERIFY(s->window.isVisible()); // Escape closed only the dialog
        QVERIFY(fills.entries.empty());
    }
};

QTEST_MAIN(PamerolWindowTest)
#include "test_pamerol_window.moc"
