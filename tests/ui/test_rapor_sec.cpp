// SPDX-License-Identifier: GPL-3.0-or-later
// The printout dialog: which fill each choice runs, that the dialog stays open after printing, and that a
// fill's message stands over the dialog.
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "printouts/recording_spreadsheet.h"
#include "tests/printouts/case.h"
#include "ui/qtmessages.h"
#include "ui/raporsecwindow.h"
#include "ui_testing.h"

using namespace pamerol;

class RaporSecTest : public QObject {
    Q_OBJECT

    struct Dialog {
        QTemporaryDir dir;
        testing::ModalBoxes boxes;
        ui::QtMessages messages{QStringLiteral("Kıdem ve İhbar Tazminatı Hesabı")};
        Record record = pamerol::testing::CalculatedCase();
        std::vector<std::string> opened;
        frmRaporSec core{record, dir.path().toStdString(),
                         [this] {
                             auto sheet = std::make_unique<RecordingSpreadsheet>();
                             sheet->failWhen = [this](const SpreadsheetCall& c) {
                                 if (c.op == SpreadsheetCall::Op::Open) opened.push_back(c.first);
                                 return false;
                             };
                             return sheet;
                         },
                         messages};
        ui::RaporSecWindow window{core};

        explicit Dialog(bool withTemplates) {
            for (const char* name : {"Velkara.xls", "Ibraname.xls", "Aciklama.xls"}) {
                if (!withTemplates) continue;
                QFile file(dir.filePath(QString::fromLatin1(name)));
                if (file.open(QIODevice::WriteOnly)) file.write("template");
            }
            window.show();
            (void)QTest::qWaitForWindowExposed(&window);
        }
        QRadioButton* option(int i) {
            return window.findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(i));
        }
        void print() {
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdYazdir")), Qt::LeftButton);
        }
    };

  private slots:
    void printsTheChosenPaper_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<bool>("severanceSheet");
        QTest::addRow("Kıdem Bordrosu") << 0 << "Velkara1.xls" << true;
        QTest::addRow("İhbar Bordrosu") << 1 << "Velkara1.xls" << false;
        QTest::addRow("İbraname") << 2 << "Ibraname1.xls" << true;
        QTest::addRow("Hesap Açıklaması") << 3 << "Aciklama1.xls" << true;
        QTest::addRow("İzin Bordrosu") << 4 << "Velkara1.xls" << true; // of a case with a leave pay
    }
    void printsTheChosenPaper() {
        QFETCH(int, choice);
        QFETCH(QString, workbook);
        QFETCH(bool, severanceSheet);
        Dialog d(true);
        if (choice == frmRaporSec::AciklamaSecimi || choice == frmRaporSec::IzinBordrosuSecimi ||
            choice == frmRaporSec::IbranameSecimi)
            d.record = pamerol::testing::CalculatedCase();
        QCOMPARE(d.window.windowTitle(), QStringLiteral("Kıdem İhbar Dökümleri"));
        QVERIFY(d.option(0)->isChecked());
        testing::ClickBox(d.option(choice));
        d.print();
        d.print(); // each print fills the paper again
        QCOMPARE(d.opened.size(), size_t{2});
        QCOMPARE(QString::fromStdString(d.opened.back()), d.dir.filePath(workbook));
        QCOMPARE(d.core.KidemBordrosu(), severanceSheet);
        QVERIFY(d.window.isVisible());
        QVERIFY(d.option(choice)->isChecked());
        QVERIFY(d.boxes.take().isEmpty());
    }

    void fillMessageStandsOverTheDialog() {
        Dialog d(false); // no templates: the fill stops with a message naming the file
        d.print();
        const auto boxes = d.boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(QStringLiteral("Velkara.xls")), qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].parent, &d.window);
        QVERIFY(d.window.isVisible());
        QVERIFY(d.opened.empty());
    }

    // A payroll sheet with nothing due is not printed: the dialog says why, over itself, and stays open.
    void paperNotDueSaysWhy_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("said");
        QTest::addRow("under one year") << 0 << "01.03.2007"
                                        << ""
                                        << "hizmet süresi bir yıldan az";
        QTest::addRow("resignation, severance") << 0 << "15.03.2004"
                                                << "istifa"
                                                << "Hak edilmedi — İstifa";
        QTest::addRow("resignation, notice") << 1 << "15.03.2004"
                                             << "istifa"
                                             << "İhbar tazminatı: ";
    }
    void paperNotDueSaysWhy() {
        QFETCH(int, choice);
        QFETCH(QString, entry);
        QFETCH(QString, reason);
        QFETCH(QString, said);
        Dialog d(true);
        d.record.write(Field::GTarih, entry.toStdString());
        d.record.write(Field::FESIH, reason.toStdString());
        RecordedMessages calculated;
        Hesapla(d.record, calculated);
        testing::ClickBox(d.option(choice));
        d.print();
        const auto boxes = d.boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(said), qPrintable(boxes[0].text));
        QVERIFY2(boxes[0].text.contains(QStringLiteral("yazdırılmadı")), qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].parent, &d.window);
        QVERIFY(d.opened.empty());
        QVERIFY(d.window.isVisible());
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("prints");
        QTest::addRow("Escape") << int(Qt::Key_Escape) << "Option1_1" << true << false;
        QTest::addRow("Enter on an option prints") << int(Qt::Key_Return) << "Option1_1" << false << true;
        QTest::addRow("keypad Enter on an option prints")
            << int(Qt::Key_Enter) << "Option1_2" << false << true;
        QTest::addRow("Enter on Kapat closes") << int(Qt::Key_Return) << "cmdKapat" << true << false;
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(bool, closes);
        QFETCH(bool, prints);
        Dialog d(true);
        auto* target = d.window.findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(d.window.isVisible(), !closes);
        QCOMPARE(d.opened.size(), size_t{prints ? 1u : 0u});
        QVERIFY(d.boxes.take().isEmpty());
    }

    // A release letter the law would make void gets a line in the dialog; one dated within a month of the
    // exit is printed only when the clerk answers "Evet" to the law's word ("Hayır" is the default), one
    // without its dates not at all.
    void dateWarning_data() {
        QTest::addColumn<QString>("exit");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("warning"); // a part of the line; empty: no line
        QTest::addColumn<QString>("press");   // the answer to the question, if one is asked
        QTest::addColumn<bool>("printed");
        const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
        QTest::addRow("exit today, printed today") << today << ""
                                                   << "kesin olarak hükümsüzdür"
                                                   << "Hayır" << false;
        QTest::addRow("within a month, the clerk says so") << today << ""
                                                           << "kesin olarak hükümsüzdür"
                                                           << "Evet" << true;
        QTest::addRow("exit long ago") << "14.09.2007"
                                       << ""
                                       << ""
                                       << "" << true;
        QTest::addRow("letter dated a week after the exit") << "14.09.2007"
                                                            << "21.09.2007"
                                                            << "bir ay geçmeden"
                                                            << "Hayır" << false;
        QTest::addRow("no exit date") << "__.__.____"
                                      << ""
                                      << "çıkış tarihlerini yazın"
                                      << "Evet" << false;
    }
    void dateWarning() {
        QFETCH(QString, exit);
        QFETCH(QString, letter);
        QFETCH(QString, warning);
        QFETCH(QString, press);
        QFETCH(bool, printed);
        Dialog d(true);
        d.record = pamerol::testing::CalculatedCase();
        d.record.write(Field::CTarih, exit.toStdString());
        d.record.write(Field::txtIbranameTarihi, letter.toStdString());
        ui::RaporSecWindow window{d.core};
        auto* line = window.findChild<QLabel*>(QStringLiteral("ibranameTarihiUyarisi"));
        QCOMPARE(line != nullptr, !warning.isEmpty());
        if (line) QVERIFY2(line->text().contains(warning), qPrintable(line->text()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        testing::ClickBox(window.findChild<QRadioButton*>(QStringLiteral("Option1_2")));
        d.boxes.press = press;
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdYazdir")), Qt::LeftButton);
        QCOMPARE(d.opened.size(), size_t{printed ? 1u : 0u});
        const auto boxes = d.boxes.take();
        if (exit.startsWith(QLatin1Char('_'))) { // refused by the fill, which says why
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].text.contains(warning), qPrintable(boxes[0].text));
        } else if (!warning.isEmpty()) {
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].text.contains(QStringLiteral("TBK m. 420")), qPrintable(boxes[0].text));
            QCOMPARE(boxes[0].defaultButton, QStringLiteral("Hayır"));
        } else {
            QVERIFY(boxes.isEmpty());
        }
    }
};

QTEST_MAIN(RaporSecTest)
#include "test_rapor_sec.moc"
