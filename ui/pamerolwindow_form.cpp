// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's form: its fields, frames and commands made from the field table, and the record shown in them.
#include "pamerolwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "arsivwindow.h"
#include "base/conversions.h"
#include "calc/fesih.h"
#include "pamerolwindow_parts.h"
#include "pictures.h"
#include "tooltips.h"

namespace pamerol::ui {

namespace {

bool IsMultiLine(F f) {
    return Info(f).kind == Kind::MultiLineText;
}

// Day counts, amounts and rates read best right-aligned, like a column of figures.
bool IsFigure(F f) {
    const Kind k = Info(f).kind;
    return k == Kind::DayCount || k == Kind::Amount || k == Kind::Rate;
}

// Widest text a field of this kind is expected to hold, for its minimum width.
int WidthInDigits(F f) {
    const FieldInfo& i = Info(f);
    if (i.kind == Kind::DayCount && i.maxLength > 0) return i.maxLength + 1;
    switch (i.kind) {
    case Kind::Date: return 10;
    case Kind::Rate: return 6;
    case Kind::DayCount: return 7;
    default: return 13; // 999.999.999,99 and a little room
    }
}

// What a screen reader calls a field: its caption, or for the fields without one beside them, what they
// hold.
QString AccessibleCaption(F f) {
    if (!Info(f).caption.empty()) return QString::fromUtf8(Info(f).caption.data(), Info(f).caption.size());
    if (f == F::txtIbraname) return QStringLiteral("İbraname Metni");
    for (size_t i = 0; i < kBracketRows.size(); ++i) {
        if (kBracketRows[i].rate == f) return QStringLiteral("%1. Dilim Gelir Vergisi Oranı").arg(i + 1);
        if (kBracketRows[i].limit == f) return QStringLiteral("%1. Dilim Üst Sınırı").arg(i + 1);
    }
    return {};
}

// Totals and results are written by the program: shown on the window's own colour, so that they do not
// pass for input boxes, and left out of the Tab order. A click still reaches them for selecting and
// copying (and a result may still be overwritten).
bool IsShownOnly(F f) {
    if (Pamerol::readOnly(f)) return true;
    for (F r : kResultFields)
        if (r == f) return true;
    return false;
}

void FitWidth(QLineEdit* edit, int digits) {
    const QFontMetrics fm = edit->fontMetrics();
    edit->setMinimumWidth(fm.horizontalAdvance(QString(digits, u'9')) + fm.averageCharWidth() * 2);
}

// A multi-line box takes no more text than the limit, counted as the settings file stores it (a line
// break and a backslash take two characters): what an edit puts past the limit is taken back from just
// before the cursor, as a one-line box with a maximum length refuses the keys.
void LimitLength(QPlainTextEdit* edit, int limit) {
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, limit] {
        const auto stored = [](const QString& t) { return t.size() + t.count(u'\n') + t.count(u'\\'); };
        if (stored(edit->toPlainText()) <= limit) return;
        const QSignalBlocker quiet(edit);
        QTextCursor c = edit->textCursor();
        while (stored(edit->toPlainText()) > limit && c.position() > 0) c.deletePreviousChar();
        edit->setTextCursor(c);
    });
}

} // namespace

// ---- building ---------------------------------------------------------------------------------------------

// The object name is the field's or control's code (tests find it by that); a screen reader reads the
// caption the clerk sees, without its access-key mark.
void PamerolWindow::name(QWidget* w, const QString& objectName, const QString& caption) {
    w->setObjectName(objectName);
    if (!caption.isEmpty()) w->setAccessibleName(QString(caption).remove(u'&').trimmed());
}

QWidget* PamerolWindow::makeField(F f, const QString& caption) {
    QWidget* widget = nullptr;
    if (Info(f).kind == Kind::Choice) {
        // The termination reasons by their captions; the record keeps the code.
        auto* choice = new QComboBox;
        for (const TerminationReason& reason : kTerminationReasons)
            choice->addItem(ToQ(reason.caption), ToQ(reason.code));
        choice->setToolTip(FieldTooltip(f));
        connect(choice, &QComboBox::currentIndexChanged, this, [this, f] { edited(f); });
        widget = choice;
    } else if (IsMultiLine(f)) {
        auto* text = new QPlainTextEdit;
        text->setTabChangesFocus(true);
        text->setToolTip(FieldTooltip(f));
        if (const int limit = TypingLimit(f)) LimitLength(text, limit);
        connect(text, &QPlainTextEdit::textChanged, this, [this, f] { edited(f); });
        widget = text;
    } else {
        auto* edit = new QLineEdit;
        if (IsDate(f)) edit->setInputMask(kDateMask);
        if (IsFigure(f)) edit->setAlignment(Qt::AlignRight);
        edit->setReadOnly(Pamerol::readOnly(f));
        if (const int limit = TypingLimit(f)) edit->setMaxLength(limit);
        FitWidth(edit, WidthInDigits(f));
        // Maximised, a box grows a little but not across the whole window.
        edit->setMaximumWidth(IsFigure(f) || IsDate(f) ? edit->minimumWidth() * 3 / 2 : QWIDGETSIZE_MAX);
        if (IsShownOnly(f)) {
            edit->setFocusPolicy(Qt::ClickFocus);
            QPalette shownOnly = edit->palette();
            shownOnly.setColor(QPalette::Base, shownOnly.color(QPalette::Window));
            edit->setPalette(shownOnly);
        }
        // Drops would bypass the cleaning of pasted amounts.
        if (CleansPastedAmount(f)) edit->setAcceptDrops(false);
        edit->setToolTip(FieldTooltip(f));
        connect(edit, &QLineEdit::textChanged, this, [this, f] { edited(f); });
        widget = edit;
    }
    name(widget, ToQ(FieldName(f)), caption.isEmpty() ? AccessibleCaption(f) : caption);
    widgets_[static_cast<size_t>(f)] = widget;
    fieldOf_.insert(widget, f);
    focusOrder_.push_back(widget);
    return widget;
}

QPushButton* PamerolWindow::makeButton(const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setAutoDefault(true); // Enter on a focused button presses it
    name(button, QString::fromLatin1(objectName), caption);
    focusOrder_.push_back(button);
    return button;
}

QCheckBox* PamerolWindow::makeCheck(const char* objectName, void (Record::*set)(int), int which) {
    auto* box = new QCheckBox(QStringLiteral("İbranameye Dahil Et"));
    name(box, QString::fromLatin1(objectName), box->text());
    connect(box, &QCheckBox::stateChanged, this, [this, set, which](int state) {
        if (mirroring_) return;
        particulars_.boxEdited(which);
        (core_.record().*set)(state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0);
    });
    return box;
}

QFormLayout* PamerolWindow::formOf(QGroupBox* box) {
    return static_cast<QFormLayout*>(box->layout());
}

QGroupBox* PamerolWindow::frame(std::string_view title) {
    auto* box = new QGroupBox(ToQ(title));
    auto* form = new QFormLayout(box);
    for (const FieldInfo& i : kFieldTable)
        if (i.frame == title && !i.hidden) form->addRow(ToQ(i.caption), makeField(i.field, ToQ(i.caption)));
    return box;
}

QWidget* PamerolWindow::buildUpperArea() {
    auto* area = new QWidget;
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);

    auto* left = new QVBoxLayout;
    left->addWidget(frame("Personelin"));
    auto* mode = new QGroupBox(QStringLiteral("Hesap Şekli"));
    auto* modeLayout = new QVBoxLayout(mode);
    option1_ = new QRadioButton(QStringLiteral("G&iriş Çıkış Tarihine Göre"));
    option2_ = new QRadioButton(QStringLiteral("Prim G&ününe Göre "));
    for (auto [button, id] : {std::pair{option1_, "Option1"}, std::pair{option2_, "Option2"}}) {
        name(button, QString::fromLatin1(id), button->text());
        modeLayout->addWidget(button);
        focusOrder_.push_back(button);
    }
    connect(option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !mirroring_) core_.record().setMode(Mode::Dates);
    });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !mirroring_) core_.record().setMode(Mode::PremiumDays);
    });
    left->addWidget(mode);
    left->addStretch();
    row->addLayout(left);

    row->addWidget(frame("Prim Günü"), 0, Qt::AlignTop);
    row->addWidget(frame("Ücret"), 0, Qt::AlignTop);
    row->addWidget(buildCommands());
    left->insertWidget(2, toplu_, 0, Qt::AlignLeft);
    return area;
}

QWidget* PamerolWindow::buildCommands() {
    auto* commands = new QWidget;
    auto* column = new QVBoxLayout(commands);
    column->setContentsMargins(0, 0, 0, 0);
    command2_ = makeButton("Command2", QStringLiteral("&Hesapla"));
    command3_ = makeButton("Command3", QStringLiteral("&Dökümler"));
    QPushButton* command4 = makeButton("Command4", QStringLiteral("&Boşalt"));
    QPushButton* newEmployee = makeButton("cmdYeniPersonel", QStringLiteral("&Yeni Personel"));
    newEmployee->setToolTip(
        QStringLiteral("Sayfayı boşaltır ve bir sonraki personel için personel bilgilerini "
                       "temizler, iki \"İbranameye Dahil Et\" kutusunu işaretler ve "
                       "standart ibraname metnini geri koyar."));
    QPushButton* command1 = makeButton("Command1", QStringLiteral("&Kapat"));
    // The archive's access key is none of the buttons', the tabs' or "&Güncelleme"/"Hakkı&nda"'s.
    archive_ = makeButton("cmdArsiv", QStringLiteral("A&rşiv"));
    archive_->hide();
    for (QPushButton* b : {command2_, command3_, command4, newEmployee, archive_, command1})
        column->addWidget(b);
    // Made after the commands, for the focus order; placed under "Hesap Şekli" (buildUpperArea), so that
    // the window still fits a small screen. Its access key is no other's either.
    toplu_ = makeButton("cmdTopluHesap", QStringLiteral("Topl&u Hesap"));
    toplu_->setToolTip(
        QStringLiteral("Personel tablosundaki (Excel, LibreOffice ya da CSV) herkesin kıdem ve "
                       "ihbar tazminatını birlikte hesaplar; sayfa bu sırada kullanılabilir."));
    connect(toplu_, &QPushButton::clicked, this, &PamerolWindow::showToplu);
    connect(archive_, &QPushButton::clicked, this, [this] { ShowArchive(*keeper_, core_, *this); });
    connect(command2_, &QPushButton::clicked, this, &PamerolWindow::hesapla);
    connect(command3_, &QPushButton::clicked, this, &PamerolWindow::showPrintouts);
    connect(command4, &QPushButton::clicked, this, &PamerolWindow::bosalt);
    connect(newEmployee, &QPushButton::clicked, this, &PamerolWindow::yeniPersonel);
    connect(command1, &QPushButton::clicked, this, &QWidget::close);
    column->addStretch();

    auto* picture = new QToolButton;
    name(picture, QStringLiteral("Image2"), QStringLiteral("Yardım"));
    picture->setToolTip(QStringLiteral("Yardım (F1): programın kullanımı ve hesabın açıklaması"));
    picture->setAutoRaise(true);
    picture->setCursor(Qt::PointingHandCursor);
    const int size = fontMetrics().height() * 3;
    picture->setIconSize(QSize(size, size));
    picture->setIcon(Picture(kBilgiPicture, size, devicePixelRatioF()));
    connect(picture, &QToolButton::clicked, this, &PamerolWindow::showHelp);
    column->addWidget(picture, 0, Qt::AlignHCenter);

    auto* law = new QLabel(QStringLiteral("<a href=\"4857\">İş Kanunu İndir</a>"));
    name(law, QStringLiteral("Label45"), QStringLiteral("İş Kanunu İndir"));
    law->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(law, &QLabel::linkActivated, this, [this] { core_.openLink(Link::IsKanunu, desktop_); });
    column->addWidget(law, 0, Qt::AlignHCenter);
    focusOrder_.push_back(picture);
    focusOrder_.push_back(law);
    return commands;
}

// A tab page with its frames in a row, aligned at the top.
QWidget* PamerolWindow::framesSideBySide(std::initializer_list<QWidget*> frames) {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    for (QWidget* f : frames) row->addWidget(f, 0, Qt::AlignTop);
    row->addStretch();
    return page;
}

// ---- record -> widgets ------------------------------------------------------------------------------------

std::string PamerolWindow::widgetText(F f) const {
    QWidget* w = fieldWidget(f);
    if (auto* choice = qobject_cast<QComboBox*>(w)) return choice->currentData().toString().toStdString();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        // The record keeps line breaks as CR LF, as the settings file and the printouts expect.
        return text->toPlainText().replace(u'\n', QStringLiteral("\r\n")).toStdString();
    }
    auto* edit = static_cast<QLineEdit*>(w);
    // A masked date holds its prompts: "__.__.____" when empty, where text() would give "..".
    return (IsDate(f) ? edit->displayText() : edit->text()).toStdString();
}

QString PamerolWindow::shownText(F f, const std::string& text) const {
    if (!IsSettingsAmount(f) || fieldWidget(f)->hasFocus()) return ToQ(text);
    // Only a text the pattern shows without rounding: the box never shows a figure the calculation
    // does not use.
    const std::string grouped = ApplyAmountPattern(text);
    const auto before = ParseNumber(text), after = ParseNumber(grouped);
    return before && after && *before == *after ? ToQ(grouped) : ToQ(text);
}

void PamerolWindow::showField(F f) {
    const std::string& text = core_.record().text(f);
    if (HasCheckDigits(f)) showCheckWarning(f, fieldWidget(f)->hasFocus());
    const QString shown = shownText(f, text);
    QWidget* w = fieldWidget(f);
    if (auto* choice = qobject_cast<QComboBox*>(w)) {
        if (widgetText(f) == text) return;
        const TerminationReason* reason = TerminationReasonOf(text);
        QScopedValueRollback guard(mirroring_, true);
        choice->setCurrentIndex(reason ? static_cast<int>(reason - kTerminationReasons.data()) : 0);
        return;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        if (widgetText(f) == text) return;
        QScopedValueRollback guard(mirroring_, true);
        plain->setPlainText(shown);
        return;
    }
    auto* edit = static_cast<QLineEdit*>(w);
    if ((IsDate(f) ? edit->displayText() : edit->text()) == shown) return;
    QScopedValueRollback guard(mirroring_, true);
    // A longer text from the settings file is shown whole; only typing is held to the limit.
    if (const int limit = TypingLimit(f)) edit->setMaxLength(std::max<int>(limit, shown.size()));
    edit->setText(shown);
}

void PamerolWindow::showCheckWarning(F f, bool whileTyping) {
    const std::string& text = core_.record().text(f);
    const auto warning = f == F::txtTcKNo  ? TcKimlikNoUyarisi(text)
                         : f == F::txtIBAN ? IbanUyarisi(text)
                                           : VergiNoUyarisi(text);
    QLabel* note = f == F::txtTcKNo ? tcUyarisi_ : f == F::txtIBAN ? ibanUyarisi_ : vergiNoUyarisi_;
    // While the number is being typed, a warning only goes; it comes when the box is left.
    if (whileTyping && warning && note->isHidden()) return;
    note->setText(ToQ(warning.value_or("")));
    note->setVisible(warning.has_value());
}

void PamerolWindow::showStates() {
    const Record& r = core_.record();
    QScopedValueRollback guard(mirroring_, true);
    option1_->setChecked(r.mode() == Mode::Dates);
    option2_->setChecked(r.mode() == Mode::PremiumDays);
    for (auto [box, value] : {std::pair{check1_, r.check1()}, std::pair{check2_, r.check2()}}) {
        box->setTristate(value == 2); // greyed only when the record says so; a click ticks or unticks
        box->setCheckState(value == 2 ? Qt::PartiallyChecked : value == 1 ? Qt::Checked : Qt::Unchecked);
    }
    command3_->setEnabled(r.command3Enabled());
    aciklama_->setEnabled(r.command3Enabled());
    showResultNotes();
}

void PamerolWindow::showResultNotes() {
    const YasalDegerler* table = core_.record().command3Enabled() ? yasalTablo() : nullptr;
    SonucNotlari notes = HesapNotlari(core_.record(), table, TodayKey());
    // Every legal figure that is not the law of the case's date, the ceiling among them.
    if (const std::string all = UyariParagrafi(yasalUyarilar()); !all.empty()) notes.tavanUyarisi = all;
    for (auto [label, text] :
         {std::pair{tavanUyarisi_, &notes.tavanUyarisi}, std::pair{asgariUcretNotu_, &notes.asgariUcretNotu},
          std::pair{kidemDurumu_, &notes.kidemDurumu}, std::pair{ihbarDurumu_, &notes.ihbarDurumu}}) {
        label->setText(ToQ(text->value_or("")));
        label->setVisible(text->has_value());
    }
}

} // namespace pamerol::ui
