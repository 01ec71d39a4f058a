// SPDX-License-Identifier: GPL-3.0-or-later
// The archive in the window: a printed case is stored and found again through "Arşiv", reopened exactly as
// stored, its figures never saved over the clerk's settings, and an archive that cannot be written stops
// no paper.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <memory>

#include "archive/arsiv_yolu.h"
#include "archive/case_keeper.h"
#include "base/conversions.h"
#include "printouts/recording_spreadsheet.h"
#include "sheet_fixture.h"
#include "ui/arsivwindow.h"
#include "ui/raporsecwindow.h"

using namespace pamerol;
using pamerol::testing::WhenModal;
using F = pamerol::Field;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The sheet's window with the archive beside its settings file and printouts that only record.
struct Desk {
    testing::Sheet s;
    CaseKeeper keeper{[this] { return ArsivYolu(s.core.iniYolu()); }, s.messages};
    std::vector<std::string> opened; // the workbooks the fills opened

    explicit Desk(const std::string& settings = testing::kSettings) : s(settings) {
        for (const char* name : {"Velkara.xls", "Ibraname.xls"}) {
            QFile file(s.dir.filePath(QString::fromLatin1(name)));
            if (file.open(QIODevice::WriteOnly)) file.write("template");
        }
        s.openPrintouts = [this](QWidget* parent, const ui::PrintoutsRequest& request) {
            const auto recording = [this] {
                auto sheet = std::make_unique<RecordingSpreadsheet>();
                sheet->failWhen = [this](const SpreadsheetCall& c) {
                    if (c.op == SpreadsheetCall::Op::Open) opened.push_back(c.first);
                    return false;
                };
                return std::unique_ptr<Spreadsheet>(std::move(sheet));
            };
            return ui::ShowPrintouts(
                s.core.record(), s.dir.path().toStdString(), recording, s.messages, parent, request.warning,
                [this](int secim) {
                    keeper.paperFilled(s.core.record(), kPaperNames.at(static_cast<size_t>(secim)));
                },
                request.confirmed);
        };
        s.window.setArchive(&keeper);
    }

    void click(const char* button) {
        QTest::mouseClick(s.find<QPushButton>(button), Qt::LeftButton);
        s.activate(); // the offscreen platform does not hand activation back when a dialog closes
    }
    // A case that earns both payments, with the employee's and the employer's particulars.
    void calculate() {
        Record& r = s.core.record();
        r.write(F::txtAdiSoyadi, "Işıl Çelik");
        r.write(F::txtTcKNo, "12345678901");
        r.write(F::txtSSkNoPer, "34-0077");
        r.write(F::txtUnvani, "Örnek İşletme A.Ş.");
        s.type(F::GTarih, QStringLiteral("15032004"));
        s.type(F::CTarih, QStringLiteral("14092007"));
        s.type(F::ESUCRET, QStringLiteral("2000"));
        click("Command2");
        QCOMPARE(s.boxes.take().size(), 1); // the calculation's own box
    }
    // Fills the chosen papers (0 severance, 1 notice, 2 release letter) through "&Dökümler".
    void print(std::vector<int> choices) {
        WhenModal<ui::RaporSecWindow>([choices](ui::RaporSecWindow* dialog) {
            for (int c : choices) {
                testing::ClickBox(dialog->findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(c)));
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdYazdir")),
                                  Qt::LeftButton);
            }
            dialog->reject();
        });
        click("Command3");
    }
    // Opens "Arşiv", runs fn in it, and returns once it has closed.
    void inArchive(const std::function<void(ui::ArsivWindow*)>& fn) {
        WhenModal<ui::ArsivWindow>([fn](ui::ArsivWindow* dialog) {
            dialog->activateWindow();
            (void)QTest::qWaitForWindowActive(dialog);
            fn(dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        click("cmdArsiv");
    }
    std::vector<ArchiveRow> stored() { return keeper.archive().value()->search({}).value(); }
};

void Reopen(ui::ArsivWindow* dialog) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdAc")), Qt::LeftButton);
}

// What the window shows in a field, as the record keeps it (the ceiling and the bracket limits, shown
// grouped, as the texts they were shown for).
std::string Shown(const Desk& d, F f) {
    QWidget* w = d.s.window.fieldWidget(f);
    if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        return text->toPlainText().replace(u'\n', QStringLiteral("\r\n")).toStdString();
    if (auto* choice = qobject_cast<QComboBox*>(w)) return choice->currentData().toString().toStdString();
    auto* edit = static_cast<QLineEdit*>(w);
    const std::string shown =
        (edit->inputMask().isEmpty() ? edit->text() : edit->displayText()).toStdString();
    const std::string& kept = d.s.text(f);
    const bool grouped = Info(f).tab == Tab::Sabitler && Info(f).kind == Kind::Amount;
    return grouped && shown == ApplyAmountPattern(kept) ? kept : shown;
}

QString SettingsKey(const QString& file, const QString& section, const QString& key) {
    const qsizetype at = file.indexOf(QStringLiteral("[%1]").arg(section));
    const qsizetype start = file.indexOf(key + u'=', at);
    if (at < 0 || start < 0) return QStringLiteral("<none>");
    const qsizetype value = start + key.size() + 1;
    return file.mid(value, file.indexOf(u'\r', value) - value);
}

} // namespace

class ArsivWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void printedCaseIsFoundAndReopenedAsStored() {
        Desk d;
        d.calculate();
        d.print({2, 0});
        const CaseSheet printed = SheetOf(d.s.core.record());
        auto rows = d.stored();
        QCOMPARE(rows.size(), size_t{1});
        QCOMPARE(rows[0].papers, (std::vector<std::string>{"ibraname", "kidem"}));
        d.click("Command4"); // "&Boşalt"
        QVERIFY(SheetOf(d.s.core.record()) != printed);

        QStringList shown;
        d.inArchive([&](ui::ArsivWindow* dialog) {
            auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tblDosyalar"));
            auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("txtAra"));
            auto* from = dialog->findChild<QLineEdit*>(QStringLiteral("txtCikisBaslangic"));
            from->setText(QStringLiteral("15.09.2007")); // after the exit: nothing
            text->setText(QStringLiteral("IŞIL ÇELİK"));
            dialog->search();
            shown << QString::number(table->rowCount());
            from->setText(QStringLiteral("14.09.2007"));
            dialog->search();
            for (int c = 0; c < table->columnCount() && table->rowCount() == 1; ++c)
                shown << table->item(0, c)->text();
            // The name and the papers stand whole: their columns as wide as they are, and in a tooltip.
            for (int c : {0, 5}) {
                QCOMPARE(table->item(0, c)->toolTip(), table->item(0, c)->text());
                QVERIFY(table->columnWidth(c) >=
                        table->fontMetrics().horizontalAdvance(table->item(0, c)->text()));
            }
            Reopen(dialog);
        });
        QCOMPARE(shown.mid(0, 7),
                 (QStringList{"0", "Işıl Çelik", "12345678901", "14.09.2007", Q(printed.text(F::NET)),
                              Q(printed.text(F::ITAZM)), "İbraname, Kıdem Bordrosu"}));
        QVERIFY(shown.size() == 9 && !shown[7].isEmpty());
        QCOMPARE(shown[8], QString()); // a single case belongs to no run of a table

        // Every field, the mode, the checks and the calculator's working values, on the record and on screen.
        QVERIFY(SheetOf(d.s.core.record()) == printed);
        for (int i = 0; i < kFieldCount; ++i)
            QCOMPARE(Q(Shown(d, static_cast<F>(i))), Q(printed.texts[static_cast<size_t>(i)]));
        QVERIFY(d.s.find<QPushButton>("Command3")->isEnabled());

        // Its papers print again into the same case; a new calculation is a new case.
        d.print({1});
        rows = d.stored();
        QCOMPARE(rows.size(), size_t{1});
        QCOMPARE(rows[0].papers, (std::vector<std::string>{"ibraname", "kidem", "ihbar"}));
        d.click("Command2");
        QCOMPARE(d.s.boxes.take().size(), 1);
        d.print({2});
        QCOMPARE(d.stored().size(), size_t{2});
        QCOMPARE(d.opened.size(), size_t{4});
        QVERIFY(d.s.boxes.take().isEmpty());
    }

    void reopenedFiguresAreNotSaved_data() {
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("ceilingShown"); // TAV after the step; empty: not checked
        QTest::addColumn<QString>("employerShown");
        QTest::addColumn<QString>("ceilingSaved");
        QTest::addRow("close at once") << ""
                                       << "1.500,00"
                                       << "Eski İşveren"
                                       << "2030,19";
        QTest::addRow("leave the stamp duty") << "DVOR"
                                              << "1.500,00"
                                              << "Eski İşveren"
                                              << "2030,19";
        QTest::addRow("clerk types a ceiling") << "TAV"
                                               << ""
                                               << "Eski İşveren"
                                               << "2500";
        QTest::addRow("Hesapla") << "Command2"
                                 << "2030,19"
                                 << "Eski İşveren"
                                 << "2030,19";
        QTest::addRow("Boşalt") << "Command4"
                                << "2030,19"
                                << ""
                                << "2030,19";
    }
    void reopenedFiguresAreNotSaved() {
        QFETCH(QString, then);
        QFETCH(QString, ceilingShown);
        QFETCH(QString, employerShown);
        QFETCH(QString, ceilingSaved);
        auto d = std::make_unique<Desk>();
        d->calculate();
        d->s.core.record().write(F::txtUnvani, ""); // the clerk's settings name no employer
        CaseSheet old = SheetOf(d->s.core.record());
        old.texts[static_cast<size_t>(F::TAV)] = "1.500,00";
        old.texts[static_cast<size_t>(F::O1)] = "10";
        old.texts[static_cast<size_t>(F::txtUnvani)] = "Eski İşveren";
        QVERIFY(d->keeper.archive().value()->store(old));
        d->inArchive(Reopen);
        QCOMPARE(d->s.text(F::TAV), std::string("1.500,00"));

        d->s.window.findChild<QTabWidget*>()->setCurrentIndex(2);
        if (then == "DVOR") {
            d->s.type(F::DVOR, {});
            d->s.tab();
        } else if (then == "TAV") {
            d->s.type(F::TAV, QStringLiteral("2500"));
            d->s.tab();
        } else if (!then.isEmpty()) {
            d->click(then.toLatin1().constData());
        }
        d->s.boxes.take();
        if (!ceilingShown.isEmpty()) QCOMPARE(Q(d->s.text(F::TAV)), ceilingShown);
        QCOMPARE(Q(d->s.text(F::txtUnvani)), employerShown);

        d->s.boxes.press = QStringLiteral("Evet"); // a typed or unprinted case is asked about first
        d->s.window.close();
        QVERIFY(!d->s.window.isVisible());
        for (const auto& box : d->s.boxes.take())
            QVERIFY2(box.text.endsWith(QStringLiteral("Program kapatılsın mı?")), qPrintable(box.text));
        const QString file = d->s.settingsFile();
        QCOMPARE(SettingsKey(file, QStringLiteral("Oranlar"), QStringLiteral("Oran3")), ceilingSaved);
        QCOMPARE(SettingsKey(file, QStringLiteral("GV"), QStringLiteral("Oran1")), QStringLiteral("15"));
        QVERIFY2(!file.contains(QStringLiteral("Eski")), qPrintable(file));
    }

    void archiveThatCannotBeWrittenStopsNoPaper_data() {
        QTest::addColumn<QByteArray>("archiveFile"); // written as arsiv.db beside the settings
        QTest::addColumn<QString>("arsivYolu");
        QTest::addRow("not an archive") << QByteArray("not a database, only text\n") << QString();
        QTest::addRow("folder missing") << QByteArray() << QStringLiteral("yok/arsiv.db");
    }
    void archiveThatCannotBeWrittenStopsNoPaper() {
        QFETCH(QByteArray, archiveFile);
        QFETCH(QString, arsivYolu);
        std::string settings = testing::kSettings;
        if (!arsivYolu.isEmpty()) settings += "[Arsiv]\r\nYol=" + arsivYolu.toStdString() + "\r\n";
        Desk d(settings);
        if (!archiveFile.isEmpty()) {
            QFile db(d.s.dir.filePath(QStringLiteral("arsiv.db")));
            QVERIFY(db.open(QIODevice::WriteOnly));
            db.write(archiveFile);
        }
        d.calculate();
        d.print({2});
        QCOMPARE(d.opened.size(), size_t{1});
        const auto boxes = d.s.boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(QStringLiteral("arsiv.db")), qPrintable(boxes[0].text));
        QVERIFY(d.s.core.record().command3Enabled()); // the sheet still calculates and prints
    }

    // A layoff typed from the keyboard, five people in a row with "Yeni Personel" between them: each case is
    // stored under its own particulars, no printout warns, and a box unticked for one person is ticked
    // again for the next.
    void layoffOfFivePeopleInARow() {
        Desk d;
        struct Person {
            const char *name, *address, *ssk, *tc, *entry, *exit, *wage;
        };
        const Person people[] = {
            {"Ayse Kaya", "Ankara", "34-0001", "10000000146", "15032004", "14092007", "2000"},
            {"Can Demir", "Izmir", "34-0002", "19191919190", "01012005", "31082007", "2500"},
            {"Deniz Ak", "Bursa", "34-0003", "20000000282", "10102003", "30062007", "1800"},
            {"Ece Tan", "Adana", "", "30000000328", "05052006", "05052007", "3000"},
            {"Fikret Oz", "Konya", "34-0005", "40000000464", "01022000", "01092007", "4200"},
        };
        QStringList warnings;
        for (const Person& p : people) {
            pamerol::testing::ClickOf click(d.s.find<QPushButton>("cmdYeniPersonel"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::AltModifier);
            QVERIFY(click.wait());
            d.s.activate();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtAdiSoyadi"));
            for (const char* text : {p.name, p.address, p.ssk, p.tc}) {
                QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            // The release letter's date is left empty (the printing day).
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtIbranameTarihi"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            // The termination reason is left as it is ("Belirtilmedi").
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("FESIH"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            // How the payments were made is left empty.
            for (const char* box : {"txtOdemeTarihi", "txtBanka", "txtIBAN", "txtEkOdemeler"}) {
                QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(box));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("GTarih"));
            for (const char* text : {p.entry, p.exit}) {
                QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            d.s.type(F::ESUCRET, QString::fromLatin1(p.wage));
            QCOMPARE(d.s.core.record().check2(), 1);
            if (&p == &people[2]) { // no notice pay on this one's release letter
                d.s.window.findChild<QTabWidget*>()->setCurrentIndex(1);
                testing::ClickBox(d.s.find<QCheckBox>("Check2"));
            }
            d.click("Command2");
            QCOMPARE(d.s.boxes.take().size(), 1);
            WhenModal<ui::RaporSecWindow>([&warnings](ui::RaporSecWindow* dialog) {
                if (dialog->findChild<QLabel*>(QStringLiteral("uyari"))) warnings << QStringLiteral("warned");
                testing::ClickBox(dialog->findChild<QRadioButton*>(QStringLiteral("Option1_2")));
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdYazdir")),
                                  Qt::LeftButton);
                dialog->reject();
            });
            d.click("Command3");
        }
        QVERIFY(warnings.isEmpty());
        QVERIFY(d.s.boxes.take().isEmpty());
        const std::vector<ArchiveRow> rows = d.stored();
        QCOMPARE(rows.size(), size_t{5});
        for (const ArchiveRow& row : rows) {
            const auto stored = d.keeper.archive().value()->load(row.id);
            QVERIFY(stored);
            const auto& t = stored->sheet.texts;
            const auto it = std::find_if(std::begin(people), std::end(people),
                                         [&](const Person& p) { return row.name == p.name; });
            QVERIFY2(it != std::end(people), row.name.c_str());
            QCOMPARE(Q(row.tcNo), QString::fromLatin1(it->tc));
            QCOMPARE(Q(t[static_cast<size_t>(F::txtSSkNoPer)]), QString::fromLatin1(it->ssk));
            QCOMPARE(Q(t[static_cast<size_t>(F::txtAdres)]), QString::fromLatin1(it->address));
            QCOMPARE(stored->sheet.check2, it == &people[2] ? 0 : 1);
        }
        // Closing after the last printed case asks nothing.
        d.s.window.close();
        QVERIFY(!d.s.window.isVisible());
        QVERIFY(d.s.boxes.take().isEmpty());
    }

    // A calculated case that was neither printed nor stored: the close question offers to store it.
    void closingOffersToStoreTheCase() {
        Desk d;
        d.calculate();
        d.s.boxes.press = QStringLiteral("Arşive Kaydet");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        const auto boxes = d.s.boxes.take();
        QCOMPARE(boxes.size(), 1);
        QStringList buttons = boxes[0].buttons;
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Arşive Kaydet", "Evet", "Hayır"}));
        // Each answer by its own access key.
        QStringList keyed = boxes[0].keyed;
        keyed.sort();
        QCOMPARE(keyed, (QStringList{"&Arşive Kaydet", "&Evet", "&Hayır"}));
        QCOMPARE(boxes[0].defaultButton, QStringLiteral("Hayır"));
        QVERIFY(!d.s.window.isVisible());
        const std::vector<ArchiveRow> rows = d.stored();
        QCOMPARE(rows.size(), size_t{1});
        QCOMPARE(Q(rows[0].name), QStringLiteral("Işıl Çelik"));
        QVERIFY(rows[0].papers.empty());
    }

    // In "Arşiv": Enter in the search box searches and opens the one case found (or goes to the list),
    // ↓ goes to the list, Enter on a row opens it; every heading is shown whole.
    void archiveByKeyboard() {
        Desk d;
        d.calculate();
        d.print({2});
        d.s.core.record().write(F::txtAdiSoyadi, "Kemal Sunal");
        d.click("Command2");
        QCOMPARE(d.s.boxes.take().size(), 1);
        d.print({0});
        QCOMPARE(d.stored().size(), size_t{2});
        QStringList seen;
        d.inArchive([&](ui::ArsivWindow* dialog) {
            auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tblDosyalar"));
            const QFontMetrics fm = table->horizontalHeader()->fontMetrics();
            for (int c = 0; c < table->columnCount(); ++c)
                QVERIFY2(table->columnWidth(c) >=
                             fm.horizontalAdvance(table->horizontalHeaderItem(c)->text()),
                         qPrintable(table->horizontalHeaderItem(c)->text()));
            QVERIFY(dialog->minimumSizeHint().width() <= 1366);
            auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("txtAra"));
            text->setFocus();
            // The dialog's own focus: on a loaded machine the offscreen platform may not have made it the
            // active window yet, and the application's focus is then still the main window's.
            QTest::keyClick(text, Qt::Key_Return); // two cases: to the list
            seen << dialog->focusWidget()->objectName();
            text->setFocus();
            QTest::keyClick(text, Qt::Key_Down);
            seen << dialog->focusWidget()->objectName();
            QTest::keyClick(table, Qt::Key_Down);
            QTest::keyClick(table, Qt::Key_Return); // opens the second row
            seen << QString::number(dialog->isVisible());
        });
        QCOMPARE(seen, (QStringList{"tblDosyalar", "tblDosyalar", "0"}));
        QCOMPARE(Q(d.s.text(F::txtAdiSoyadi)), QStringLiteral("Işıl Çelik")); // the older case, second row
        d.inArchive([&](ui::ArsivWindow* dialog) {
            auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("txtAra"));
            text->setFocus();
            QTest::keyClicks(text, QStringLiteral("kemal"));
            QTest::keyClick(text, Qt::Key_Return); // one case: opened at once
            seen << QString::number(dialog->isVisible());
        });
        QCOMPARE(seen.last(), QStringLiteral("0"));
        QCOMPARE(Q(d.s.text(F::txtAdiSoyadi)), QStringLiteral("Kemal Sunal"));
    }

    void accessKeysAreDistinct() {
        Desk d;
        QMap<QChar, QString> keys;
        QStringList captions;
        for (QAbstractButton* b : d.s.window.findChildren<QAbstractButton*>()) captions << b->text();
        const QTabWidget* tabs = d.s.window.findChild<QTabWidget*>();
        for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
        for (const QString& caption : captions) {
            const qsizetype at = caption.indexOf(u'&');
            if (at < 0 || at + 1 >= caption.size()) continue;
            const QChar key = caption[at + 1].toLower();
            QVERIFY2(!keys.contains(key), qPrintable(caption + " / " + keys.value(key)));
            keys.insert(key, caption);
        }
        QCOMPARE(keys.value(u'r'), QStringLiteral("A&rşiv"));
        // The two ways of counting the service too.
        QCOMPARE(keys.value(u'i'), QStringLiteral("G&iriş Çıkış Tarihine Göre"));
        QCOMPARE(keys.value(u'ü'), QStringLiteral("Prim G&ününe Göre "));
    }
};

QTEST_MAIN(ArsivWindowTest)
#include "test_arsiv_window.moc"
