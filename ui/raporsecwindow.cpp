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

namespace pamerol::ui {

namespace {

void Name(QWidget* w, const QString& objectName, const QString& caption = {}) {
    w->setObjectName(objectName);
    w->setAccessibleName(objectName);
    if (!caption.isEmpty()) w->setAccessibleDescription(caption);
}

} // namespace

RaporSecWindow::RaporSecWindow(frmRaporSec& core, const QString& warning, QWidget* parent,
                               const QString& legalWarning)
    : QDialog(parent), core_(core), legalWarning_(legalWarning) {
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
    const std::array<QString, 3> captions = {QStringLiteral("Kıdem Bordrosu"),
                                             QStringLiteral("İhbar Bordrosu"), QStringLiteral("İbraname")};
    for (int i = 0; i < 3; ++i) {
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
    print->setDefault(true);
    connect(print, &QPushButton::clicked, this, [this] {
        // A paper with figures that are not the law of its date is printed only when the clerk says so.
        if (!legalWarning_.isEmpty() && !legalWarningAccepted_) {
            QMessageBox ask(QMessageBox::Warning, windowTitle(),
                            QStringLiteral("Yasal değerlerde uyarı var: ") + legalWarning_ +
                                QStringLiteral("\nYine de yazdırılsın mı?"),
                            QMessageBox::Yes | QMessageBox::No, this);
            ask.button(QMessageBox::Yes)->setText(QStringLiteral("Evet"));
            ask.button(QMessageBox::No)->setText(QStringLiteral("Hayır"));
            ask.setDefaultButton(QMessageBox::No);
            if (ask.exec() != QMessageBox::Yes) return;
            legalWarningAccepted_ = true;
        }
        core_.yazdir();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(band);
    // A plain line over the choices, for instance when the employee's particulars belong to an earlier case.
    if (!warning.isEmpty()) {
        auto* line = new QLabel(warning);
        Name(line, QStringLiteral("uyari"), warning);
        line->setWordWrap(true);
        QFont bold = line->font();
        bold.setBold(true);
        line->setFont(bold);
        layout->addWidget(line);
    }
    if (!legalWarning.isEmpty()) {
        auto* line = new QLabel(legalWarning);
        Name(line, QStringLiteral("yasalUyari"), legalWarning);
        line->setWordWrap(true);
        line->setStyleSheet(QStringLiteral("color: #b00000"));
        layout->addWidget(line);
    }
    // A release letter dated within a month of the exit may be void: said before it is printed.
    if (auto late = IbranameTarihUyarisi(core_.record(), TodayKey())) {
        auto* line = new QLabel(QString::fromStdString(*late));
        Name(line, QStringLiteral("ibranameTarihiUyarisi"), line->text());
        line->setWordWrap(true);
        layout->addWidget(line);
    }
    layout->addWidget(frame);
    layout->addLayout(buttons);

    setTabOrder(options_[0], options_[1]);
    setTabOrder(options_[1], options_[2]);
    setTabOrder(options_[2], print);
    setTabOrder(print, close);
    options_[0]->setFocus();
    FormuOrtala(*this);
}

void RaporSecWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape: reject(); return; // whatever modifiers are held
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter on a focused button presses it; anywhere else it prints ("&Yazdır" is the default button).
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            print_->click();
        return;
    default: QDialog::keyPressEvent(event);
    }
}

void ShowPrintouts(const Record& record, const PaperFolders& folders, SpreadsheetFactory factory,
                   Messages& messages, QWidget* parent, const QString& warning, frmRaporSec::Filled filled,
                   const QString& legalWarning) {
    frmRaporSec core(record, folders, std::move(factory), messages);
    core.setFilled(std::move(filled));
    RaporSecWindow window(core, warning, parent, legalWarning);
    window.exec();
}

} // namespace pamerol::ui
