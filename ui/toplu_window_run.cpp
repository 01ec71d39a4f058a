// SPDX-License-Identifier: GPL-3.0-or-later
// The "Toplu Hesap" dialog's runs of the companion: the preview of a table, the run with its progress, and
// its summary.
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>

#include "archive/export.h"
#include "qtmessages.h"
#include "toplu/calisma_kilidi.h"
#include "toplu/dokum_listesi.h"
#include "toplu_window.h"
#include "toplu_window_parts.h"

namespace pamerol::ui {

using namespace toplu_window_parts;

void TopluWindow::startPreview() {
    if (process_) {
        // A preview still reading is left to finish and forgotten: ended midway, the office it may have
        // started for a workbook would be left behind.
        process_->disconnect(this);
        if (process_->state() == QProcess::NotRunning)
            process_->deleteLater();
        else
            connect(process_, &QProcess::finished, process_, &QObject::deleteLater);
    }
    previewOk_ = false;
    written_ = false;
    preview_->clear();
    preview_->setRowCount(0);
    preview_->setColumnCount(0);
    missing_->hide();
    headline_->clear();
    summary_->clear();
    progress_->setTextVisible(false);
    progress_->setValue(0);
    current_->clear();
    timeLeft_->clear();
    Colour(previewNote_, palette().color(QPalette::WindowText));
    previewNote_->setText(QStringLiteral("Tablo okunuyor…"));
    phase_ = Phase::Preview;
    process_ = new QProcess(this);
    connect(process_, &QProcess::finished, this, &TopluWindow::previewFinished);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) failedToStart();
    });
    QStringList args{QStringLiteral("--toplu-tablo"), QDir::fromNativeSeparators(input_->text()),
                     QStringLiteral("--onizleme")};
    if (useExitDate_->isChecked() && referenceDate())
        args << QStringLiteral("--cikis-tarihi") << *referenceDate();
    process_->start(yollar_.program, args);
    updateState();
}

void TopluWindow::failedToStart() {
    const bool preview = phase_ == Phase::Preview;
    phase_ = Phase::Idle;
    const QString message =
        QStringLiteral("Hesap programı başlatılamadı (%1): %2").arg(yollar_.program, process_->errorString());
    if (preview) {
        Colour(previewNote_, kUnmatched);
        previewNote_->setText(message);
    } else {
        showSummary(QStringLiteral("Toplu hesap yapılamadı."), message, false);
    }
    updateState();
}

void TopluWindow::previewFinished(int exitCode, QProcess::ExitStatus status) {
    phase_ = Phase::Idle;
    const QByteArray out = process_->readAllStandardOutput();
    const QString err = QString::fromUtf8(process_->readAllStandardError());
    if (status == QProcess::NormalExit && exitCode == 0) {
        showPreview(out);
    } else {
        Colour(previewNote_, kUnmatched);
        const QString why = Message(err.split(u'\n'));
        previewNote_->setText(why.isEmpty() ? QStringLiteral("Tablo okunamadı.") : why);
    }
    updateState();
}

void TopluWindow::showPreview(const QByteArray& json) {
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    if (!o.contains(QStringLiteral("basliklar"))) {
        Colour(previewNote_, kUnmatched);
        previewNote_->setText(QStringLiteral("Tablonun önizlemesi okunamadı."));
        return;
    }
    const QJsonArray headers = o.value(QStringLiteral("basliklar")).toArray();
    const QJsonArray matches = o.value(QStringLiteral("eslesmeler")).toArray();
    const QJsonArray unused = o.value(QStringLiteral("kullanilmayanlar")).toArray();
    const QJsonArray rows = o.value(QStringLiteral("satirlar")).toArray();
    preview_->setColumnCount(static_cast<int>(headers.size()));
    preview_->setRowCount(static_cast<int>(rows.size()));
    QStringList unmatched;
    for (int c = 0; c < headers.size(); ++c) {
        const QString header = headers.at(c).toString();
        const QString match = matches.at(c).toString();
        auto* item = new QTableWidgetItem;
        if (const QString field = unused.at(c).toString(); !field.isEmpty()) {
            // Matched, and left aside on purpose: the reference date stands for every row's exit date.
            item->setText(header + QStringLiteral("\n✓ kullanılmıyor"));
            item->setToolTip(
                QStringLiteral("\"%1\" sütunu: referans çıkış tarihi verildiği için okunmaz.").arg(field));
        } else if (match.isEmpty()) {
            item->setText(header + QStringLiteral("\n✗ eşleşmedi"));
            item->setForeground(kUnmatched);
            item->setToolTip(QStringLiteral("Bu sütun hiçbir alana uymuyor; okunmaz."));
            unmatched << header;
        } else {
            // The column's own name, and the field it is read into when that is named otherwise.
            item->setText(match.compare(header.trimmed(), Qt::CaseInsensitive) == 0
                              ? header + QStringLiteral(" ✓")
                              : header + QStringLiteral("\n✓ ") + match);
            item->setForeground(kMatched);
            item->setToolTip(QStringLiteral("Okunduğu alan: %1").arg(match));
        }
        preview_->setHorizontalHeaderItem(c, item);
    }
    for (int r = 0; r < rows.size(); ++r) {
        const QJsonArray cells = rows.at(r).toArray();
        for (int c = 0; c < cells.size() && c < headers.size(); ++c)
            preview_->setItem(r, c, new QTableWidgetItem(cells.at(c).toString()));
    }
    preview_->resizeColumnsToContents();
    const int total = o.value(QStringLiteral("satirSayisi")).toInt();
    previewTotal_ = total;
    QString note =
        total > rows.size()
            ? QStringLiteral("Tabloda %1 personel var; ilk %2 satır aşağıda.").arg(total).arg(rows.size())
            : QStringLiteral("Tabloda %1 personel var.").arg(total);
    if (!unmatched.isEmpty())
        note += QStringLiteral(" Eşleşmeyen sütunlar okunmaz: %1.").arg(unmatched.join(QStringLiteral(", ")));
    if (useExitDate_->isChecked())
        note += QStringLiteral(" Referans çıkış tarihiyle tablonun çıkış tarihleri okunmaz.");
    previewNote_->setText(note);
    const QString missing = o.value(QStringLiteral("eksik")).toString();
    // The companion's sentence starts in lower case, after its name.
    missing_->setText(QLocale(QLocale::Turkish).toUpper(missing.left(1)) + missing.mid(1));
    missing_->setVisible(!missing.isEmpty());
    previewOk_ = missing.isEmpty() && total > 0;
}

void TopluWindow::start() {
    if (busy() || !previewOk_) return;
    const auto refuse = [this](const QString& why) { QMessageBox::warning(this, kTopluTitle, why); };
    const QString input = QDir::fromNativeSeparators(input_->text());
    const QString output = output_->text().trimmed();
    if (!IsResultsName(output))
        return refuse(QStringLiteral("Sonuç dosyasının adı .xlsx, .ods ya da .csv ile bitmeli."));
    if (QFileInfo(output).absoluteFilePath() == QFileInfo(input).absoluteFilePath())
        return refuse(QStringLiteral("Sonuç dosyası okunan tablonun kendisi olamaz."));
    QStringList args{QStringLiteral("--toplu-tablo"), input, QStringLiteral("--cikti"), output};
    if (settings_->isChecked())
        args << QStringLiteral("--ayar") << yollar_.ayar;
    else
        args << QStringLiteral("--yasal-degerler");
    if (useExitDate_->isChecked()) {
        if (!referenceDate())
            return refuse(QStringLiteral("Referans çıkış tarihi GG.AA.YYYY biçiminde bir tarih olmalı."));
        args << QStringLiteral("--cikis-tarihi") << *referenceDate();
    }
    QStringList papers;
    if (kidem_->isChecked()) papers << QStringLiteral("kidem");
    if (ihbar_->isChecked()) papers << QStringLiteral("ihbar");
    if (ibraname_->isChecked()) papers << QStringLiteral("ibraname");
    if (!papers.isEmpty()) {
        const QString folder = folder_->text().trimmed();
        if (folder.isEmpty()) return refuse(QStringLiteral("Dökümler için bir klasör seçin."));
        if (!QDir().mkpath(folder))
            return refuse(QStringLiteral("Dökümlerin klasörü oluşturulamadı: %1").arg(folder));
        args << QStringLiteral("--pdf-klasoru") << folder << QStringLiteral("--dokum") << papers.join(u',');
    }
    if (archive_->isChecked() && !yollar_.arsiv.isEmpty()) {
        args << QStringLiteral("--arsiv") << yollar_.arsiv;
        if (!runName_->text().trimmed().isEmpty())
            args << QStringLiteral("--toplu-adi") << runName_->text().trimmed();
    }
    // One run at a time on a folder and on an archive: a run that holds either is named.
    const std::string folder = folder_->text().trimmed().toStdString();
    std::optional<std::string> held;
    if (!papers.isEmpty())
        held = KilitTutuluyor(DokumKlasoruKilidi(folder), "Döküm klasörü \"" + folder + "\"");
    if (!held && args.contains(QStringLiteral("--arsiv")))
        held = KilitTutuluyor(ArsivKilidi(yollar_.arsiv.toStdString()),
                              "Arşiv \"" + yollar_.arsiv.toStdString() + "\"");
    if (held) return refuse(QString::fromStdString(*held));
    // An earlier run's papers go aside, into a folder of their own, when the clerk agrees: the new papers
    // never stand among them.
    std::optional<OncekiCalisma> onceki;
    if (!papers.isEmpty()) onceki = OncekiCalismaOku(folder);
    if (onceki &&
        !AskYesNo(this, kTopluTitle,
                  QStringLiteral("Bu klasörde önceki bir toplu hesabın (\"%1\", %2) %3 dökümü var. Yeni "
                                 "dökümlerle karışmamaları için \"%4\" klasörüne taşınsın mı?")
                      .arg(QString::fromStdString(onceki->topluAdi),
                           QString::fromStdString(ArchiveTimeText(onceki->zaman)))
                      .arg(onceki->dosyalar.size())
                      .arg(QString::fromStdString(onceki->altKlasor()))))
        return;
    // Other files are replaced only when the clerk says so (the companion refuses otherwise).
    QStringList existing;
    if (QFileInfo::exists(output)) existing << QStringLiteral("\"%1\"").arg(output);
    QStringList pdfs =
        papers.isEmpty() ? QStringList()
                         : QDir(folder_->text().trimmed()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    if (onceki)
        pdfs.removeIf([&onceki](const QString& f) {
            return std::find(onceki->dosyalar.begin(), onceki->dosyalar.end(), f.toStdString()) !=
                   onceki->dosyalar.end();
        });
    if (!pdfs.isEmpty())
        existing
            << QStringLiteral("\"%1\" klasöründeki aynı adlı PDF dosyaları").arg(folder_->text().trimmed());
    if (!existing.isEmpty()) {
        if (!AskYesNo(this, kTopluTitle,
                      QStringLiteral("Önceki bir hesabın dosyaları var: %1. Üzerlerine yazılsın mı?")
                          .arg(existing.join(QStringLiteral(" ve ")))))
            return;
        args << QStringLiteral("--uzerine-yaz");
    }
    args << QStringLiteral("--ilerleme");

    if (process_) process_->deleteLater();
    stdoutPending_.clear();
    sonuc_.reset();
    stopping_ = false;
    closeWhenDone_ = false;
    written_ = false;
    headline_->clear();
    summary_->clear();
    progress_->setMaximum(std::max(previewTotal_, 1));
    progress_->setValue(0);
    progress_->setTextVisible(true);
    current_->setText(QStringLiteral("Hesap programı başlıyor…"));
    timeLeft_->clear();
    phase_ = Phase::Run;
    process_ = new QProcess(this);
    connect(process_, &QProcess::readyReadStandardOutput, this, &TopluWindow::readProgress);
    connect(process_, &QProcess::finished, this, &TopluWindow::runFinished);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) failedToStart();
    });
    elapsed_.start();
    process_->start(yollar_.program, args);
    updateState();
}

void TopluWindow::stop() {
    if (phase_ != Phase::Run || stopping_) return;
    stopping_ = true;
    // The companion finishes the row it is on, then writes the rows done with their totals.
    process_->terminate();
    current_->setText(QStringLiteral("Durduruluyor; bitmiş satırların sonuçları yazılıyor…"));
    timeLeft_->clear();
    updateState();
}

void TopluWindow::readProgress() {
    stdoutPending_ += process_->readAllStandardOutput();
    qsizetype end;
    while ((end = stdoutPending_.indexOf('\n')) >= 0) {
        progressLine(stdoutPending_.left(end));
        stdoutPending_.remove(0, end + 1);
    }
}

void TopluWindow::progressLine(const QByteArray& line) {
    const std::string_view text(line.constData(), static_cast<size_t>(line.size()));
    if (auto ilerleme = IlerlemeOku(text))
        showProgress(*ilerleme);
    else if (auto sonuc = OzetOku(text))
        sonuc_ = std::move(*sonuc);
}

void TopluWindow::showProgress(const TopluIlerleme& ilerleme) {
    const int total = static_cast<int>(std::min<size_t>(ilerleme.toplam, INT_MAX));
    const int done = static_cast<int>(std::min<size_t>(ilerleme.bitti, INT_MAX));
    const QString name = QString::fromStdString(ilerleme.ad).trimmed();
    progress_->setMaximum(std::max(total, 1));
    progress_->setValue(std::min(done, total));
    if (stopping_) return;
    if (done >= total) {
        current_->setText(QStringLiteral("Sonuçlar yazılıyor…"));
        timeLeft_->clear();
        return;
    }
    current_->setText(name.isEmpty() ? QStringLiteral("%1. satır hesaplandı").arg(done)
                                     : QStringLiteral("Hesaplandı: %1").arg(name));
    if (done > 0) {
        const qint64 left = elapsed_.elapsed() * (total - done) / done;
        timeLeft_->setText(QStringLiteral("Kalan süre: yaklaşık %1").arg(Duration(left)));
    }
}

void TopluWindow::runFinished(int exitCode, QProcess::ExitStatus status) {
    readProgress();
    if (!stdoutPending_.isEmpty()) progressLine(std::exchange(stdoutPending_, {}));
    phase_ = Phase::Idle;
    // The companion sums up once the results are written.
    written_ = status == QProcess::NormalExit && sonuc_ && !sonuc_->sonucTablosu.empty();
    const QString said = Message(QString::fromUtf8(process_->readAllStandardError()).split(u'\n'));
    current_->clear();
    timeLeft_->clear();
    if (status != QProcess::NormalExit) {
        showSummary(stopping_ ? QStringLiteral("Toplu hesap durduruldu; sonuç tablosu yazılamadı.")
                              : QStringLiteral("Hesap programı beklenmedik biçimde sona erdi."),
                    said, false);
    } else if (!written_) {
        showSummary(QStringLiteral("Toplu hesap yapılamadı."),
                    said.isEmpty() ? QStringLiteral("Hesap programı bir açıklama vermedi.") : said, false);
    } else {
        QString headline = sonuc_->durduruldu ? QStringLiteral("Toplu hesap durduruldu: ")
                                              : QStringLiteral("Toplu hesap bitti: ");
        headline += QStringLiteral("%1 personel hesaplandı").arg(sonuc_->hesaplanan);
        if (sonuc_->hesaplanamayan > 0)
            headline += QStringLiteral(", %1 personel hesaplanamadı (nedenleri \"Hata\" sütununda)")
                            .arg(sonuc_->hesaplanamayan);
        headline += u'.';
        if (exitCode == kStatusWarning)
            headline += QStringLiteral(" Bazı satırlarda çıkış tarihinin yasal değerleri kullanılmadı "
                                       "(\"Uyarı\" sütunu).");
        const QString out = SummaryText(sonuc_->ozet);
        showSummary(headline, said.isEmpty() ? out : out + u'\n' + said, exitCode == kStatusOk);
    }
    updateState();
    if (closeWhenDone_) QDialog::reject();
}

} // namespace pamerol::ui
