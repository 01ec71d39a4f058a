// SPDX-License-Identifier: GPL-3.0-or-later
#include "raporsecwindow.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "figures/yasal_degerler.h"
#include "formuortala.h"
#include "pictures.h"
#include "printouts/ibraname.h"
#include "qtmessages.h"
#include "sheet/entry_aids.h"

namespace pamerol::ui {

namespace {

void Name(QWidget* w, const QString& objectName, const QString& caption = {}) {
    w->setObjectName(objectName);
    if (!caption.isEmpty()) w->setAccessibleName(QString(caption).remove(u'&'));
}

} // namespace

RaporSecWindow::RaporSecWindow(frmRaporSec& core, const QString& warning, QWidget* parent,
                               std::function<void()> confirmed, const QString& legalWarning)
    : QDialog(parent), core_(core), confirmed_(std::move(confirmed)), legalWarning_(legalWarning) {
    setObjectName(QStringLiteral("frmRaporSec"));
    setWindowTitle(kPrintoutsTitle);
    setModal(true);

    // The band across the top, in the window's own colour, behind the heading and the picture.
    auto* band = new QFrame;
    Name(band, QStringLiteral("Label36"));
    band->setAutoFillBackground(true);
    band->setBackgroundRole(QPalette::Window);
    auto* bandLayout = new QHBoxLayout(band);
    auto* heading = new QLabel(QStringLiteral("Kıdem ve İhbar Tazminatları Dökümleri"));
    Name(heading, QStringLiteral("Label1"), heading->text());
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    auto* picture = new QLabel;
    Name(picture, QStringLiteral("Image1"));
    const int size = fontMetrics().height() * 3;
    picture->setPixmap(Picture(kDokumPicture, size, devicePixelRatioF()));
    bandLayout->addWidget(heading, 1);
    bandLayout->addWidget(picture);

    auto* frame = new QGroupBox(QStringLiteral("Dökümü Seç"));
    Name(frame, QStringLiteral("Frame1"), frame->title());
    auto* choices = new QVBoxLayout(frame);
    // The statement's and the leave sheet's access keys are none of the buttons' (Alt+Y, Alt+K, Alt+O).
    const std::array<QString, 5> captions = {
        QStringLiteral("Kıdem Bordrosu"), QStringLiteral("İhbar Bordrosu"), QStringLiteral("İbraname"),
        QStringLiteral("Hesap &Açıklaması"), QStringLiteral("İ&zin Bordrosu")};
    for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
        auto* option = new QRadioButton(captions[static_cast<size_t>(i)]);
        Name(option, QStringLiteral("Option1_%1").arg(i), option->text());
        option->setChecked(core_.secim() == i);
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) core_.secimYap(i);
        });
        choices->addWidget(option);
        options_[static_cast<size_t>(i)] = option;
    }

    auto* print = print_ = new QPushButton(QStringLiteral("&Yazdır"));
    Name(print, QStringLiteral("cmdYazdir"), print->text());
    auto* close = new QPushButton(QStringLiteral("&Kapat"));
    Name(close, QStringLiteral("cmdKapat"), close->text());
    for (QPushButton* b : {print, close}) b->setAutoDefault(false); // Enter is handled below
    connect(print, &QPushButton::clicked, this, &RaporSecWindow::print);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(band);
    // A line over the choices when texts or boxes of an earlier case stand on the sheet. It stays until
    // the clerk confirms them; until then Enter prints nothing.
    QPushButton* confirmButton = nullptr;
    if (!warning.isEmpty()) {
        warning_ = new QWidget;
        auto* row = new QHBoxLayout(warning_);
        row->setContentsMargins(0, 0, 0, 0);
        auto* line = new QLabel(warning);
        Name(line, QStringLiteral("uyari"), warning);
        line->setWordWrap(true);
        QFont bold = line->font();
        bold.setBold(true);
        line->setFont(bold);
        QPalette red = line->palette();
        red.setColor(QPalette::WindowText, QColor(0xb0, 0, 0));
        line->setPalette(red);
        confirmButton = new QPushButton(QStringLiteral("Bilgiler D&oğru"));
        Name(confirmButton, QStringLiteral("cmdOnayla"), confirmButton->text());
        confirmButton->setAutoDefault(false);
        confirmButton->setToolTip(QStringLiteral("Sayfadaki personel bilgileri, kutular ve ibraname metni bu "
                                                 "kişiye ait: uyarı kalkar."));
        connect(confirmButton, &QPushButton::clicked, this, [this] {
            warning_->hide();
            warning_ = nullptr;
            print_->setDefault(true);
            if (confirmed_) confirmed_();
            options_[static_cast<size_t>(core_.secim())]->setFocus();
        });
        row->addWidget(line, 1);
        row->addWidget(confirmButton, 0, Qt::AlignVCenter);
        layout->addWidget(warning_);
    } else {
        print->setDefault(true);
    }
    if (!legalWarning.isEmpty()) {
        auto* line = new QLabel(legalWarning);
        Name(line, QStringLiteral("yasalUyari"), legalWarning);
        line->setWordWrap(true);
        line->setStyleSheet(QStringLiteral("color: #b00000"));
        layout->addWidget(line);
    }
    // What is due depends on why the employment ended: a case without a reason says so.
    if (auto reason = FesihNedeniUyarisi(core_.record())) {
        auto* line = new QLabel(QString::fromStdString(*reason));
        Name(line, QStringLiteral("fesihNedeniUyarisi"), line->text());
        line->setWordWrap(true);
        layout->addWidget(line);
    }
    // A release letter the law would make void is said before it is printed.
    if (auto late = IbranameEngeliVar(core_.record(), TodayKey())) {
        auto* line = new QLabel(QString::fromStdString(late->neden));
        Name(line, QStringLiteral("ibranameTarihiUyarisi"), line->text());
        line->setWordWrap(true);
        layout->addWidget(line);
    }
    // What the release letter lacks or holds that the law does not accept (the bank's particulars, a
    // blanket release): it is printed all the same.
    if (const std::vector<std::string> notes = IbranameUyarilari(core_.record()); !notes.empty()) {
        QString text = QStringLiteral("İbraname:");
        for (const std::string& n : notes) text += QStringLiteral("\n• ") + QString::fromStdString(n);
        auto* line = new QLabel(text);
        Name(line, QStringLiteral("ibranameUyarilari"), text);
        line->setWordWrap(true);
        layout->addWidget(line);
    }
    layout->addWidget(frame);
    layout->addLayout(buttons);

    setTabOrder(options_[0], options_[1]);
    setTabOrder(options_[1], options_[2]);
    setTabOrder(options_[2], options_[3]);
    setTabOrder(options_[3], options_[4]);
    setTabOrder(options_[4], print);
    setTabOrder(print, close);
    if (confirmButton) setTabOrder(close, confirmButton);
    options_[0]->setFocus();
    // Wide enough for the whole title.
    QFont titleFont = font();
    titleFont.setBold(true);
    setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(kPrintoutsTitle) + 120);
    FormuOrtala(*this);
}

bool RaporSecWindow::confirm(const QString& question) {
    return AskYesNo(this, kPrintoutsTitle, question);
}

void RaporSecWindow::print() {
    // A paper with figures that are not the law of its date is printed only when the clerk says so, once.
    if (!legalWarning_.isEmpty() && !legalWarningAccepted_) {
        if (!confirm(QStringLiteral("Yasal değerlerde uyarı var: ") + legalWarning_ +
                     QStringLiteral("\nYine de yazdırılsın mı?")))
            return;
        legalWarningAccepted_ = true;
    }
    // A letter dated within a month of the exit is void: printed only when the clerk says so ("Hayır" is
    // the default); a letter without its dates is refused by the fill itself, which says why.
    if (core_.secim() == frmRaporSec::IbranameSecimi) {
        const auto engel = IbranameEngeliVar(core_.record(), TodayKey());
        const bool late = engel && engel->birAy;
        if (late && !confirm(QString::fromStdString(engel->neden) +
                             QStringLiteral("\nİbraname yine de hazırlansın mı?")))
            return;
        core_.setIbranameBirAyKabul(late);
    }
    if (core_.secim() == frmRaporSec::IbranameSecimi && sheet_ && IbranameToplamiSifir(*sheet_) &&
        !confirm(QStringLiteral("İbranamenin toplamı 0,00: ibranameye dahil bir tutar yok. "
                                "İbraname yine de hazırlansın mı?")))
        return;
    core_.yazdir();
}

void RaporSecWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape: reject(); return; // whatever modifiers are held
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter on a focused button presses it; anywhere else it prints ("&Yazdır" is the default button),
        // unless a warning stands.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else if (!warning_)
            print_->click();
        return;
    default: QDialog::keyPressEvent(event);
    }
}

bool ShowPrintouts(const Record& record, const PaperFolders& folders, SpreadsheetFactory factory,
                   Messages& messages, QWidget* parent, const QString& warning, frmRaporSec::Filled filled,
                   std::function<void()> confirmed, const QString& legalWarning, const YasalDegerler* table) {
    frmRaporSec core(record, folders, std::move(factory), messages);
    core.setYasalTablo(table);
    bool any = false;
    core.setFilled([&any, filled = std::move(filled)](int secim) {
        any = true;
        if (filled) filled(secim);
    });
    RaporSecWindow window(core, warning, parent, std::move(confirmed), legalWarning);
    window.setSheet(&record);
    window.exec();
    return any;
}

} // namespace pamerol::ui
