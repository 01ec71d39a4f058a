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
#include "toplu_window_parts.h"

namespace pamerol::ui {

using namespace toplu_window_parts;

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
    input_->setPlaceholderText(QStringLiteral(
        "Personel tablosunun yolunu yazın ya da \"Tablo Seç\" ile seçin (.xlsx, .xls, .ods, .csv)"));
    // A typed path is previewed when it is finished (Enter, or leaving the box); until then the preview
    // before it no longer stands for it.
    connect(input_, &QLineEdit::textEdited, this, [this] { previewOk_ = false; });
    connect(input_, &QLineEdit::editingFinished, this, [this] {
        const QString typed = input_->text().trimmed();
        if (!typed.isEmpty() && typed != previewed_) setInput(QDir::fromNativeSeparators(typed));
    });
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
    // The path's box loses the focus as the dialog goes: its "finished" must not reach this window.
    input_->disconnect(this);
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
    previewed_ = input_->text();
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
