// SPDX-License-Identifier: GPL-3.0-or-later
// "Toplu Hesap" against a stand-in companion: a shell script that records its arguments and prints what
// the real one prints (the preview, the progress lines, the summary line), so that what the clerk sees of
// each can be checked without computing anything; and once against the real companion, on a small table.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "sheet_fixture.h"
#include "toplu/calisma_kilidi.h"
#include "toplu/dokum_listesi.h"
#include "ui/toplu_window.h"

using namespace pamerol;
using pamerol::testing::ClickBox;
using pamerol::testing::ModalBoxes;

namespace {

// The preview's answer (written with ' for ").
const QString kPreview =
    QStringLiteral(
        "{'basliklar':['Adı Soyadı','Giriş','Departman'],'eslesmeler':['Adı Soyadı','Giriş Tarihi',''],"
        "'satirlar':[['Ayşe Yılmaz','01.03.2015','Muhasebe'],['Mehmet Öztürk','15.9.2019','Üretim']],"
        "'satirSayisi':250,'eksik':''}")
        .replace(u'\'', u'"');

// A stand-in companion in a folder of its own: it writes its arguments to "args", one a line, answers the
// preview with the shell text `preview` (by default: preview.json) and a run with the shell text `run`.
struct Companion {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("pamerol-hesap"));

    explicit Companion(const QString& run, const QString& json = kPreview,
                       const QString& preview = QStringLiteral("cat \"$D/preview.json\"; exit 0")) {
        write(QStringLiteral("preview.json"), json);
        write(QStringLiteral("pamerol-hesap"),
              QStringLiteral("#!/bin/sh\nD='%1'\nprintf '%s\\n' \"$@\" > \"$D/args\"\n"
                             "case \" $* \" in *' --onizleme '*) cp \"$D/args\" \"$D/preview\"; %2;; esac\n")
                      .arg(dir.path(), preview) +
                  run);
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void write(const QString& name, const QString& text) const {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly)) f.write(text.toUtf8());
    }
    // The arguments of the last start, or of the last preview.
    QStringList args(const char* of = "args") const {
        QFile f(dir.filePath(QString::fromLatin1(of)));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    QString in() const { return dir.filePath(QStringLiteral("personel.csv")); }
    QString out() const { return dir.filePath(QStringLiteral("personel-sonuc.xlsx")); }
    QString ini() const { return dir.filePath(QStringLiteral("Pmrl.ini")); }
    QString archive() const { return dir.filePath(QStringLiteral("arsiv.db")); }
};

// A run that writes the results file and sums up two rows.
const QString kQuickRun = QStringLiteral(
    "for a; do [ \"$prev\" = --cikti ] && : > \"$a\" && out=$a; prev=$a; done\n"
    "printf '{\"ozet\":{\"durum\":0,\"hesaplanan\":2,\"hesaplanamayan\":0,\"sonucTablosu\":\"%s\",'"
    "'\"satirlar\":[[\"Hesaplanan\",\"2\"],[\"Hesaplanamayan\",\"0\"]]}}\\n' \"$out\"\n");

struct Dialog {
    Companion& c;
    testing::RecordedDesktop desktop;
    ModalBoxes boxes;
    ui::TopluWindow w;

    explicit Dialog(Companion& companion, const QString& program = {})
        : c(companion), w({program.isEmpty() ? c.path : program, c.ini(), c.archive()}, desktop) {
        w.show();
        (void)QTest::qWaitForWindowExposed(&w);
    }
    template <class T> T* find(const char* name) const {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no %s", name);
        return found;
    }
    // Chooses the table and waits for its preview.
    bool open() {
        w.setInput(c.in());
        return QTest::qWaitFor([this] { return !w.busy(); }, 5000);
    }
    bool runToEnd() {
        QTest::mouseClick(find<QPushButton>("cmdBaslat"), Qt::LeftButton);
        return QTest::qWaitFor([this] { return !w.busy(); }, 10000);
    }
    QString text(const char* label) const { return find<QLabel>(label)->text(); }
};

} // namespace

class TopluWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theSheetOpensItBesideItself() {
        testing::Sheet s;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier);
        ui::TopluWindow* toplu = nullptr;
        QTRY_VERIFY((toplu = s.window.findChild<ui::TopluWindow*>()) &&
                    toplu->isVisible()); // a click, a moment later
        QVERIFY(!toplu->isModal() && !QApplication::activeModalWidget());
        // It fits a small screen as the sheet does (1366×900 at 150 %, less a title bar and a panel).
        QVERIFY(toplu->minimumSizeHint().width() <= 910 && toplu->minimumSizeHint().height() <= 540);
        // Without an archive the option is not offered.
        QVERIFY(!toplu->findChild<QCheckBox*>(QStringLiteral("chkArsiv"))->isVisibleTo(toplu));
        // The sheet takes typing meanwhile, and a second press brings back the same dialog.
        s.type(Field::GTarih, QStringLiteral("15032004"));
        QCOMPARE(s.shown(Field::GTarih), QStringLiteral("15.03.2004"));
        QTest::mouseClick(s.find<QPushButton>("cmdTopluHesap"), Qt::LeftButton);
        QCOMPARE(s.window.findChildren<ui::TopluWindow*>().size(), 1);
    }

    void previewShowsHowEachColumnIsRead_data() {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("preview"); // the stand-in's answer
        QTest::addColumn<QString>("said");    // what the clerk reads above the table
        QTest::addColumn<QString>("missing"); // the missing-column line, or empty
        QTest::addColumn<bool>("startable");
        const QString answer = QStringLiteral("cat \"$D/preview.json\"; exit 0");
        QTest::addRow("every required column")
            << kPreview << answer << QStringLiteral("250 personel var; ilk 2 satır") << QString() << true;
        QTest::addRow("a required column missing")
            << QString(kPreview).replace(
                   QStringLiteral("\"eksik\":\"\""),
                   QStringLiteral("\"eksik\":\"gerekli sütun yok: \\\"En Son Brüt Ücret\\\"\""))
            << answer << QStringLiteral("Eşleşmeyen sütunlar okunmaz: Departman")
            << QStringLiteral("Gerekli sütun yok: \"En Son Brüt Ücret\"") << false;
        QTest::addRow("not a spreadsheet")
            << QString()
            << QStringLiteral("echo 'pamerol-hesap: \"personel.csv\" bir tablo değil' >&2; exit 2")
            << QStringLiteral("\"personel.csv\" bir tablo değil") << QString() << false;
    }
    void previewShowsHowEachColumnIsRead() {
        QFETCH(QString, json);
        QFETCH(QString, preview);
        QFETCH(QString, said);
        QFETCH(QString, missing);
        Companion c(kQuickRun, json, preview);
        Dialog d(c);
        QVERIFY(d.open());
        QTEST(d.find<QPushButton>("cmdBaslat")->isEnabled(), "startable");
        QVERIFY2(d.text("lblOnizleme").contains(said), qPrintable(d.text("lblOnizleme")));
        QVERIFY(!d.text("lblOnizleme").contains(QStringLiteral("pamerol-hesap")));
        QCOMPARE(d.find<QLabel>("lblEksik")->isVisibleTo(&d.w), !missing.isEmpty());
        if (!missing.isEmpty()) QCOMPARE(d.text("lblEksik"), missing);
        if (json.isEmpty()) return;
        QCOMPARE(c.args(), (QStringList{"--toplu-tablo", c.in(), "--onizleme"}));
        auto* table = d.find<QTableWidget>("tblOnizleme");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("Mehmet Öztürk"));
        // The name as written, with the field it is read into; an unmatched column stands out.
        const auto header = [table](int c) { return table->horizontalHeaderItem(c); };
        QCOMPARE(header(0)->text(), QStringLiteral("Adı Soyadı ✓"));
        QCOMPARE(header(1)->text(), QStringLiteral("Giriş\n✓ Giriş Tarihi"));
        QCOMPARE(header(2)->text(), QStringLiteral("Departman\n✗ eşleşmedi"));
        QVERIFY(header(2)->foreground().color() != header(1)->foreground().color());
        QVERIFY(header(2)->foreground().color() != table->palette().color(QPalette::ButtonText));
    }

    // The table's path may be typed (Enter previews it); under a reference exit date the table's exit date
    // column shows as matched and left aside, not as unmatched.
    void aTypedPathIsPreviewedAndTheExitDateColumnLeftAside() {
        const QString json =
            QString(kPreview)
                .replace(QStringLiteral("'Departman'],'eslesmeler'").replace(u'\'', u'"'),
                         QStringLiteral("'Çıkış'],'eslesmeler'").replace(u'\'', u'"'))
                .replace(QStringLiteral("\"eslesmeler\":[\"Adı Soyadı\",\"Giriş Tarihi\",\"\"]"),
                         QStringLiteral("\"eslesmeler\":[\"Adı Soyadı\",\"Giriş Tarihi\",\"\"],"
                                        "\"kullanilmayanlar\":[\"\",\"\",\"Çıkış Tarihi\"]"));
        Companion c(kQuickRun, json);
        Dialog d(c);
        auto* path = d.find<QLineEdit>("txtTablo");
        QVERIFY(!path->isReadOnly());
        path->setFocus();
        QTest::keyClicks(path, c.in());
        QTest::keyClick(path, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([&d] { return !d.w.busy(); }, 5000));
        QCOMPARE(c.args(), (QStringList{"--toplu-tablo", c.in(), "--onizleme"}));
        auto* header = d.find<QTableWidget>("tblOnizleme")->horizontalHeaderItem(2);
        QCOMPARE(header->text(), QStringLiteral("Çıkış\n✓ kullanılmıyor"));
        QVERIFY(header->toolTip().contains(QStringLiteral("referans çıkış tarihi")));
        QVERIFY(d.find<QPushButton>("cmdBaslat")->isEnabled());
    }

    void startPassesTheChosenOptions() {
        const auto click = [](const char* box) {
            return [box](Dialog& d) { ClickBox(d.find<QAbstractButton>(box)); };
        };
        // A run of another process's that holds the archive.
        std::unique_ptr<CalismaKilidi> holder;
        const auto earlierRun = [](Dialog& d, const char* answer) {
            const QString pdf = d.c.dir.filePath(QStringLiteral("pdf"));
            QDir(d.c.dir.path()).mkdir(QStringLiteral("pdf"));
            d.c.write(QStringLiteral("pdf/001 Ayşe Yılmaz – İhbar Bordrosu.pdf"), QStringLiteral("eski"));
            auto liste = DokumListesi::Baslat(pdf.toStdString(), "Haziran", 0);
            if (!liste || !(*liste)->ekle("001 Ayşe Yılmaz – İhbar Bordrosu.pdf")) QFAIL("no list");
            d.w.askFolder = [pdf](QWidget*, const QString&) { return pdf; };
            ClickBox(d.find<QCheckBox>("chkIhbar"));
            QTest::mouseClick(d.find<QPushButton>("cmdKlasorSec"), Qt::LeftButton);
            d.boxes.press = QString::fromUtf8(answer);
        };
        struct Case {
            std::function<void(Dialog&)> choose;
            const char* expected;      // the arguments between | (D the folder), or none: nothing is started
            const char* box = nullptr; // what the last message box says, if one must
        } const cases[] = {
            {[](Dialog&) {}, "--toplu-tablo|D/personel.csv|--cikti|D/personel-sonuc.xlsx|--yasal-degerler|"
                             "--arsiv|D/arsiv.db|--ilerleme"},
            {[click](Dialog& d) { // the settings file, a reference date, papers, no archive
                 for (const char* box : {"optAyar", "chkCikisTarihi", "chkKidem", "chkIbraname", "chkArsiv"})
                     click(box)(d);
                 // The preview the reference date's box started ends before the date is retyped: a preview
                 // left running could otherwise record its arguments after the new one's.
                 if (!QTest::qWaitFor([&d] { return !d.w.busy(); }, 5000))
                     QFAIL("the first preview never ended");
                 auto* date = d.find<QLineEdit>("txtCikisTarihi");
                 date->setFocus();
                 date->selectAll();
                 QTest::keyClicks(date, QStringLiteral("30062026"));
             },
             "--toplu-tablo|D/personel.csv|--cikti|D/personel-sonuc.xlsx|--ayar|D/Pmrl.ini|--cikis-tarihi|"
             "30.06.2026|--pdf-klasoru|D/personel-sonuc-dokumler|--dokum|kidem,ibraname|--ilerleme"},
            {[](Dialog& d) { // a run name and an .ods results file
                 d.w.askOutput = [&d](QWidget*, const QString&) { return d.c.dir.filePath("karsilik.ods"); };
                 QTest::mouseClick(d.find<QPushButton>("cmdSonucSec"), Qt::LeftButton);
                 d.find<QLineEdit>("txtTopluAdi")->insert(QStringLiteral("Yıl sonu 2026"));
             },
             "--toplu-tablo|D/personel.csv|--cikti|D/karsilik.ods|--yasal-degerler|--arsiv|D/arsiv.db|"
             "--toplu-adi|Yıl sonu 2026|--ilerleme"},
            {[](Dialog& d) { // an existing results file replaced
                 d.c.write(QStringLiteral("personel-sonuc.xlsx"), QStringLiteral("eski"));
                 d.boxes.press = QStringLiteral("Evet");
             },
             "--toplu-tablo|D/personel.csv|--cikti|D/personel-sonuc.xlsx|--yasal-degerler|--arsiv|D/arsiv.db|"
             "--uzerine-yaz|--ilerleme"},
            {[](Dialog& d) { // papers over an earlier run's
                 QDir(d.c.dir.path()).mkdir(QStringLiteral("pdf"));
                 d.c.write(QStringLiteral("pdf/001 Ayşe Yılmaz – İhbar Bordrosu.pdf"),
                           QStringLiteral("eski"));
                 d.w.askFolder = [&d](QWidget*, const QString&) { return d.c.dir.filePath("pdf"); };
                 ClickBox(d.find<QCheckBox>("chkIhbar"));
                 QTest::mouseClick(d.find<QPushButton>("cmdKlasorSec"), Qt::LeftButton);
                 d.boxes.press = QStringLiteral("Evet");
             },
             "--toplu-tablo|D/personel.csv|--cikti|D/personel-sonuc.xlsx|--yasal-degerler|--pdf-klasoru|D/"
             "pdf|"
             "--dokum|ihbar|--arsiv|D/arsiv.db|--uzerine-yaz|--ilerleme"},
            {[](Dialog& d) { // an existing results file kept
                 d.c.write(QStringLiteral("personel-sonuc.xlsx"), QStringLiteral("eski"));
                 d.boxes.press = QStringLiteral("Hayır");
             },
             nullptr},
            {[earlierRun](Dialog& d) { earlierRun(d, "Evet"); }, // an earlier run's papers moved aside
             "--toplu-tablo|D/personel.csv|--cikti|D/personel-sonuc.xlsx|--yasal-degerler|--pdf-klasoru|D/"
             "pdf|"
             "--dokum|ihbar|--arsiv|D/arsiv.db|--ilerleme",
             "önceki bir toplu hesabın (\"Haziran\", "},
            {[earlierRun](Dialog& d) { earlierRun(d, "Hayır"); }, nullptr, "klasörüne taşınsın mı?"},
            {[&holder](Dialog& d) { // the archive held by another run
                 holder =
                     std::move(*CalismaKilidi::Al(ArsivKilidi(d.c.archive().toStdString()), "arşiv", "Öbür"));
             },
             nullptr, "başka bir toplu hesabın kullanımında: \"Öbür\""},
        };
        for (const Case& k : cases) {
            Companion c(kQuickRun);
            Dialog d(c);
            QVERIFY(d.open());
            k.choose(d);
            QVERIFY(QTest::qWaitFor([&d] { return !d.w.busy(); }, 5000)); // a new preview
            QVERIFY(d.runToEnd());
            // The preview reads the table as the run will: with the reference date, if there is one.
            const QStringList run = c.args(), preview = c.args("preview");
            const qsizetype date = run.indexOf("--cikis-tarihi");
            QCOMPARE(preview, QStringList({"--toplu-tablo", c.in(), "--onizleme"}) +
                                  (date < 0 ? QStringList() : run.mid(date, 2)));
            const auto boxes = d.boxes.take();
            if (k.box) {
                QVERIFY(!boxes.isEmpty());
                QVERIFY2(boxes.back().text.contains(QString::fromUtf8(k.box)), qPrintable(boxes.back().text));
                if (boxes.back().buttons.contains(QStringLiteral("Evet")))
                    QCOMPARE(boxes.back().keyed,
                             QStringList({QStringLiteral("&Evet"), QStringLiteral("&Hayır")}));
            }
            holder.reset();
            if (!k.expected) {
                QCOMPARE(run, preview);
                QVERIFY(d.text("lblSonuc").isEmpty());
            } else {
                QCOMPARE(run, QString::fromUtf8(k.expected)
                                  .replace(QStringLiteral("D/"), c.dir.path() + u'/')
                                  .split(u'|'));
            }
        }
    }

    void progressShowsNameAndTimeLeft() {
        Companion c(
            QStringLiteral("echo '{\"ilerleme\":{\"bitti\":1,\"toplam\":4,\"ad\":\"Ayşe Yılmaz\"}}'\n"
                           "while [ ! -e \"$D/go\" ]; do sleep 0.02; done\n"
                           "echo '{\"ilerleme\":{\"bitti\":4,\"toplam\":4,\"ad\":\"Şule Çağlar\"}}'\n") +
            kQuickRun);
        Dialog d(c);
        QVERIFY(d.open());
        QTest::mouseClick(d.find<QPushButton>("cmdBaslat"), Qt::LeftButton);
        auto* bar = d.find<QProgressBar>("prgIlerleme");
        QTRY_COMPARE(bar->value(), 1);
        QCOMPARE(bar->maximum(), 4);
        QVERIFY(d.text("lblSimdiki").contains(QStringLiteral("Ayşe Yılmaz")));
        QVERIFY(d.text("lblKalanSure").startsWith(QStringLiteral("Kalan süre: yaklaşık")));
        // The options hold still during the run; the dialog itself does not.
        QVERIFY(!d.find<QLineEdit>("txtSonuc")->isEnabled());
        QVERIFY(d.find<QPushButton>("cmdIptal")->isEnabled());
        QVERIFY(!d.find<QPushButton>("cmdBaslat")->isEnabled());
        c.write(QStringLiteral("go"), QString());
        QVERIFY(QTest::qWaitFor([&d] { return !d.w.busy(); }, 5000));
        QCOMPARE(bar->value(), 4);
        QCOMPARE(d.text("lblSonuc"), QStringLiteral("Toplu hesap bitti: 2 personel hesaplandı."));
        QVERIFY(
            d.find<QPlainTextEdit>("txtOzet")->toPlainText().contains(QStringLiteral("Hesaplanamayan: 0")));
        QTest::mouseClick(d.find<QPushButton>("cmdTabloyuAc"), Qt::LeftButton);
        QTest::mouseClick(d.find<QPushButton>("cmdKlasoruAc"), Qt::LeftButton);
        QCOMPARE(d.desktop.opened,
                 (std::vector<std::string>{QUrl::fromLocalFile(c.out()).toEncoded().toStdString(),
                                           QUrl::fromLocalFile(c.dir.path()).toEncoded().toStdString()}));
    }

    void cancelStopsAfterTheRowAndShowsWhatWasDone() {
        // Like the companion: SIGTERM ends the run after the current row, with the summary of the rows done.
        Companion c(QStringLiteral(
            "trap 'stop=1' TERM\ni=0\nwhile [ $i -lt 500 ]; do\n"
            "  i=$((i+1)); sleep 0.02\n"
            "  printf '{\"ilerleme\":{\"bitti\":%s,\"toplam\":500,\"ad\":\"Kişi %s\"}}\\n' $i $i\n"
            "  [ -n \"$stop\" ] && break\ndone\n"
            "printf "
            "'{\"ozet\":{\"durum\":1,\"hesaplanan\":%s,\"durduruldu\":true,\"sonucTablosu\":\"s.xlsx\",'"
            "'\"satirlar\":[[\"Hesaplanan\",\"%s\"],[\"İptal\",\"%s / 500 satırdan sonra "
            "durduruldu\"]]}}\\n' "
            "$i $i $i\n"));
        Dialog d(c);
        QVERIFY(d.open());
        QTest::mouseClick(d.find<QPushButton>("cmdBaslat"), Qt::LeftButton);
        QTRY_VERIFY(d.find<QProgressBar>("prgIlerleme")->value() >= 2);
        QTest::mouseClick(d.find<QPushButton>("cmdIptal"), Qt::LeftButton);
        QVERIFY(!d.find<QPushButton>("cmdIptal")->isEnabled());
        QVERIFY(QTest::qWaitFor([&d] { return !d.w.busy(); }, 5000));
        const int done = d.find<QProgressBar>("prgIlerleme")->value();
        QVERIFY(done < 500);
        QCOMPARE(d.text("lblSonuc"),
                 QStringLiteral("Toplu hesap durduruldu: %1 personel hesaplandı.").arg(done));
        QVERIFY(d.find<QPlainTextEdit>("txtOzet")->toPlainText().contains(QStringLiteral("İptal: ")));
    }

    void closingDuringARunAsks() {
        Companion c(QStringLiteral("trap 'exit 0' TERM\nwhile :; do sleep 0.02; done\n"));
        Dialog d(c);
        QVERIFY(d.open());
        QTest::mouseClick(d.find<QPushButton>("cmdBaslat"), Qt::LeftButton);
        QVERIFY(d.w.running());
        d.boxes.press = QStringLiteral("Hayır");
        d.w.close();
        QCOMPARE(d.boxes.take().size(), 1);
        QVERIFY(d.w.isVisible() && d.w.running());
        d.boxes.press = QStringLiteral("Evet");
        d.w.close();
        QCOMPARE(d.boxes.take().size(), 1);
        QVERIFY(QTest::qWaitFor([&d] { return !d.w.busy(); }, 5000));
        QTRY_VERIFY(!d.w.isVisible());
    }

    void aFailingCompanionSaysWhy_data() {
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("shown");
        QTest::addRow("nothing done")
            << QStringLiteral("echo 'pamerol-hesap: \"/yok/sonuc.xlsx\" yazılamıyor: klasörü \"/yok\" yok' "
                              ">&2; exit 2\n")
            << QStringLiteral("\"/yok/sonuc.xlsx\" yazılamıyor: klasörü \"/yok\" yok");
        QTest::addRow("killed") << QStringLiteral("kill -KILL $$\n")
                                << QStringLiteral("Hesap programı beklenmedik biçimde sona erdi.");
    }
    void aFailingCompanionSaysWhy() {
        QFETCH(QString, run);
        QFETCH(QString, shown);
        Companion c(run);
        Dialog d(c);
        QVERIFY(d.open());
        c.write(QStringLiteral("personel-sonuc.xlsx"), QStringLiteral("an earlier run's")); // not offered
        d.boxes.press = QStringLiteral("Evet");
        QVERIFY(d.runToEnd());
        const QString all = d.text("lblSonuc") + u'\n' + d.find<QPlainTextEdit>("txtOzet")->toPlainText();
        QVERIFY2(all.contains(shown), qPrintable(all));
        QVERIFY(!all.contains(QStringLiteral("pamerol-hesap:")));
        QVERIFY(!d.find<QPushButton>("cmdTabloyuAc")->isEnabled());
        QVERIFY(d.find<QPushButton>("cmdBaslat")->isEnabled()); // the clerk may try again
    }

    void aMissingCompanionSaysWhy() {
        Companion c(kQuickRun);
        Dialog d(c, c.dir.filePath(QStringLiteral("yok")));
        QVERIFY(d.open());
        QVERIFY2(d.text("lblOnizleme").startsWith(QStringLiteral("Hesap programı başlatılamadı")),
                 qPrintable(d.text("lblOnizleme")));
        QVERIFY(!d.find<QPushButton>("cmdBaslat")->isEnabled());
    }

    void aSmallRunThroughTheRealCompanion() {
        // The companion built with this test, on three employees (the second one's entry date is no date)
        // with each row's legal figures, into a CSV: the preview, the progress and the summary line are the
        // companion's own.
        Companion c(kQuickRun);
        c.write(QStringLiteral("personel.csv"),
                QStringLiteral("Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\n"
                               "Ayşe Yılmaz;01.03.2015;30.06.2025;45.000,00\n"
                               "Mehmet Öztürk;yok;30.06.2025;38.500,00\n"
                               "Şule Çağlar;15.09.2019;31.03.2025;52.000,00\n"));
        Dialog d(c, QStringLiteral(PAMEROL_BIN_DIR "/pamerol-hesap"));
        QVERIFY(d.open());
        QVERIFY2(d.find<QPushButton>("cmdBaslat")->isEnabled(), qPrintable(d.text("lblOnizleme")));
        ClickBox(d.find<QCheckBox>("chkArsiv"));
        const QString out = c.dir.filePath(QStringLiteral("sonuc.csv"));
        d.w.askOutput = [out](QWidget*, const QString&) { return out; };
        QTest::mouseClick(d.find<QPushButton>("cmdSonucSec"), Qt::LeftButton);
        QVERIFY(d.runToEnd());
        QCOMPARE(d.text("lblSonuc"), QStringLiteral("Toplu hesap bitti: 2 personel hesaplandı, 1 personel "
                                                    "hesaplanamadı (nedenleri \"Hata\" sütununda)."));
        QCOMPARE(d.find<QProgressBar>("prgIlerleme")->value(), 3);
        const QString summary = d.find<QPlainTextEdit>("txtOzet")->toPlainText();
        QVERIFY2(summary.contains(QStringLiteral("Sonuç tablosu: ") + out), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("(Mehmet Öztürk)")), qPrintable(summary));
        QVERIFY(QFileInfo(out).size() > 0);
        QVERIFY(d.find<QPushButton>("cmdTabloyuAc")->isEnabled());
    }
};

QTEST_MAIN(TopluWindowTest)
#include "test_toplu_window.moc"
