// SPDX-License-Identifier: GPL-3.0-or-later
// The contents of the sheet's tabs: Kıdem, İhbar, Sabitler, İşveren, Personel and Güncelleme.
#include "pamerolwindow.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "hakkinda.h"
#include "pamerol/version.h"
#include "pamerolwindow_parts.h"
#include "qtmessages.h"
#include "sheet/profile.h"

namespace pamerol::ui {

namespace {

void FitLines(QPlainTextEdit* edit, int lines) {
    const int margin = static_cast<int>(edit->document()->documentMargin()) * 2 + edit->frameWidth() * 2;
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * lines + margin);
}

void MakeRed(QLabel* label) {
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(red);
}

// A note shown under a result only while it applies.
QLabel* ResultNote(const char* objectName) {
    QLabel* note = WrappedLabel({});
    note->setObjectName(QString::fromLatin1(objectName));
    note->hide();
    return note;
}

} // namespace

QWidget* PamerolWindow::buildKidemTab() {
    QGroupBox* days = frame("Kıdem Gün Dökümü");
    int row = 0;
    QFormLayout::ItemRole role{};

    QGroupBox* amounts = frame("Kıdem Tazminatı Hesabı");
    // A ceiling other than the one in force on the exit date is pointed out under the ceiling figure.
    tavanUyarisi_ = ResultNote("tavanUyarisi");
    MakeRed(tavanUyarisi_);
    formOf(amounts)->getWidgetPosition(fieldWidget(F::BKTAZ), &row, &role);
    formOf(amounts)->insertRow(row + 1, tavanUyarisi_);
    kidemDurumu_ = ResultNote("kidemDurumu");
    MakeRed(kidemDurumu_);
    formOf(amounts)->insertRow(0, kidemDurumu_);
    check1_ = makeCheck("Check1", &Record::setCheck1, 1);
    focusOrder_.push_back(check1_);
    formOf(amounts)->addRow(check1_);

    return framesSideBySide({days, amounts});
}

QWidget* PamerolWindow::buildIhbarTab() {
    QGroupBox* days = frame("İhbar Tazminatı Gün Dökümü");
    QGroupBox* amounts = frame("İhbar Tazminatı Hesabı");
    ihbarDurumu_ = ResultNote("ihbarDurumu");
    MakeRed(ihbarDurumu_);
    formOf(amounts)->insertRow(0, ihbarDurumu_);
    asgariUcretNotu_ = ResultNote("asgariUcretNotu");
    formOf(amounts)->addRow(asgariUcretNotu_);
    check2_ = makeCheck("Check2", &Record::setCheck2, 2);
    focusOrder_.push_back(check2_);
    formOf(amounts)->addRow(check2_);

    return framesSideBySide({days, amounts});
}

QWidget* PamerolWindow::buildSabitlerTab() {
    QGroupBox* rates = frame("Oranlar");

    // Bracket rows: rate and limit side by side, a "+" after the last limit; the hidden sixth row exists
    // but is never shown.
    auto* brackets = new QGroupBox(QStringLiteral("GV Dilim. ve Oranları"));
    auto* grid = new QGridLayout(brackets);
    // Column headings over the rows: what each box of a row holds.
    grid->addWidget(new QLabel(QStringLiteral("Oran %")), 0, 0, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("Üst Sınır")), 0, 1, Qt::AlignRight);
    const int shown = static_cast<int>(kBracketRows.size());
    for (int i = 0; i < shown; ++i) {
        grid->addWidget(makeField(kBracketRows[static_cast<size_t>(i)].rate, {}), i + 1, 0);
        grid->addWidget(makeField(kBracketRows[static_cast<size_t>(i)].limit, {}), i + 1, 1);
    }
    int column = 0;
    for (const FieldInfo& i : kFieldTable)
        if (i.frame == "GV Dilim. ve Oranları" && i.hidden) {
            QWidget* w = makeField(i.field, {});
            grid->addWidget(w, shown + 1, column++);
            w->hide();
        }
    grid->addWidget(new QLabel(QStringLiteral("+")), shown, 2);
    grid->setRowStretch(shown + 2, 1);

    QGroupBox* notice = frame("İhbar Tazminatı (Gün)");

    QWidget* page = framesSideBySide({rates, brackets, notice});
    QPushButton* fetch = makeButton("cmdYasalDegerler", QStringLiteral("Çıkış &Tarihine Göre Getir"));
    fetch->setToolTip(
        QStringLiteral("Çıkış tarihinde geçerli damga vergisi oranını, kıdem tazminatı tavanını, "
                       "gelir vergisi dilimlerini ve ihbar sürelerini yasal değerler "
                       "tablosundan getirir ve ayarlara kaydeder."));
    connect(fetch, &QPushButton::clicked, this, &PamerolWindow::getYasalDegerler);
    yasalOtomatik_ = new QCheckBox(QStringLiteral("Yasal değerleri çıkış tarihine göre a&l"));
    name(yasalOtomatik_, QStringLiteral("chkYasalOtomatik"), yasalOtomatik_->text().remove(QLatin1Char('&')));
    yasalOtomatik_->setToolTip(QStringLiteral(
        "Açıkken her hesap, damga vergisi oranını, kıdem tazminatı tavanını ve gelir vergisi dilimlerini "
        "çıkış tarihinde (prim gününe göre hesapta hesap gününde) geçerli yasal değerler tablosundan alır; "
        "kıdem günü ve ihbar süreleri yasal değerden azsa yükseltilir, fazlaysa (sözleşme) korunur. Bu "
        "hesap için elle yazdığınız değer korunur ve sonuçta belirtilir. Bu değerler ayarlarınıza "
        "kaydedilmez."));
    connect(yasalOtomatik_, &QCheckBox::toggled, this, [this](bool on) {
        if (mirroring_) return;
        core_.setYasalOtomatik(on);
        if (auto saved = IniYaz(core_.iniYolu(), "Pamerol", "YasalOtomatik", on ? "1" : "0"); !saved)
            QtMessages(kSheetTitle).show(saved.error().message, MessageIcon::Warning);
    });
    // The button beside the frames it fills, before the row's closing stretch; the switch below them.
    static_cast<QHBoxLayout*>(page->layout())->insertWidget(3, fetch, 0, Qt::AlignTop);
    auto* tab = new QWidget;
    auto* tabColumn = new QVBoxLayout(tab);
    tabColumn->setContentsMargins(0, 0, 0, 0);
    tabColumn->addWidget(page);
    tabColumn->addWidget(yasalOtomatik_);
    return tab;
}

// Under a number's box ("Vergi No.", "T.C. Kimlik No", "IBAN") while the number fails its check; a warning
// only.
QLabel* PamerolWindow::checkNoteUnder(F f, const char* name) {
    QFormLayout* form = formOf(static_cast<QGroupBox*>(fieldWidget(f)->parentWidget()));
    QLabel* note = ResultNote(name);
    MakeRed(note);
    int row = -1;
    QFormLayout::ItemRole role;
    form->getWidgetPosition(fieldWidget(f), &row, &role);
    if (row < 0)
        form->addRow(note);
    else
        form->insertRow(row + 1, note);
    return note;
}

QWidget* PamerolWindow::buildIsverenTab() {
    QGroupBox* employer = frame("İşveren Bilgileri");
    FitLines(static_cast<QPlainTextEdit*>(fieldWidget(F::txtUnvani)), 3);
    FitLines(static_cast<QPlainTextEdit*>(fieldWidget(F::txtAdresi)), 3);
    vergiNoUyarisi_ = checkNoteUnder(F::txtVergiNo, "vergiNoUyarisi");

    auto* release = new QGroupBox(QStringLiteral("İbraname Metni"));
    auto* releaseLayout = new QVBoxLayout(release);
    auto* text = static_cast<QPlainTextEdit*>(makeField(F::txtIbraname, {}));
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FitLines(text, 6);
    text->setMinimumHeight(text->height());
    text->setMaximumHeight(QWIDGETSIZE_MAX);
    releaseLayout->addWidget(text);

    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    row->addWidget(employer, 2);
    row->addWidget(release, 3);
    return page;
}

QWidget* PamerolWindow::buildPersonelTab() {
    QGroupBox* employee = frame("Personel");
    FitLines(static_cast<QPlainTextEdit*>(fieldWidget(F::txtAdres)), 3);
    // How the payments were made, which the release letter states (TBK m. 420).
    QGroupBox* payment = frame("Ödeme Bilgileri");
    FitLines(static_cast<QPlainTextEdit*>(fieldWidget(F::txtEkOdemeler)), 3);
    tcUyarisi_ = checkNoteUnder(F::txtTcKNo, "tcUyarisi");
    ibanUyarisi_ = checkNoteUnder(F::txtIBAN, "ibanUyarisi");
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    row->addWidget(employee, 1, Qt::AlignTop);
    row->addWidget(payment, 1, Qt::AlignTop);
    return page;
}

// Unused annual leave: its days and the month's premium base already reported, and the pay worked out.
QWidget* PamerolWindow::buildIzinTab() {
    return framesSideBySide({frame("İzin Bilgileri"), frame("İzin Ücreti Hesabı")});
}

QWidget* PamerolWindow::buildGuncellemeTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addWidget(WrappedLabel(QStringLiteral(
        "Kıdem ve İhbar Tazminatı Hesaplama Programı Üzerinde Yapılan Değişiklikleri, Yenilikleri Almak İçin "
        "Aşağıdaki Güncelleme Butonuna Basınız.")));
    QPushButton* update = makeButton("cmdGuncelleme", QStringLiteral("&Güncelleme"));
    connect(update, &QPushButton::clicked, this, [this] { core_.openLink(Link::Guncelleme, desktop_); });
    column->addWidget(update, 0, Qt::AlignLeft);
    auto* last = new QHBoxLayout;
    last->addWidget(new QLabel(QStringLiteral("Son Güncelleme:")));
    last->addWidget(new QLabel(ToQ(kReleaseDate)));
    last->addStretch();
    column->addLayout(last);
    QPushButton* about = makeButton("cmdHakkinda", QStringLiteral("Hakkı&nda"));
    connect(about, &QPushButton::clicked, this, [this] { ShowAbout(this, ToQ(core_.iniYolu())); });
    column->addWidget(about, 0, Qt::AlignLeft);
    column->addStretch();
    return page;
}

} // namespace pamerol::ui
