// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's window driven with real key events on the offscreen platform: what the user types, where the
// focus goes, what the window shows and which boxes appear.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <memory>

#include "base/conversions.h"
#include "calc/fesih.h"
#include "sheet_fixture.h"
#include "ui/hakkinda.h"
#include "ui/qtdesktop.h"
#include "ui/raporsecwindow.h"
#include "ui/turkce.h"

using namespace pamerol;
using pamerol::testing::Sheet;
using pamerol::testing::WhenModal;
using F = pamerol::Field;

Q_DECLARE_METATYPE(pamerol::Field)

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A case that earns both payments: 15.03.2004 to 14.09.2007 (or the exit date given), wage 2.000,00.
void Calculate(Sheet& s, const QString& exit = QStringLiteral("14092007"),
               const QString& wage = QStringLiteral("2000")) {
    s.type(F::GTarih, QStringLiteral("15032004"));
    s.type(F::CTarih, exit);
    s.type(F::ESUCRET, wage);
    QTest::mouseClick(s.find<QPushButton>("Command2"), Qt::LeftButton);
    s.activate(); // the offscreen platform does not hand activation back when the box closes
}

// A table of legal figures without KGN, and with no ceiling for 2021.
const char* const kTable = "alan;baslangic;bitis;deger;durum;kaynaklar\n"
                           "DVOR;01.01.2005;;7,59;1;k\nTAV;01.01.2007;30.06.2007;1960,69;1;k\n"
                           "TAV;01.07.2007;31.12.2007;2030,19;1;k\nTAV;01.01.2023;30.06.2023;19982,83;1;k\n"
                           "O1;01.01.2005;;15;1;k\nO2;01.01.2005;;20;1;k\nO3;01.01.2005;;27;1;k\n"
                           "O4;01.01.2005;;35;1;k\nO5;01.01.2005;;40;1;k\nVD1;01.01.2005;;70000;1;k\n"
                           "VD2;01.01.2005;;150000;1;k\nVD3;01.01.2005;;550000;1;k\n"
                           "VD4;01.01.2005;;1900000;1;k\nVD5;01.01.2005;;999999999;1;k\n"
                           "DL1;01.01.2005;;15;1;k\nDL2;01.01.2005;;29;1;k\nDL3;01.01.2005;;43;1;k\n"
                           "DL4;01.01.2005;;57;1;k\n";

// Writes the table beside the sheet's settings and gives its path to the window.
void GiveTable(Sheet& s, const QByteArray& text) {
    const QString path = s.dir.filePath(QStringLiteral("yasal-degerler.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    s.window.setYasalDegerlerYolu(path.toStdString());
}

// Unticks "Yasal değerleri çıkış tarihine göre al": the clerk's own figures are used.
void YasalOtomatikOff(Sheet& s) {
    auto* box = s.window.findChild<QCheckBox*>(QStringLiteral("chkYasalOtomatik"));
    QVERIFY(box);
    box->setChecked(false);
}

// What a box shows: a line's text as displayed, a multi-line box's plain text.
QString Shown(Sheet& s, F f) {
    if (auto* text = qobject_cast<QPlainTextEdit*>(s.window.fieldWidget(f))) return text->toPlainText();
    return s.shown(f);
}

// The box given the focus as Tab gives it, its text replaced by typing, and then all of it selected or the
// cursor left at its end.
void Retype(Sheet& s, F f, const QString& keys, bool selected) {
    QWidget* w = s.window.fieldWidget(f);
    w->setFocus(Qt::TabFocusReason);
    if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        text->selectAll();
        QTest::keyClick(text, Qt::Key_Delete);
        QTest::keyClicks(text, keys);
        if (selected) text->selectAll();
        return;
    }
    auto* edit = s.edit(f);
    edit->selectAll();
    QTest::keyClicks(edit, keys);
    if (selected)
        edit->selectAll();
    else
        edit->end(false);
}

// The tab that holds the field.
int TabOf(F f) {
    switch (Info(f).tab) {
    case Tab::Upper:
    case Tab::Kidem: return 0;
    case Tab::Ihbar: return 1;
    case Tab::Sabitler: return 2;
    case Tab::Isveren: return 3;
    case Tab::Personel: return 4;
    case Tab::Izin: return 5;
    }
    return 0;
}

QLabel* Hint(Sheet& s) {
    return s.window.findChild<QLabel*>(QStringLiteral("ipucu"));
}

// Puts the text on the clipboard and pastes it into the field, whose whole text is selected, by one path.
void Paste(Sheet& s, F f, const QString& clip, const QString& how) {
    QApplication::clipboard()->setText(clip);
    QLineEdit* edit = s.edit(f);
    s.type(f, {});
    edit->selectAll();
    if (how == "Shift+Insert") QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    if (how == "Ctrl+V") QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    if (how == "menu") {
        QTimer::singleShot(20, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            menu->findChild<QAction*>(QStringLiteral("edit-paste"))->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(4, 4), edit->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(edit, &event);
    }
}

} // namespace

class PamerolWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Sheet> s;

  private slots:
    void initTestCase() { QVERIFY(ui::InstallTurkishTranslations(*QCoreApplication::instance())); }
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
        }
        // A screen reader reads the caption the clerk sees, never the field code.
        const std::pair<F, const char*> spoken[] = {{F::GTarih, "Giriş Tarihi"},
                                                    {F::ESUCRET, "En Son Aylık Brüt Ücreti"},
                                                    {F::O1, "1. Dilim Gelir Vergisi Oranı"},
                                                    {F::VD5, "5. Dilim Üst Sınırı"},
                                                    {F::txtIbraname, "İbraname Metni"},
                                                    {F::txtTcKNo, "T.C. Kimlik No"}};
        for (auto [f, caption] : spoken)
            QCOMPARE(s->window.fieldWidget(f)->accessibleName(), QString(caption));
        QCOMPARE(s->find<QPushButton>("Command2")->accessibleName(), QStringLiteral("Hesapla"));
        QCOMPARE(s->find<QRadioButton>("Option1")->accessibleName(),
                 QStringLiteral("Giriş Çıkış Tarihine Göre"));
        auto* tabs = s->window.findChild<QTabWidget*>();
        QStringList titles;
        QString keys; // every button's and tab's access key is its own
        for (QAbstractButton* b : s->window.findChildren<QAbstractButton*>())
            if (const int at = b->text().indexOf(u'&'); at >= 0) {
                QVERIFY2(!keys.contains(b->text().at(at + 1).toUpper()), qPrintable(b->text()));
                keys += b->text().at(at + 1).toUpper();
            }
        QCOMPARE(keys.size(), 14); // the two ways of counting the service among them
        for (int i = 0; i < tabs->count(); ++i) {
            const QString title = tabs->tabText(i);
            titles << QString(title).remove(u'&');
            const QChar key = title.at(title.indexOf(u'&') + 1).toUpper();
            QVERIFY2(!keys.contains(key), qPrintable(title));
            keys += key;
        }
        QCOMPARE(titles,
                 (QStringList{"Kıdem", "İhbar", "Sabitler", "İşveren", "Personel", "İzin", "Güncelleme"}));
        // Every input and settings field says what it holds; the settings say where they are kept.
        for (int i = 0; i < kFieldCount; ++i)
            if (static_cast<F>(i) != F::O6 && static_cast<F>(i) != F::VD6)
                QVERIFY2(!s->window.fieldWidget(static_cast<F>(i))->toolTip().isEmpty(),
                         FieldName(static_cast<F>(i)).data());
        QVERIFY(s->edit(F::DVOR)->toolTip().contains(QStringLiteral("[Oranlar] bölümünde Oran1")));
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

    // Employer texts stop where the settings file would cut them at the next load (254 characters as
    // stored, a line break counting two).
    void settingsTextsStopAtWhatTheFileKeeps() {
        s->window.findChild<QTabWidget*>()->setCurrentIndex(3);
        s->edit(F::txtVergiDairesi)->clear();
        qobject_cast<QPlainTextEdit*>(s->window.fieldWidget(F::txtAdresi))->clear();
        s->type(F::txtVergiDairesi, QString(300, u'k'));
        QCOMPARE(s->text(F::txtVergiDairesi), std::string(254, 'k'));
        // The tax number takes digits only, eleven at most.
        s->edit(F::txtVergiNo)->clear();
        s->type(F::txtVergiNo, QStringLiteral("12a34567891-2345"));
        QCOMPARE(s->text(F::txtVergiNo), "12345678912");
        QWidget* address = s->window.fieldWidget(F::txtAdresi);
        s->type(F::txtAdresi, QString(250, u'a'));
        QTest::keyClick(address, Qt::Key_Return, Qt::ControlModifier); // Enter alone moves on
        QTest::keyClicks(address, QStringLiteral("bcdef"));
        QCOMPARE(s->text(F::txtAdresi), std::string(250, 'a') + "\r\nbc");
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

    // Ctrl+C, Ctrl+X and Ctrl+V in every kind of box; a paste into an amount is cleaned as the context
    // menu's is, one into a day count goes in as the menu's does.
    void clipboardKeysInEveryBox_data() {
        QTest::addColumn<F>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("clipAfter");
        const int c = Qt::Key_C, x = Qt::Key_X, v = Qt::Key_V;
        QTest::addRow("amount, copy") << F::ESUCRET << "2500"
                                      << "" << c << "2500"
                                      << "2500";
        QTest::addRow("amount, cut") << F::IUCRET << "150"
                                     << "" << x << ""
                                     << "150";
        QTest::addRow("days, copy") << F::DGUN << "12"
                                    << "" << c << "12"
                                    << "12";
        QTest::addRow("days, paste as the menu") << F::DGUN << "1"
                                                 << "12a" << v << "12a"
                                                 << "12a";
        QTest::addRow("date, copy") << F::GTarih << "15032004"
                                    << "" << c << "15.03.2004"
                                    << "15.03.2004";
        QTest::addRow("name, paste") << F::txtAdiSoyadi << "A"
                                     << "Ali Kaya" << v << "Ali Kaya"
                                     << "Ali Kaya";
        QTest::addRow("address, cut") << F::txtAdres << "Ev"
                                      << "" << x << ""
                                      << "Ev";
    }
    void clipboardKeysInEveryBox() {
        QFETCH(F, field);
        QFETCH(QString, typed);
        QFETCH(QString, clip);
        QFETCH(int, key);
        QFETCH(QString, shown);
        QFETCH(QString, clipAfter);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(TabOf(field));
        Retype(*s, field, typed, true);
        QApplication::clipboard()->setText(clip);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(Shown(*s, field), shown);
        QCOMPARE(QApplication::clipboard()->text(), clipAfter);
        if (field == F::DGUN) QCOMPARE(s->shown(F::GGUN), QStringLiteral("12"));
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
        // On the particulars and the employer's texts Enter moves on as well, and past the tab's last box to
        // the case's first.
        QTest::addRow("particulars")
            << 4 << QStringList{"txtAdiSoyadi",      "txtAdres",      "txtSSkNoPer",    "txtTcKNo",
                                "txtIbranameTarihi", "FESIH",         "txtOdemeTarihi", "txtBanka",
                                "txtIBAN",           "txtEkOdemeler", "GTarih"};
        QTest::addRow("employer") << 3
                                  << QStringList{"txtUnvani",  "txtSSkNoIsv", "txtAdresi", "txtVergiDairesi",
                                                 "txtVergiNo", "txtIbraname", "GTarih"};
    }
    void enterChain() {
        QFETCH(int, tab);
        QFETCH(QStringList, path);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(tab);
        s->window.findChild<QWidget*>(path.front())->setFocus(Qt::TabFocusReason);
        for (const QString& next : path.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
            // The field reached has its whole text selected, on every tab.
            if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                edit && !next.endsWith("Tarih") && !next.endsWith("Tarihi"))
                QCOMPARE(edit->selectedText(), edit->text());
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

    void calculationShowsResultsAndMessage_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<QString>("note"); // the line under the results
        QTest::addRow("wage") << "2000"
                              << "";
        QTest::addRow("wage 0") << "0"
                                << "\n\nEn son brüt ücret 0,00";
    }
    void calculationShowsResultsAndMessage() {
        QFETCH(QString, wage);
        QFETCH(QString, note);
        Calculate(*s, QStringLiteral("14092007"), wage);
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].icon, QMessageBox::Information);
        QCOMPARE(boxes[0].text, QStringLiteral("Kıdem Tazminatı =%1\nİhbar Tazminatı  =%2%3")
                                    .arg(s->shown(F::NET), s->shown(F::ITAZM), note));
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
        QTest::addRow("annual-leave wage") << F::YIUCRET << "5" << false; // the leave pay's gross
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

    // "&Boşalt" (Alt+B) clears the case; "Yeni Personel" (Alt+Y) the employee too, after asking when a
    // typed case would be lost. The focus goes to the case's first box either way.
    void clearAndNewEmployee_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("sheet");  // typed, calculated; "premium" also chooses the premium days
        QTest::addColumn<QString>("answer"); // to the question, when one is asked
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("cleared");
        QTest::addRow("Boşalt") << "B"
                                << "typed"
                                << "" << false << true;
        QTest::addRow("Boşalt, premium days") << "B"
                                              << "typed premium"
                                              << "" << false << true;
        QTest::addRow("Yeni Personel, calculated") << "Y"
                                                   << "calculated"
                                                   << "" << false << true;
        QTest::addRow("Yeni Personel, typed, Hayır") << "Y"
                                                     << "typed"
                                                     << "Hayır" << true << false;
        QTest::addRow("Yeni Personel, typed, Evet") << "Y"
                                                    << "typed"
                                                    << "Evet" << true << true;
        // Choosing the mode threw the results away: the typed case would be lost.
        QTest::addRow("Yeni Personel, premium days") << "Y"
                                                     << "calculated premium"
                                                     << "Evet" << true << true;
    }
    void clearAndNewEmployee() {
        QFETCH(QString, command);
        QFETCH(QString, sheet);
        QFETCH(QString, answer);
        QFETCH(bool, asks);
        QFETCH(bool, cleared);
        auto* tabs = s->window.findChild<QTabWidget*>();
        tabs->setCurrentIndex(4);
        s->type(F::txtAdiSoyadi, QStringLiteral("Ali"));
        s->type(F::txtTcKNo, QStringLiteral("10000000146"));
        tabs->setCurrentIndex(3);
        Retype(*s, F::txtIbraname, QStringLiteral("Kisa metin"), false);
        tabs->setCurrentIndex(1);
        pamerol::testing::ClickBox(s->find<QCheckBox>("Check2"));
        if (sheet.contains("calculated")) {
            Calculate(*s);
            QCOMPARE(s->boxes.take().size(), 1);
        } else {
            s->type(F::GTarih, QStringLiteral("01022007"));
            s->type(F::ESUCRET, QStringLiteral("100"));
        }
        const bool premium = sheet.contains("premium");
        if (premium) pamerol::testing::ClickBox(s->find<QRadioButton>("Option2"));
        s->boxes.press = answer;
        pamerol::testing::ClickOf click(
            s->find<QPushButton>(command == "Y" ? "cmdYeniPersonel" : "Command4"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(command.at(0).unicode()), Qt::AltModifier);
        QVERIFY(click.wait());
        s->activate(); // the offscreen platform does not hand activation back when a box closes
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), asks ? 1 : 0);
        if (asks)
            QCOMPARE(boxes[0].text,
                     QStringLiteral("Hesaplanmamış bilgiler kaybolacak. Yeni personele geçilsin mi?"));
        QCOMPARE(s->shown(F::GTarih), cleared ? QStringLiteral("__.__.____") : QStringLiteral("01.02.2007"));
        QCOMPARE(s->shown(F::ESUCRET), cleared ? QStringLiteral("0") : QStringLiteral("100"));
        QCOMPARE(s->shown(F::TBRUT), cleared ? QStringLiteral("0") : QStringLiteral("100,00"));
        QCOMPARE(s->shown(F::NET), QString());
        const bool employee = cleared && command == "Y";
        QCOMPARE(s->shown(F::txtAdiSoyadi), employee ? QString() : QStringLiteral("Ali"));
        QCOMPARE(s->shown(F::txtTcKNo), employee ? QString() : QStringLiteral("10000000146"));
        QCOMPARE(s->core.record().check2(), employee ? 1 : 0);
        QCOMPARE(s->find<QCheckBox>("Check2")->isChecked(), employee);
        QCOMPARE(s->text(F::txtIbraname) == kDefaultReleaseText, employee);
        if (cleared) {
            QCOMPARE(QApplication::focusWidget(), s->window.fieldWidget(premium ? F::DGUN : F::GTarih));
            // Typing starts the box afresh from its first place.
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("15"));
            QCOMPARE(Q(s->text(premium ? F::DGUN : F::GTarih)),
                     premium ? QStringLiteral("15") : QStringLiteral("15.__.____"));
        }
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
        QCOMPARE(s->desktop.opened, (std::vector<std::string>{s->core.linkAddress(Link::Guncelleme),
                                                              s->core.linkAddress(Link::IsKanunu)}));
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

    void refusedKeyShowsAHint_data() {
        QTest::addColumn<F>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("hint");
        QTest::addRow("amount: letter O") << F::ESUCRET << "2.5OO,00"
                                          << "25,00"
                                          << "Bu alana yalnızca rakam ve virgül girilir.";
        QTest::addRow("days: letter") << F::DGUN << "1a"
                                      << "1"
                                      << "Bu alana yalnızca rakam girilir.";
        QTest::addRow("date: letter") << F::GTarih << "1x"
                                      << "1_.__.____"
                                      << "Bu alana yalnızca tarih rakamları girilir (GG.AA.YYYY).";
        QTest::addRow("stamp duty: nothing refused") << F::DVOR << "7,59a"
                                                     << "7,59a" << QString();
    }
    void refusedKeyShowsAHint() {
        QFETCH(F, field);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, hint);
        if (field == F::DVOR) s->window.findChild<QTabWidget*>()->setCurrentIndex(2);
        s->type(field, keys);
        QCOMPARE(s->shown(field), shown);
        QVERIFY(Hint(*s));
        QCOMPARE(Hint(*s)->isVisible(), !hint.isEmpty());
        if (!hint.isEmpty()) QCOMPARE(Hint(*s)->text(), hint);
        QCOMPARE(QApplication::focusWidget(), s->window.fieldWidget(field)); // the focus stays
        QTRY_VERIFY_WITH_TIMEOUT(!Hint(*s)->isVisible(), 4000);
    }

    // A key a box does not take changes nothing in it, whether its text is selected or not: no kind of box
    // is emptied by a stray letter or by Alt with a key that is no access key here.
    void refusedKeyChangesNothing_data() {
        QTest::addColumn<F>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("alsoSelected"); // tried with the whole text selected as well
        const int none = Qt::NoModifier, alt = Qt::AltModifier;
        QTest::addRow("date, letter") << F::CTarih << "14092007" << int(Qt::Key_A) << none << true;
        QTest::addRow("date, Alt+T") << F::CTarih << "14092007" << int(Qt::Key_T) << alt << true;
        QTest::addRow("days, letter") << F::DGUN << "12" << int(Qt::Key_A) << none << true;
        QTest::addRow("amount, minus") << F::ESUCRET << "2500" << int(Qt::Key_Minus) << none << true;
        QTest::addRow("amount, Alt+J") << F::ESUCRET << "12" << int(Qt::Key_J) << alt << true;
        QTest::addRow("stamp duty, Alt+Q") << F::DVOR << "7,59" << int(Qt::Key_Q) << alt << true;
        QTest::addRow("name, Alt+Q") << F::txtAdiSoyadi << "Ali" << int(Qt::Key_Q) << alt << true;
        QTest::addRow("address, Alt+Q") << F::txtAdres << "Ev" << int(Qt::Key_Q) << alt << true;
        QTest::addRow("T.C. Kimlik No, letter") << F::txtTcKNo << "123" << int(Qt::Key_A) << none << true;
        QTest::addRow("T.C. Kimlik No, twelfth digit")
            << F::txtTcKNo << "10000000146" << int(Qt::Key_7) << none << false;
    }
    void refusedKeyChangesNothing() {
        QFETCH(F, field);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, alsoSelected);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(TabOf(field));
        for (const bool selected : {false, true}) {
            if (selected && !alsoSelected) continue;
            Retype(*s, field, typed, selected);
            const QString before = Shown(*s, field);
            const std::string record = s->text(field);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QCOMPARE(Shown(*s, field), before);
            QCOMPARE(s->text(field), record);
        }
    }

    void keypadDecimalTypesAComma_data() {
        QTest::addColumn<F>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::addRow("wage, US layout") << F::ESUCRET << int(Qt::Key_Period) << "2500,5";
        QTest::addRow("wage, Turkish layout") << F::ESUCRET << int(Qt::Key_Comma) << "2500,5";
        QTest::addRow("stamp duty") << F::DVOR << int(Qt::Key_Period) << "2500,5,";
    }
    void keypadDecimalTypesAComma() {
        QFETCH(F, field);
        QFETCH(int, key);
        QFETCH(QString, shown);
        if (field == F::DVOR) s->window.findChild<QTabWidget*>()->setCurrentIndex(2);
        s->type(field, QStringLiteral("2500"));
        QTest::keyClick(s->edit(field), Qt::Key(key), Qt::KeypadModifier);
        QTest::keyClicks(s->edit(field), QStringLiteral("5"));
        QTest::keyClick(s->edit(field), Qt::Key(key),
                        Qt::KeypadModifier); // a second comma in an amount: refused
        QCOMPARE(s->shown(field), shown);
    }

    void pastedAmounts_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("shown");
        QTest::addRow("TL after, Shift+Insert") << "Shift+Insert"
                                                << "2.000,00 TL"
                                                << "2.000,00";
        QTest::addRow("lira sign before, menu") << "menu"
                                                << "₺ 2.000,00"
                                                << "2.000,00";
        QTest::addRow("blank groups, menu") << "menu"
                                            << "2 000,00"
                                            << "2000,00";
        QTest::addRow("no-break blank, Shift+Insert") << "Shift+Insert"
                                                      << "2\u00A0000,00 YTL"
                                                      << "2000,00";
        QTest::addRow("unreadable, Shift+Insert") << "Shift+Insert"
                                                  << "iki bin TL"
                                                  << "0,00";
        QTest::addRow("TL after, Ctrl+V") << "Ctrl+V"
                                          << "2.000,00 TL"
                                          << "2.000,00";
        QTest::addRow("negative, Ctrl+V") << "Ctrl+V"
                                          << "-12.345,67"
                                          << "0,00";
        QTest::addRow("unreadable, menu") << "menu"
                                          << "2,000.00 USD"
                                          << "0,00";
    }
    void pastedAmounts() {
        QFETCH(QString, how);
        QFETCH(QString, clip);
        QFETCH(QString, shown);
        Paste(*s, F::ESUCRET, clip, how);
        QCOMPARE(s->shown(F::ESUCRET), shown);
        QCOMPARE(Q(s->text(F::ESUCRET)), shown);
        const bool refused = shown == "0,00";
        QVERIFY(Hint(*s));
        QCOMPARE(Hint(*s)->isVisible(), refused);
        QCOMPARE(s->shown(F::TBRUT), refused ? QStringLiteral("0,00") : QStringLiteral("2.000,00"));
    }

    void ctrlASelectsEverything_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<F>("field");
        QTest::addRow("ceiling") << 2 << F::TAV;
        QTest::addRow("bracket limit") << 2 << F::VD1;
        QTest::addRow("wage") << 0 << F::ESUCRET;
        QTest::addRow("days") << 0 << F::DGUN;
    }
    void ctrlASelectsEverything() {
        QFETCH(int, tab);
        QFETCH(F, field);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(tab);
        s->type(field, {});
        QLineEdit* edit = s->edit(field);
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(!edit->text().isEmpty());
        QCOMPARE(edit->selectedText(), edit->text());
        QTest::keyClicks(edit, QStringLiteral("9")); // typing replaces the old figure
        QCOMPARE(s->shown(field), QStringLiteral("9"));
    }

    void tabPassesTheTotalsBy_data() {
        QTest::addColumn<F>("from");
        QTest::addColumn<F>("to");
        QTest::addColumn<F>("total");
        QTest::addRow("day total") << F::TGUN << F::DGVMAT << F::GGUN;
        QTest::addRow("wage total") << F::IUCRET << F::YIUCRET << F::TBRUT;
    }
    void tabPassesTheTotalsBy() {
        QFETCH(F, from);
        QFETCH(F, to);
        QFETCH(F, total);
        s->type(F::ESUCRET, QStringLiteral("1234"));
        s->type(from, QStringLiteral("5"));
        s->tab();
        QCOMPARE(QApplication::focusWidget(), s->window.fieldWidget(to));
        // Shown on the window's colour, unlike an input box; a click still reaches it for copying.
        QVERIFY(s->edit(total)->palette().color(QPalette::Base) !=
                s->edit(from)->palette().color(QPalette::Base));
        QTest::mouseClick(s->edit(total), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), s->window.fieldWidget(total));
        QTest::keyClick(s->edit(total), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(s->edit(total), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), s->shown(total));
    }

    void keysSwitchTheTabs_data() {
        QTest::addColumn<F>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("focused"); // where the focus is afterwards
        const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
        QTest::addRow("Ctrl+Tab in a wage") << F::ESUCRET << int(Qt::Key_Tab) << ctrl << 1 << "ESUCRET";
        QTest::addRow("Ctrl+Shift+Tab in a wage")
            << F::ESUCRET << int(Qt::Key_Backtab) << int(ctrl | Qt::ShiftModifier) << 6 << "ESUCRET";
        QTest::addRow("Ctrl+PgDown in a date") << F::GTarih << int(Qt::Key_PageDown) << ctrl << 1 << "GTarih";
        QTest::addRow("Ctrl+PgUp in a date") << F::GTarih << int(Qt::Key_PageUp) << ctrl << 6 << "GTarih";
        QTest::addRow("Ctrl+Tab in the release text")
            << F::txtIbraname << int(Qt::Key_Tab) << ctrl << 4 << "txtAdiSoyadi"; // its box went out of sight
        // A tab's access key puts the focus into its first box.
        QTest::addRow("Alt+M") << F::DGUN << int(Qt::Key_M) << alt << 0 << "Check1";
        QTest::addRow("Alt+A") << F::ESUCRET << int(Qt::Key_A) << alt << 1 << "Check2";
        QTest::addRow("Alt+S") << F::ESUCRET << int(Qt::Key_S) << alt << 2 << "DVOR";
        QTest::addRow("Alt+V") << F::ESUCRET << int(Qt::Key_V) << alt << 3 << "txtUnvani";
        QTest::addRow("Alt+P") << F::YIUCRET << int(Qt::Key_P) << alt << 4 << "txtAdiSoyadi";
        QTest::addRow("Alt+Z") << F::ESUCRET << int(Qt::Key_Z) << alt << 5 << "IZGUN";
        QTest::addRow("Alt+C") << F::ESUCRET << int(Qt::Key_C) << alt << 6 << "cmdGuncelleme";
    }
    void keysSwitchTheTabs() {
        QFETCH(F, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, tab);
        QFETCH(QString, focused);
        auto* tabs = s->window.findChild<QTabWidget*>();
        if (focus == F::txtIbraname) tabs->setCurrentIndex(3);
        s->window.fieldWidget(focus)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(tabs->currentIndex(), tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        QCOMPARE(Q(s->text(F::ESUCRET)), focus == F::ESUCRET ? QStringLiteral("0,00") : QStringLiteral("0"));
    }

    void helpShowsThePageInAWindowOfTheProgram_data() {
        QTest::addColumn<bool>("f1");
        QTest::addRow("F1") << true;
        QTest::addRow("the picture") << false;
    }
    void helpShowsThePageInAWindowOfTheProgram() {
        QFETCH(bool, f1);
        QVERIFY(QFile::copy(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../sheet/pages/bilgi.html"),
                            s->dir.filePath(QStringLiteral("bilgi.html"))));
        if (f1)
            QTest::keyClick(s->edit(F::ESUCRET), Qt::Key_F1);
        else
            QTest::mouseClick(s->find<QToolButton>("Image2"), Qt::LeftButton);
        auto* help = s->window.findChild<QWidget*>(QStringLiteral("yardim"));
        QVERIFY(help && help->isVisible());
        QVERIFY(s->desktop.opened.empty()); // no browser needed
        const QString page = help->findChild<QTextBrowser*>()->toPlainText();
        QVERIFY(page.contains(QStringLiteral("Kıdem ve İhbar Tazminatı Hesabı")));
        // The key list names every access key of the window's buttons.
        QFile source(s->dir.filePath(QStringLiteral("bilgi.html")));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(source.readAll());
        const qsizetype keys = html.indexOf(QStringLiteral("<h2>Klavye</h2>"));
        QVERIFY(keys > 0);
        for (QAbstractButton* b : s->window.findChildren<QAbstractButton*>())
            if (const qsizetype at = b->text().indexOf(u'&'); at >= 0)
                QVERIFY2(html.indexOf(QStringLiteral("<kbd>%1</kbd>").arg(b->text().at(at + 1).toUpper()),
                                      keys) > 0,
                         qPrintable(b->text()));
        QVERIFY(html.indexOf(QStringLiteral("<kbd>Ctrl</kbd>+<kbd>Enter</kbd>"), keys) > 0);
        QTest::keyClick(help->findChild<QTextBrowser*>(), Qt::Key_Escape);
        QVERIFY(!help->isVisible());
        QVERIFY(s->window.isVisible());
    }

    void noBrowserGivesTheAddress() {
        ui::QtDesktop desktop; // the offscreen platform starts no browser
        desktop.setWindow(&s->window);
        desktop.openAddress(s->core.linkAddress(Link::Bilgi));
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(s->dir.filePath(QStringLiteral("bilgi.html"))),
                 qPrintable(boxes[0].text));
    }

    // The identity number, the employer's tax number and the IBAN are checked when their box is left: a
    // warning under it, never a refusal.
    void tcKimlikNoWarnsWhenTheCheckFails_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("warns");
        QTest::addColumn<QString>("mended");
        const int tc = static_cast<int>(F::txtTcKNo), vno = static_cast<int>(F::txtVergiNo),
                  iban = static_cast<int>(F::txtIBAN);
        QTest::addRow("valid") << tc << "10000000146" << false << "";
        QTest::addRow("check digit wrong") << tc << "12345678901" << true << "10000000146";
        QTest::addRow("too short") << tc << "1234" << true << "10000000146";
        QTest::addRow("empty") << tc << "" << false << "";
        QTest::addRow("Vergi No., a company's") << vno << "1234567890" << false << "";
        QTest::addRow("Vergi No., check digit wrong") << vno << "1234567891" << true << "1234567890";
        QTest::addRow("Vergi No., a person's T.C. number wrong")
            << vno << "12345678901" << true << "10000000146";
        QTest::addRow("IBAN") << iban << "TR33 0006 1005 1978 6457 8413 26" << false << "";
        QTest::addRow("IBAN, check digits wrong")
            << iban << "TR34 0006 1005 1978 6457 8413 26" << true << "TR330006100519786457841326";
    }
    void tcKimlikNoWarnsWhenTheCheckFails() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(bool, warns);
        QFETCH(QString, mended);
        const F f = static_cast<F>(field);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(f == F::txtVergiNo ? 3 : 4);
        auto* warning = s->find<QLabel>(f == F::txtTcKNo  ? "tcUyarisi"
                                        : f == F::txtIBAN ? "ibanUyarisi"
                                                          : "vergiNoUyarisi");
        s->edit(f)->clear();
        s->type(f, typed);
        QVERIFY(warning->isHidden()); // not while typing
        QTest::keyClick(s->edit(f), Qt::Key_Return);
        QCOMPARE(warning->isVisible(), warns);
        QCOMPARE(Q(s->text(f)), typed); // kept as typed
        if (warns) {                    // mended, the warning goes at once
            Retype(*s, f, mended, false);
            QVERIFY(warning->isHidden());
        }
    }

    void aboutNamesTheOfficeVersion() {
        QCOMPARE(ui::OfficeLine(QStringLiteral("LibreOffice 7.4.7.2 40(Build:2)")),
                 QStringLiteral("LibreOffice 7.4.7.2"));
        QVERIFY(ui::OfficeLine(std::nullopt).startsWith(QStringLiteral("LibreOffice: bulunamadı")));
    }

    void messageButtonsAreTurkish() {
        s->messages.show("Deneme", MessageIcon::None);
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].buttons, QStringList{"Tamam"});
    }

    // Escape, "&Kapat" (Alt+K) and Alt+F4 (the close box, which the window manager turns into the same close
    // request) ask alike whenever work would be lost, and never otherwise.
    void closingAsksWhenWorkWouldBeLost_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("question"); // empty: none asked
        QTest::addColumn<bool>("closes");
        const QString typed = QStringLiteral("Hesaplanmamış bilgiler kaybolacak. Program kapatılsın mı?");
        const QString unkept = QStringLiteral("Hesaplanan tazminat yazdırılmadı ve arşive kaydedilmedi. "
                                              "Program kapatılsın mı?");
        const std::pair<const char*, QString> sheets[] = {{"fresh", {}},
                                                          {"typed wage", typed},
                                                          {"typed date", typed},
                                                          {"calculated", unkept},
                                                          {"printed", {}},
                                                          {"cleared", {}},
                                                          {"only tabbed through the wage", {}},
                                                          {"printout dialog left with Alt+K", unkept}};
        for (const char* how : {"Escape", "Alt+K", "Alt+F4"}) {
            for (const auto& [sheet, question] : sheets)
                QTest::addRow("%s, %s", sheet, how)
                    << sheet << how << QString() << question << question.isEmpty();
            QTest::addRow("typed wage, %s, Evet", how) << "typed wage" << how << "Evet" << typed << true;
            QTest::addRow("calculated, %s, Evet", how) << "calculated" << how << "Evet" << unkept << true;
        }
    }
    void closingAsksWhenWorkWouldBeLost() {
        QFETCH(QString, sheet);
        QFETCH(QString, how);
        QFETCH(QString, answer);
        QFETCH(QString, question);
        QFETCH(bool, closes);
        if (sheet == "typed wage" || sheet == "cleared") s->type(F::ESUCRET, QStringLiteral("2500"));
        if (sheet == "typed date") s->type(F::GTarih, QStringLiteral("1503"));
        if (sheet == "only tabbed through the wage") {
            s->type(F::ESUCRET, {});
            s->tab();
        }
        if (sheet == "cleared") QTest::mouseClick(s->find<QPushButton>("Command4"), Qt::LeftButton);
        if (sheet == "calculated" || sheet == "printed" || sheet.startsWith("printout")) {
            Calculate(*s);
            QCOMPARE(s->boxes.take().size(), 1);
        }
        RecordedMessages fills;
        if (sheet == "printed") s->openPrintouts = [](QWidget*, const ui::PrintoutsRequest&) { return true; };
        if (sheet.startsWith("printout")) {
            s->openPrintouts = [&](QWidget* parent, const ui::PrintoutsRequest& request) {
                return ui::ShowPrintouts(s->core.record(), s->dir.path().toStdString(), {}, fills, parent,
                                         request.warning);
            };
            WhenModal<QDialog>([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_K, Qt::AltModifier); });
        }
        if (sheet == "printed" || sheet.startsWith("printout")) {
            QTest::mouseClick(s->find<QPushButton>("Command3"), Qt::LeftButton);
            s->activate();
        }
        s->boxes.press = answer;
        if (how == "Escape") QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        if (how == "Alt+K") {
            pamerol::testing::ClickOf click(s->find<QPushButton>("Command1"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
            QVERIFY(click.wait());
        }
        if (how == "Alt+F4") s->window.close();
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            QCOMPARE(boxes[0].text, question);
            QCOMPARE(boxes[0].buttons.mid(0, 2), (QStringList{"Evet", "Hayır"}));
            QCOMPARE(boxes[0].defaultButton, QStringLiteral("Hayır"));
        }
        QCOMPARE(s->window.isVisible(), !closes);
        if (sheet == "typed wage" && !closes) QCOMPARE(s->shown(F::ESUCRET), QStringLiteral("2500"));
        QVERIFY(fills.entries.empty());
    }

    // After "&Boşalt" the printout dialog names everything of the employee that was not touched since
    // and still holds something of the case before; "Yeni Personel" leaves nothing to name.
    void printoutsWarnOfWhatIsLeftFromAnEarlierCase_data() {
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("warning"); // what the warning names; empty: none
        QTest::addRow("first case") << ""
                                    << "";
        QTest::addRow("cleared, only the name retyped")
            << "Boşalt, name"
            << "SSK No, T.C. Kimlik No, Kıdem Tazminatı İbranameye Dahil Et (işaretsiz)";
        QTest::addRow("cleared, everything retyped") << "Boşalt, all"
                                                     << "";
        QTest::addRow("Yeni Personel") << "Yeni Personel"
                                       << "";
    }
    void printoutsWarnOfWhatIsLeftFromAnEarlierCase() {
        QFETCH(QString, then);
        QFETCH(QString, warning);
        auto* tabs = s->window.findChild<QTabWidget*>();
        tabs->setCurrentIndex(4);
        s->type(F::txtAdiSoyadi, {});
        s->edit(F::txtAdiSoyadi)->insert(QStringLiteral("Ayşe Yılmaz")); // as typed (keyClicks is ASCII only)
        s->type(F::txtSSkNoPer, QStringLiteral("34-0077"));
        s->type(F::txtTcKNo, QStringLiteral("10000000146"));
        tabs->setCurrentIndex(0);
        pamerol::testing::ClickBox(s->find<QCheckBox>("Check1"));
        if (then.startsWith("Boşalt")) QTest::mouseClick(s->find<QPushButton>("Command4"), Qt::LeftButton);
        if (then == "Yeni Personel")
            QTest::mouseClick(s->find<QPushButton>("cmdYeniPersonel"), Qt::LeftButton);
        tabs->setCurrentIndex(4);
        if (then.contains("name") || then.contains("all")) s->type(F::txtAdiSoyadi, QStringLiteral("Can"));
        if (then.contains("all")) {
            s->type(F::txtSSkNoPer, QStringLiteral("06-1"));
            s->type(F::txtTcKNo, QStringLiteral("19191919190"));
            tabs->setCurrentIndex(0);
            pamerol::testing::ClickBox(s->find<QCheckBox>("Check1"));
        }
        Calculate(*s);
        QCOMPARE(s->boxes.take().size(), 1);
        RecordedMessages fills;
        s->openPrintouts = [&](QWidget* parent, const ui::PrintoutsRequest& request) {
            return ui::ShowPrintouts(s->core.record(), s->dir.path().toStdString(), {}, fills, parent,
                                     request.warning, {}, request.confirmed);
        };
        // Shown until confirmed; "&Yazdır" is not the default button meanwhile, and Enter prints nothing.
        QStringList seen;
        for (int opening = 0; opening < 2; ++opening) {
            WhenModal<QDialog>([&](QDialog* dialog) {
                auto* line = dialog->findChild<QLabel*>(QStringLiteral("uyari"));
                auto* print = dialog->findChild<QPushButton*>(QStringLiteral("cmdYazdir"));
                seen << (line && line->isVisible() ? line->text() : QString())
                     << QString::number(print->isDefault());
                if (line && line->isVisible()) {
                    QTest::keyClick(dialog->findChild<QRadioButton*>(QStringLiteral("Option1_0")),
                                    Qt::Key_Return);
                    pamerol::testing::ClickOf click(
                        dialog->findChild<QPushButton*>(QStringLiteral("cmdOnayla")));
                    QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);
                    click.wait();
                }
                seen << QString::number(print->isDefault());
                dialog->reject();
            });
            QTest::mouseClick(s->find<QPushButton>("Command3"), Qt::LeftButton);
            s->activate();
        }
        QVERIFY(fills.entries.empty()); // Enter printed nothing while the warning stood
        const QString line = warning.isEmpty()
                                 ? QString()
                                 : QStringLiteral("Önceki hesaptan kalan bilgiler: ") + warning +
                                       QStringLiteral(". Bu kişiye aitse onaylayın, değilse "
                                                      "düzeltin ya da \"Yeni Personel\" ile temizleyin.");
        if (warning.isEmpty()) return;
        QCOMPARE(seen, (QStringList{line, "0", "1", QString(), "1", "1"}));
    }

    void emptyReleaseLetterAsksFirst() {
        Calculate(*s);
        QCOMPARE(s->boxes.take().size(), 1);
        s->window.findChild<QTabWidget*>()->setCurrentIndex(0);
        pamerol::testing::ClickBox(s->find<QCheckBox>("Check1"));
        s->window.findChild<QTabWidget*>()->setCurrentIndex(1);
        pamerol::testing::ClickBox(s->find<QCheckBox>("Check2"));
        RecordedMessages fills;
        s->openPrintouts = [&](QWidget* parent, const ui::PrintoutsRequest& request) {
            return ui::ShowPrintouts(s->core.record(), s->dir.path().toStdString(), {}, fills, parent,
                                     request.warning);
        };
        s->boxes.press = QStringLiteral("Hayır");
        WhenModal<QDialog>([](QDialog* dialog) {
            pamerol::testing::ClickBox(dialog->findChild<QRadioButton*>(QStringLiteral("Option1_2")));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdYazdir")), Qt::LeftButton);
            dialog->reject();
        });
        QTest::mouseClick(s->find<QPushButton>("Command3"), Qt::LeftButton);
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.startsWith(QStringLiteral("İbranamenin toplamı 0,00")),
                 qPrintable(boxes[0].text));
        QVERIFY(fills.entries.empty()); // "Hayır": nothing filled
    }

    // "Çıkış Tarihine Göre Getir" (Alt+T on the "Sabitler" tab).
    void legalFiguresOfTheExitDate_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("exit");    // typed on the sheet, dates mode; empty: premium-day mode
        QTest::addColumn<QString>("asked");   // typed into the date dialog; empty: no dialog expected
        QTest::addColumn<QString>("message"); // the start of the one message box
        QTest::addColumn<QString>("tav");     // TAV afterwards, on the sheet and in the settings file
        const QByteArray table(kTable);
        const QString filled = QStringLiteral("15.06.2023 tarihinde geçerli yasal değerler yazıldı: ");
        QTest::addRow("exit date on the sheet") << table << "15062023"
                                                << "" << filled << "19982,83";
        QTest::addRow("premium-day mode asks") << table << ""
                                               << "15062023" << filled << "19982,83";
        QTest::addRow("premium-day mode, no date given") << table << ""
                                                         << "cancel"
                                                         << ""
                                                         << "2030,19";
        QTest::addRow("no exit date") << table << "__.__.____"
                                      << ""
                                      << "Yasal değerler çıkış tarihine göre getirilir"
                                      << "2030,19";
        QTest::addRow("malformed row") << QByteArray(kTable).replace("1960,69", "1.960,69x") << "15062023"
                                       << ""
                                       << "Yasal değerler tablosu okunamadı: "
                                       << "2030,19";
    }
    void legalFiguresOfTheExitDate() {
        QFETCH(QByteArray, table);
        QFETCH(QString, exit);
        QFETCH(QString, asked);
        QFETCH(QString, message);
        QFETCH(QString, tav);
        GiveTable(*s, table);
        YasalOtomatikOff(*s); // the clerk's own figures, fetched by the command
        s->boxes.press = QStringLiteral("Evet");
        if (exit.isEmpty()) {
            pamerol::testing::ClickBox(s->find<QRadioButton>("Option2"));
        } else {
            Calculate(*s, exit);
            (void)s->boxes.take();
        }
        bool offered = false, nonDateRefused = false;
        if (!asked.isEmpty())
            WhenModal<QDialog>([&](QDialog* dialog) {
                offered = dialog->objectName() == QStringLiteral("cikisTarihiSor");
                QFont title = dialog->font();
                title.setBold(true);
                QVERIFY(dialog->width() > QFontMetrics(title).horizontalAdvance(dialog->windowTitle()));
                auto* date = dialog->findChild<QLineEdit*>(QStringLiteral("tarih"));
                QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                date->selectAll();
                QTest::keyClicks(date, QStringLiteral("31022023"));
                nonDateRefused = !ok->isEnabled();
                if (asked == "cancel") return dialog->reject();
                date->selectAll();
                QTest::keyClicks(date, asked);
                ok->click();
            });
        s->window.findChild<QTabWidget*>()->setCurrentIndex(2);
        auto* button = s->find<QPushButton>("cmdYasalDegerler");
        bool done = false; // the window's own handler runs first, to its end
        connect(button, &QPushButton::clicked, this, [&] { done = true; });
        s->edit(F::DVOR)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(done); // an access key clicks a moment later
        QCOMPARE(offered, !asked.isEmpty());
        QCOMPARE(nonDateRefused, !asked.isEmpty());
        const auto boxes = s->boxes.take();
        const bool wrote = tav != QStringLiteral("2030,19");
        // What was fetched, then whether to keep it as the clerk's settings.
        QCOMPARE(boxes.size(), message.isEmpty() ? 0 : wrote ? 2 : 1);
        if (!message.isEmpty()) QVERIFY2(boxes[0].text.startsWith(message), qPrintable(boxes[0].text));
        if (wrote) QCOMPARE(boxes[1].text, QStringLiteral("Bu değerler ayarlarınıza kaydedilsin mi?"));
        if (wrote) QCOMPARE(boxes[1].defaultButton, QStringLiteral("Hayır"));
        QCOMPARE(Q(s->text(F::TAV)), tav);
        // Shown grouped as 12.345,67; kept and saved as the table or the clerk wrote it.
        QCOMPARE(s->shown(F::TAV), Q(ApplyAmountPattern(tav.toStdString())));
        QVERIFY(s->settingsFile().contains(QStringLiteral("Oran3=") + tav));
        if (!wrote) return;
        // As typed: the results are gone, the figures saved; what the table lacks stays and is named.
        QCOMPARE(s->shown(F::NET), QString());
        QVERIFY(!s->find<QPushButton>("Command3")->isEnabled());
        const QStringList shown{s->shown(F::DVOR), s->shown(F::KGN), s->shown(F::O5),
                                s->shown(F::VD5),  s->shown(F::DL1), s->shown(F::DL4)};
        QCOMPARE(shown, (QStringList{"7,59", "30", "40", "999.999.999,00", "15", "57"}));
        QVERIFY(s->settingsFile().contains(QStringLiteral("Oran5=40")));
        // Captions, never field codes.
        QVERIFY2(
            boxes[0].text.endsWith(QStringLiteral("(alanda yazılı değer kaldı): Kıdem Günü (1 Yıl İçin).")),
            qPrintable(boxes[0].text));
        QVERIFY2(boxes[0].text.contains(QStringLiteral("1–5. dilimlerin gelir vergisi oranları")),
                 qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    }

    // With "Yasal değerleri çıkış tarihine göre al" on (the default beside a table), each case takes the
    // figures of its own exit date, never an earlier case's, and none of them is saved; a figure typed
    // for the case, a contract's higher notice days and a gap in the table are kept and named.
    void legalFiguresTakenByCase() {
        s->core.record().write(F::DL4, "70"); // a contract's notice days, above the law's 57
        GiveTable(*s, kTable);
        const QString settings = s->settingsFile();
        // Fetch the 2007 figures for an old case without keeping them, then clear and take a 2023 case.
        Calculate(*s, QStringLiteral("14092007"));
        (void)s->boxes.take();
        s->window.findChild<QTabWidget*>()->setCurrentIndex(2);
        s->find<QPushButton>("cmdYasalDegerler")->click();
        QCOMPARE(s->boxes.take().size(), 2); // what was fetched, then "kaydedilsin mi?" answered no
        s->activate();
        QTest::mouseClick(s->find<QPushButton>("Command4"), Qt::LeftButton);
        Calculate(*s, QStringLiteral("15062023"));
        auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        const QStringList used{Q(s->text(F::TAV)), Q(s->text(F::DVOR)), Q(s->text(F::VD1)),
                               Q(s->text(F::DL1)), Q(s->text(F::DL4))};
        QCOMPARE(used, (QStringList{"19982,83", "7,59", "70000", "15", "70"}));
        QCOMPARE(s->shown(F::HIGUNU), QStringLiteral("70"));
        // The table lacks the severance days: the clerk's 30 is used, and the box says so.
        QCOMPARE(boxes[0].icon, QMessageBox::Warning);
        QVERIFY2(boxes[0].text.contains(QStringLiteral("\n\nÇıkış tarihindeki (15.06.2023) Kıdem Günü (1 Yıl "
                                                       "İçin) tabloda yok; hesapta 30 kullanıldı.")),
                 qPrintable(boxes[0].text));
        QCOMPARE(s->settingsFile(), settings);

        // A ceiling typed for the case is kept, used and named.
        s->type(F::TAV, QStringLiteral("25000"));
        QTest::mouseClick(s->find<QPushButton>("Command2"), Qt::LeftButton);
        s->activate();
        boxes = s->boxes.take();
        QCOMPARE(Q(s->text(F::TAV)), QStringLiteral("25000"));
        QVERIFY2(
            boxes[0].text.contains(QStringLiteral(
                "Çıkış tarihinde (15.06.2023) geçerli Kıdem Tazminatı Tavanı 19.982,83; hesapta 25.000,00")),
            qPrintable(boxes[0].text));

        // Another exit date: the typed ceiling gives way; the table lacks 2021's, so the clerk's is used.
        Calculate(*s, QStringLiteral("15122021"));
        boxes = s->boxes.take();
        QCOMPARE(Q(s->text(F::TAV)), QStringLiteral("2030,19"));
        QVERIFY2(
            boxes[0].text.contains(QStringLiteral("Çıkış tarihindeki (15.12.2021) Kıdem Tazminatı Tavanı "
                                                  "tabloda yok; hesapta 2.030,19 kullanıldı.")),
            qPrintable(boxes[0].text));
        // Closing saves the clerk's own figures: the contract's notice days, no figure of a case.
        s->boxes.press = QStringLiteral("Evet");
        s->window.close();
        (void)s->boxes.take(); // the calculated case was not printed: closing asked
        QCOMPARE(s->settingsFile(),
                 QString(settings).replace(QStringLiteral("37=56"), QStringLiteral("37=70")));
    }

    // With the switch off, the clerk's figures are used and each one that is not the law of the exit date
    // is named by its caption in the result box, on the tab and in the printout dialog, which asks before
    // printing.
    void legalFiguresOfTheClerkNamed() {
        GiveTable(*s, kTable);
        YasalOtomatikOff(*s);
        Calculate(*s, QStringLiteral("14092007"));
        const auto boxes = s->boxes.take();
        QCOMPARE(boxes.size(), 1);
        const QString tab = s->find<QLabel>("tavanUyarisi")->text();
        QString dialog;
        s->openPrintouts = [&](QWidget*, const ui::PrintoutsRequest& request) {
            dialog = request.legalWarning;
            return false;
        };
        QTest::mouseClick(s->find<QPushButton>("Command3"), Qt::LeftButton);
        for (const QString& caption :
             {QStringLiteral("Damga Vergisi Oranı (Binde) 7,59; hesapta 6"),
              QStringLiteral("Gelir Vergisi 1. Dilim Sınırı 70.000,00; hesapta 7.500,00"),
              QStringLiteral("Gelir Vergisi 5. Dilim Oranı 40; hesapta 35"),
              QStringLiteral("37 Ay Üzeri İçin 57; hesapta 56")})
            for (const QString& where : {boxes[0].text, tab, dialog})
                QVERIFY2(where.contains(caption), qPrintable(where));
        QVERIFY(!dialog.contains(QStringLiteral("Tavanı"))); // 2.030,19 is the ceiling of the exit date
        // "Yazdır" asks first, "Hayır" the default.
        RecordedMessages fills;
        frmRaporSec core(s->core.record(), s->dir.path().toStdString(), {}, fills);
        ui::RaporSecWindow window(core, {}, &s->window, {}, dialog);
        window.show();
        s->boxes.press = QStringLiteral("Hayır");
        window.findChild<QPushButton*>(QStringLiteral("cmdYazdir"))->click();
        const auto asked = s->boxes.take();
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].text.startsWith(QStringLiteral("Yasal değerlerde uyarı var: ")));
        QVERIFY(asked[0].text.endsWith(QStringLiteral("Yine de yazdırılsın mı?")));
        QCOMPARE(asked[0].defaultButton, QStringLiteral("Hayır"));
        QVERIFY(fills.entries.empty());
    }

    // The ceiling warning under the ceiling figure and the minimum-wage note under the notice results; no
    // ceiling warning where no severance is due.
    void notesBesideTheResults_data() {
        QTest::addColumn<QString>("exit");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<bool>("note");
        QTest::addColumn<QString>("reason");
        QTest::addRow("ceiling of the exit date") << "14092007"
                                                  << "" << false << "";
        QTest::addRow("ceiling of the half-year before")
            << "14032007"
            << "Çıkış tarihinde (14.03.2007) geçerli Kıdem Tazminatı Tavanı 1.960,69; hesapta 2.030,19 "
               "kullanıldı."
            << false << "";
        QTest::addRow("the same, resigned: no severance due") << "14032007"
                                                              << "" << false << "istifa";
        QTest::addRow("2021, no ceiling in the table") << "15122021"
                                                       << "Çıkış tarihindeki (15.12.2021) Kıdem Tazminatı "
                                                          "Tavanı tabloda yok; hesapta 2.030,19 kullanıldı."
                                                       << false << "";
        QTest::addRow("2023") << "15062023"
                              << "Çıkış tarihinde (15.06.2023) geçerli Kıdem Tazminatı Tavanı 19.982,83; "
                                 "hesapta 2.030,19 kullanıldı."
                              << true << "";
    }
    void notesBesideTheResults() {
        QFETCH(QString, exit);
        QFETCH(QString, warning);
        QFETCH(bool, note);
        QFETCH(QString, reason);
        GiveTable(*s, kTable);
        YasalOtomatikOff(*s);
        auto* tabs = s->window.findChild<QTabWidget*>();
        if (!reason.isEmpty()) {
            auto* choice = s->find<QComboBox>("FESIH");
            choice->setCurrentIndex(
                static_cast<int>(TerminationReasonOf(reason.toStdString()) - kTerminationReasons.data()));
        }
        auto* ceiling = s->find<QLabel>("tavanUyarisi");
        auto* minimumWage = s->find<QLabel>("asgariUcretNotu");
        QVERIFY(tabs->widget(0)->isAncestorOf(ceiling) && tabs->widget(1)->isAncestorOf(minimumWage));
        Calculate(*s, exit);
        QCOMPARE(s->boxes.take().size(), 1);
        QCOMPARE(s->text(F::TAV), "2030,19"); // the calculation keeps the clerk's ceiling
        // The ceiling's sentence among the warnings (the test table lacks the severance days too).
        const QString shown = !ceiling->isHidden() ? ceiling->text() : QString();
        if (warning.isEmpty())
            QVERIFY2(!shown.contains(QStringLiteral("Tavanı")), qPrintable(shown));
        else
            QVERIFY2(shown.contains(warning), qPrintable(shown));
        QCOMPARE(!minimumWage->isHidden(), note);
        if (note)
            QVERIFY(minimumWage->text().startsWith(QStringLiteral("Asgari ücret istisnası uygulanmadı")));
        QTest::mouseClick(s->find<QPushButton>("Command4"), Qt::LeftButton);
        QVERIFY(ceiling->isHidden() && minimumWage->isHidden());
    }

    // "Nasıl Hesaplandı?" (Alt+E) shows the statement of the results on screen, read-only, and only while
    // results are shown.
    void statementOfTheResults() {
        auto* button = s->find<QPushButton>("cmdAciklama");
        QVERIFY(button && !button->isEnabled());
        GiveTable(*s, kTable);
        YasalOtomatikOff(*s);
        Calculate(*s);
        QCOMPARE(s->boxes.take().size(), 1);
        QVERIFY(button->isEnabled());
        QString shown;
        bool readOnly = false;
        WhenModal<QDialog>([&](QDialog* dialog) {
            auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("aciklamaMetni"));
            QVERIFY(text);
            shown = text->toPlainText();
            readOnly = text->isReadOnly();
            dialog->findChild<QPushButton*>(QStringLiteral("cmdKopyala"))->click();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(readOnly); // an access key presses the button after a moment
        QCOMPARE(QApplication::clipboard()->text(), shown);
        // The tabs' figures, each at the end of the line that reaches it.
        for (F f : {F::TGUNU, F::BKTAZ, F::DVER, F::NET, F::BITZM, F::IGVER, F::IDVER, F::ITAZM})
            QVERIFY2(shown.contains(QStringLiteral("= ") + s->shown(f) + u'\n'), qPrintable(s->shown(f)));
        QVERIFY(shown.contains(QStringLiteral("Kıdem tazminatı: brüt\n")));
        // The figures came from the settings file; the test table has the exit date's ceiling but not the
        // severance days.
        QVERIFY(shown.contains(
            QStringLiteral("Yasal değer: Kıdem Tazminatı Tavanı\n    Kullanılan: 2.030,19\n    "
                           "Dönem: 01.07.2007 – 31.12.2007\n    Kaynaklar: k\n    = ayar dosyasından")));
        QVERIFY(shown.contains(QStringLiteral("Yasal değer: Kıdem Günü (1 Yıl İçin)\n    Kullanılan: 30\n    "
                                              "Yürürlükteki: tabloda yok\n    = ayar dosyasından")));
        QTest::mouseClick(s->find<QPushButton>("Command4"), Qt::LeftButton);
        QVERIFY(!button->isEnabled());
    }

    void minimumSizeFitsSmallScreens() {
        // 1366×768 at 100 %, and 1366×900 at 150 % (910×600 in the window's units), with room left for the
        // title bar and a panel.
        const QSize least = s->window.minimumSizeHint();
        const QByteArray size = QByteArray::number(least.width()) + "x" + QByteArray::number(least.height());
        QVERIFY2(least.width() <= 1366 && least.height() <= 768 - 80, size.constData());
        QVERIFY2(least.width() <= 910 && least.height() <= 600 - 60, size.constData());
    }

    void printoutsOpenModallyWithAFreshChoice() {
        Calculate(*s);
        QCOMPARE(s->boxes.take().size(), 1);
        RecordedMessages fills;
        s->openPrintouts = [&](QWidget* parent, const ui::PrintoutsRequest& request) {
            return ui::ShowPrintouts(s->core.record(), s->dir.path().toStdString(), {}, fills, parent,
                                     request.warning);
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
