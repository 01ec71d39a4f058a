// SPDX-License-Identifier: GPL-3.0-or-later
#include "toplu_window.h"

#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <climits>
#include <string_view>

#include "qtmessages.h"

namespace pamerol::ui {

namespace {

const QColor kMatched(0, 110, 0);
const QColor kUnmatched(176, 0, 0);
const QString kProgramPrefix = QStringLiteral("pamerol-hesap: ");

void Name(QWidget* w, const QString& objectName, const QString& caption = {}) {
    w->setObjectName(objectName);
    if (!caption.isEmpty()) w->setAccessibleName(QString(caption).remove(u'&').remove(u'…').trimmed());
}

QPushButton* Button(const char* objectName, const QString& caption) {
    auto* b = new QPushButton(caption);
    Name(b, QString::fromLatin1(objectName), caption);
    return b;
}

QCheckBox* Check(const char* objectName, const QString& caption, bool on) {
    auto* c = new QCheckBox(caption);
    Name(c, QString::fromLatin1(objectName), caption);
    c->setChecked(on);
    return c;
}

void Colour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

// A duration as a clerk reads it: "45 sn", "3 dk 10 sn", "1 sa 5 dk".
QString Duration(qint64 ms) {
    const qint64 s = (ms + 999) / 1000;
    if (s < 60) return QStringLiteral("%1 sn").arg(s);
    if (s < 3600) return QStringLiteral("%1 dk %2 sn").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1 sa %2 dk").arg(s / 3600).arg(s % 3600 / 60);
}

// The companion's message without its name in front: the clerk only knows this window.
QString Message(const QStringList& lines) {
    QStringList out;
    for (QString line : lines) {
        if (line.startsWith(kProgramPrefix)) line.remove(0, kProgramPrefix.size());
        if (!line.trimmed().isEmpty()) out << line;
    }
    return out.join(u'\n');
}

// The summary as the clerk reads it: "label: value", one a line.
QString SummaryText(const Ozet& ozet) {
    QStringList lines;
    for (const auto& [label, value] : ozet)
        lines << QString::fromStdString(label) + QStringLiteral(": ") + QString::fromStdString(value);
    return lines.join(u'\n');
}

bool IsResultsName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QStringLiteral("xlsx") || suffix == QStringLiteral("ods") ||
           suffix == QStringLiteral("csv");
}

QString LocalUrl(const QString& path) {
    return QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

} // namespace

TopluWindow::TopluWindow(TopluYollari yollar, Desktop& desktop, QWidget* parent)
    : QDialog(parent), yollar_(std::move(yollar)), desktop_(desktop) {
    setObjectName(QStringLiteral("frmToplu"));
    setWindowTitle(kTopluTitle);
    setModal(false); // the sheet stays usable during a run
    askInput = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Personel Tablosunu Seç"), QString(),
                                            QStringLiteral("Hesap tabloları (*.xlsx *.xls *.ods *.csv)"));
    };
    askOutput = [](QWidget* parent, const QString& suggested) {
        // Replacing an existing file is asked when the run starts, once.
        return QFileDialog::getSaveFileName(
            parent, QStringLiteral("Sonuç Tablosu"), suggested,
            QStringLiteral("Excel çalışma kitabı (*.xlsx);;OpenDocument hesap tablosu (*.ods);;CSV (*.csv)"),
            nullptr, QFileDialog::DontConfirmOverwrite);
    };
    askFolder = [](QWidget* parent, const QString& suggested) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Dökümlerin Klasörü"), suggested);
    };

    // The table and its preview.
    input_ = new QLineEdit;
    input_->setReadOnly(true);
    input_->setPlaceholderText(QStringLiteral("Personel tablosu seçilmedi (.xlsx, .xls, .ods, .csv)"));
    Name(input_, QStringLiteral("txtTablo"), QStringLiteral("Personel tablosu"));
    chooseInput_ = Button("cmdTabloSec", QStringLiteral("Tablo &Seç…"));
    connect(chooseInput_, &QPushButton::clicked, this, &TopluWindow::chooseInput);
    previewNote_ = new QLabel;
    previewNote_->setObjectName(QStringLiteral("lblOnizleme"));
    previewNote_->setWordWrap(true);
    preview_ = new QTableWidget;
    Name(preview_, QStringLiteral("tblOnizleme"), QStringLiteral("Tablonun ilk satırları"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    preview_->setMinimumHeight(fontMetrics().height() * 5);
    missing_ = new QLabel;
    missing_->setObjectName(QStringLiteral("lblEksik"));
    missing_->setWordWrap(true);
    Colour(missing_, kUnmatched);
    missing_->hide();
    auto* table = new QGroupBox(QStringLiteral("Personel Tablosu"));
    auto* tableLayout = new QVBoxLayout(table);
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(input_, 1);
    inputRow->addWidget(chooseInput_);
    tableLayout->addLayout(inputRow);
    tableLayout->addWidget(previewNote_);
    tableLayout->addWidget(preview_, 1);
    tableLayout->addWidget(missing_);

    // The options.
    auto* figures = new QGroupBox(QStringLiteral("Yasal Değerler"));
    legal_ = new QRadioButton(QStringLiteral("Her satırın çıkış tarihindeki &yasal değerler"));
    Name(legal_, QStringLiteral("optYasal"), legal_->text());
    legal_->setChecked(true);
    settings_ = new QRadioButton(QStringLiteral("&Ayar dosyasındaki değerler (Pmrl.ini)"));
    Name(settings_, QStringLiteral("optAyar"), settings_->text());
    settings_->setToolTip(yollar_.ayar);
    auto* figuresLayout = new QVBoxLayout(figures);
    figuresLayout->addWidget(legal_);
    figuresLayout->addWidget(settings_);
    useExitDate_ = Check("chkCikisTarihi", QStringLiteral("&Referans çıkış tarihi"), false);
    useExitDate_->setToolTip(QStringLiteral("Her satır bu tarihte çıkmış gibi hesaplanır (yıl sonu kıdem "
                                            "tazminatı karşılığı); tablodaki çıkış tarihleri kullanılmaz."));
    exitDate_ = new QLineEdit;
    exitDate_->setInputMask(QStringLiteral("99.99.9999;_"));
    exitDate_->setText(QDate(QDate::currentDate().year(), 12, 31).toString(QStringLiteral("dd.MM.yyyy")));
    exitDate_->setMaximumWidth(exitDate_->fontMetrics().horizontalAdvance(QStringLiteral("99.99.99999")) +
                               16);
    Name(exitDate_, QStringLiteral("txtCikisTarihi"), QStringLiteral("Referans çıkış tarihi"));
    exitDate_->setEnabled(false);
    connect(useExitDate_, &QCheckBox::toggled, exitDate_, &QWidget::setEnabled);
    // Without the table's exit dates another column may be missing, or none: the preview says which.
    connect(useExitDate_, &QCheckBox::toggled, this, [this] {
        if (!input_->text().isEmpty()) startPreview();
    });
    connect(exitDate_, &QLineEdit::textEdited, this, [this] {
        if (!input_->text().isEmpty() && referenceDate()) startPreview();
    });
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(useExitDate_);
    dateRow->addWidget(exitDate_);
    dateRow->addStretch();
    figuresLayout->addLayout(dateRow);
    figuresLayout->addStretch();

    auto* results = new QGroupBox(QStringLiteral("Sonuç Tablosu ve Arşiv"));
    output_ = new QLineEdit;
    Name(output_, QStringLiteral("txtSonuc"), QStringLiteral("Sonuç tablosu"));
    chooseOutput_ = Button("cmdSonucSec", QStringLiteral("Sonuç &Dosyası…"));
    connect(chooseOutput_, &QPushButton::clicked, this, &TopluWindow::chooseOutput);
    connect(output_, &QLineEdit::textEdited, this, [this] {
        if (!folderChosen_) folder_->setText(pdfFolder());
    });
    auto* resultsLayout = new QGridLayout(results);
    resultsLayout->addWidget(output_, 0, 0);
    resultsLayout->addWidget(chooseOutput_, 0, 1);

    auto* papers = new QGroupBox(QStringLiteral("Dökümler (her personel için PDF)"));
    kidem_ = Check("chkKidem", QStringLiteral("Kıde&m Bordrosu"), false);
    ihbar_ = Check("chkIhbar", QStringLiteral("İ&hbar Bordrosu"), false);
    ibraname_ = Check("chkIbraname", QStringLiteral("İbra&name"), false);
    folder_ = new QLineEdit;
    Name(folder_, QStringLiteral("txtPdfKlasoru"), QStringLiteral("Dökümlerin klasörü"));
    connect(folder_, &QLineEdit::textEdited, this, [this] { folderChosen_ = true; });
    chooseFolder_ = Button("cmdKlasorSec", QStringLiteral("Klas&ör Seç…"));
    connect(chooseFolder_, &QPushButton::clicked, this, &TopluWindow::chooseFolder);
    auto* papersLayout = new QGridLayout(papers);
    int row = 0;
    for (QCheckBox* c : {kidem_, ihbar_, ibraname_}) {
        papersLayout->addWidget(c, row++, 0, 1, 2);
        connect(c, &QCheckBox::toggled, this, &TopluWindow::updateState);
    }
    papersLayout->addWidget(folder_, row, 0);
    papersLayout->addWidget(chooseFolder_, row, 1);

    // The archive with the results: whether the rows go into it, and under which name.
    archive_ = Check("chkArsiv", QStringLiteral("Hesaplananları arşi&ve kaydet"), !yollar_.arsiv.isEmpty());
    archive_->setToolTip(yollar_.arsiv);
    runName_ = new QLineEdit;
    Name(runName_, QStringLiteral("txtTopluAdi"), QStringLiteral("Toplu hesabın adı"));
    runName_->setPlaceholderText(QStringLiteral("Boş bırakılırsa tablonun adı ve saat"));
    connect(archive_, &QCheckBox::toggled, runName_, &QWidget::setEnabled);
    auto* nameLabel = new QLabel(QStringLiteral("Top&lu hesabın adı:"));
    nameLabel->setBuddy(runName_);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(runName_, 1);
    resultsLayout->addWidget(archive_, 1, 0, 1, 2);
    resultsLayout->addLayout(nameRow, 2, 0, 1, 2);
    resultsLayout->setRowStretch(3, 1);
    for (QWidget* w :
         {static_cast<QWidget*>(archive_), static_cast<QWidget*>(nameLabel), static_cast<QWidget*>(runName_)})
        w->setVisible(!yollar_.arsiv.isEmpty());

    options_ = new QWidget;
    auto* optionsLayout = new QHBoxLayout(options_);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    optionsLayout->addWidget(figures);
    optionsLayout->addWidget(results, 1);
    optionsLayout->addWidget(papers, 1);

    // The run.
    progress_ = new QProgressBar;
    Name(progress_, QStringLiteral("prgIlerleme"), QStringLiteral("İlerleme"));
    progress_->setFormat(QStringLiteral("%v / %m"));
    progress_->setTextVisible(false); // until a run starts
    progress_->setValue(0);
    current_ = new QLabel;
    current_->setObjectName(QStringLiteral("lblSimdiki"));
    timeLeft_ = new QLabel;
    timeLeft_->setObjectName(QStringLiteral("lblKalanSure"));
    auto* status = new QHBoxLayout;
    status->addWidget(current_);

    headline_ = new QLabel;
    headline_->setObjectName(QStringLiteral("lblSonuc"));
    headline_->setWordWrap(true);
    QFont bold = headline_->font();
    bold.setBold(true);
    headline_->setFont(bold);
    // The run's headline where its progress was: one of the two is empty.
    status->addWidget(headline_, 1);
    status->addWidget(timeLeft_);
    summary_ = new QPlainTextEdit;
    Name(summary_, QStringLiteral("txtOzet"), QStringLiteral("Özet"));
    summary_->setReadOnly(true);
    summary_->setPlaceholderText(QStringLiteral("Hesabın özeti burada görünür."));
    // Always there, so that the window keeps its size when a run ends.
    summary_->setFixedHeight(fontMetrics().lineSpacing() * 5 + summary_->frameWidth() * 2 + 8);
    openFolder_ = Button("cmdKlasoruAc", QStringLiteral("Klasörü A&ç"));
    openTable_ = Button("cmdTabloyuAc", QStringLiteral("&Tabloyu Aç"));
    connect(openFolder_, &QPushButton::clicked, this, [this] {
        const QString folder = kidem_->isChecked() || ihbar_->isChecked() || ibraname_->isChecked()
                                   ? folder_->text()
                                   : QFileInfo(output_->text()).absolutePath();
        desktop_.openAddress(LocalUrl(folder).toStdString());
    });
    connect(openTable_, &QPushButton::clicked, this,
            [this] { desktop_.openAddress(LocalUrl(output_->text()).toStdString()); });

    start_ = Button("cmdBaslat", QStringLiteral("&Başlat"));
    start_->setDefault(true);
    connect(start_, &QPushButton::clicked, this, &TopluWindow::start);
    cancel_ = Button("cmdIptal", QStringLiteral("İ&ptal"));
    cancel_->setToolTip(QStringLiteral("Hesabı durdurur; bitmiş satırların sonuçları yazılır."));
    connect(cancel_, &QPushButton::clicked, this, &TopluWindow::stop);
    close_ = Button("cmdKapat", QStringLiteral("&Kapat"));
    connect(close_, &QPushButton::clicked, this, &TopluWindow::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openFolder_);
    buttons->addWidget(openTable_);
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table, 1);
    layout->addWidget(options_);
    layout->addWidget(progress_);
    layout->addLayout(status);
    layout->addWidget(summary_);
    layout->addLayout(buttons);

    // Wide enough for most of a table's columns, within the screen.
    const QSize wanted(fontMetrics().averageCharWidth() * 170, fontMetrics().height() * 50);
    resize(screen() ? wanted.boundedTo(screen()->availableGeometry().size() * 9 / 10) : wanted);
    updateState();
}

TopluWindow::~TopluWindow() {
    if (!process_ || process_->state() == QProcess::NotRunning) return;
    process_->disconnect(this);
    if (phase_ == Phase::Run) {
        // The companion writes the rows it has done before it goes.
        process_->terminate();
        if (process_->waitForFinished(120000)) return;
    }
    process_->kill();
    process_->waitForFinished(5000);
}

void TopluWindow::chooseInput() {
    const QString path = askInput(this);
    if (!path.isEmpty()) setInput(path);
}

void TopluWindow::setInput(const QString& path) {
    input_->setText(QDir::toNativeSeparators(path));
    const QFileInfo file(path);
    setOutput(file.absolutePath() + u'/' + file.completeBaseName() + QStringLiteral("-sonuc.xlsx"));
    startPreview();
}

void TopluWindow::chooseOutput() {
    QString path = askOutput(this, output_->text());
    if (path.isEmpty()) return;
    if (!IsResultsName(path)) path += QStringLiteral(".xlsx");
    setOutput(path);
}

void TopluWindow::setOutput(const QString& path) {
    output_->setText(path);
    if (!folderChosen_) folder_->setText(pdfFolder());
}

std::optional<QString> TopluWindow::referenceDate() const {
    const QString date = exitDate_->text();
    if (!QDate::fromString(date, QStringLiteral("dd.MM.yyyy")).isValid()) return std::nullopt;
    return date;
}

// Until the clerk picks one, the papers go to a folder beside the results, named after them.
QString TopluWindow::pdfFolder() const {
    if (output_->text().isEmpty()) return {};
    const QFileInfo results(output_->text());
    return results.absolutePath() + u'/' + results.completeBaseName() + QStringLiteral("-dokumler");
}

void TopluWindow::chooseFolder() {
    const QString path = askFolder(this, folder_->text());
    if (path.isEmpty()) return;
    folder_->setText(path);
    folderChosen_ = true;
}

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
    const QJsonArray rows = o.value(QStringLiteral("satirlar")).toArray();
    preview_->setColumnCount(static_cast<int>(headers.size()));
    preview_->setRowCount(static_cast<int>(rows.size()));
    QStringList unmatched;
    for (int c = 0; c < headers.size(); ++c) {
        const QString header = headers.at(c).toString();
        const QString match = matches.at(c).toString();
        auto* item = new QTableWidgetItem;
        if (match.isEmpty()) {
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
    // Files of an earlier run are replaced only when the clerk says so (the companion refuses otherwise).
    QStringList existing;
    if (QFileInfo::exists(output)) existing << QStringLiteral("\"%1\"").arg(output);
    if (!papers.isEmpty() &&
        !QDir(folder_->text().trimmed()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty())
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

void TopluWindow::showSummary(const QString& headline, const QString& text, bool good) {
    headline_->setText(headline);
    Colour(headline_, good ? kMatched : palette().color(QPalette::WindowText));
    if (headline.startsWith(QStringLiteral("Toplu hesap yapılamadı")) ||
        headline.startsWith(QStringLiteral("Hesap programı")))
        Colour(headline_, kUnmatched);
    summary_->setPlainText(text);
}

void TopluWindow::updateState() {
    const bool running = phase_ == Phase::Run;
    const bool papers = kidem_->isChecked() || ihbar_->isChecked() || ibraname_->isChecked();
    chooseInput_->setEnabled(!running);
    options_->setEnabled(!running);
    folder_->setEnabled(papers);
    chooseFolder_->setEnabled(papers);
    start_->setEnabled(phase_ == Phase::Idle && previewOk_);
    cancel_->setEnabled(running && !stopping_);
    // Only what this run wrote: a results file of an earlier run is not offered after a failure.
    const bool results = !running && written_ && QFileInfo::exists(output_->text());
    openTable_->setEnabled(results);
    openFolder_->setEnabled(results);
}

void TopluWindow::reject() {
    if (phase_ == Phase::Run) {
        if (stopping_) {
            closeWhenDone_ = true;
            return;
        }
        if (!AskYesNo(this, kTopluTitle,
                      QStringLiteral("Toplu hesap sürüyor. Durdurulsun mu? Bitmiş satırların sonuçları "
                                     "yazılır.")))
            return;
        closeWhenDone_ = true;
        stop();
        return;
    }
    QDialog::reject();
}

} // namespace pamerol::ui
