// SPDX-License-Identifier: GPL-3.0-or-later
#include "pamerolwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "archive/arsiv_yolu.h"
#include "archive/case_keeper.h"
#include "arsivwindow.h"
#include "base/conversions.h"
#include "figures/ayar_surumu.h"
#include "hakkinda.h"
#include "pamerol/version.h"
#include "pamerolwindow_parts.h"
#include "pictures.h"
#include "qtmessages.h"
#include "sheet/profile.h"
#include "tooltips.h"
#include "toplu_window.h"

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

// The character a key press types, as the sheet's key rules see it, or nothing for keys that move or delete
// without typing. Ctrl with a letter types its control code (Ctrl+C, Ctrl+V, Ctrl+X: 3, 22, 24); Ctrl+A is
// the select-all command of every box and types nothing.
std::optional<char32_t> TypedCharacter(const QKeyEvent* e) {
    if (e->matches(QKeySequence::SelectAll)) return std::nullopt;
    // Copy, cut and paste are commands of every box, not characters.
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Paste))
        return std::nullopt;
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (mods == Qt::ControlModifier && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
        return static_cast<char32_t>(e->key() - Qt::Key_A + 1);
    if (e->key() == Qt::Key_Backspace) return 8;
    // Other Ctrl shortcuts type nothing. Alt (or AltGr) with a key that is no access key does reach the
    // field and would type its character, so that character goes through the key rules too.
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) return std::nullopt;
    const QList<uint> cps = e->text().toUcs4();
    // Tab, Delete, arrows and the like move or delete without typing a character.
    if (cps.size() != 1 || cps.front() < 0x20 || cps.front() == 0x7f) return std::nullopt;
    return static_cast<char32_t>(cps.front());
}

// Alt with a key that is no access key: on this desktop AltGr is no Alt, so such a key is never meant to
// type a character, and no box takes it.
bool IsStrayAltKey(const QKeyEvent* e) {
    const auto mods = e->modifiers();
    return (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !e->text().isEmpty();
}

bool IsEnter(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

// Boxes in which Enter moves on to the next box: the particulars and the employer's texts.
bool EnterMovesOn(F f) {
    return Info(f).tab == Tab::Personel || Info(f).tab == Tab::Isveren;
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

bool IsKeypadDecimal(const QKeyEvent* e) {
    return (e->modifiers() & Qt::KeypadModifier) && (e->text() == u'.' || e->text() == u',');
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

PamerolWindow::PamerolWindow(Pamerol& core, Desktop& desktop, PrintoutsOpener openPrintouts, QWidget* parent)
    : QWidget(parent), core_(core), desktop_(desktop), openPrintouts_(std::move(openPrintouts)) {
    setObjectName(QStringLiteral("Pamerol"));
    setWindowTitle(kSheetTitle);
    setWindowIcon(QIcon(Picture(kBilgiPicture, 64, 1)));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildUpperArea());
    tabs_ = new QTabWidget;
    focusOrder_.push_back(tabs_);
    // Beside the results, at the end of the tab bar (the window keeps its size): how each figure was
    // reached. Its access key is no other button's or tab's; it comes right after the tab bar with Tab.
    aciklama_ = makeButton("cmdAciklama", QStringLiteral("Nasıl H&esaplandı?"));
    aciklama_->setToolTip(QStringLiteral("Hesabın açıklaması: her sonucun hangi değerlerden ve nasıl "
                                         "hesaplandığı, kullanılan yasal değerlerin dönemi ve kaynağı"));
    connect(aciklama_, &QPushButton::clicked, this, &PamerolWindow::showStatement);
    tabs_->setCornerWidget(aciklama_, Qt::TopRightCorner);
    // Access keys of the tabs: none of them is one of the buttons' (Alt+H, Alt+D, Alt+B, Alt+K) nor the
    // "&Güncelleme" button's.
    tabs_->addTab(buildKidemTab(), QStringLiteral("Kıde&m"));
    tabs_->addTab(buildIhbarTab(), QStringLiteral("İhb&ar"));
    tabs_->addTab(buildSabitlerTab(), QStringLiteral("&Sabitler"));
    tabs_->addTab(buildIsverenTab(), QStringLiteral("İş&veren"));
    tabs_->addTab(buildPersonelTab(), QStringLiteral("&Personel"));
    tabs_->addTab(buildGuncellemeTab(), QStringLiteral("Gün&celleme"));
    // Maximised, the tabs keep their height and the space left stays below them.
    layout->addWidget(tabs_);
    layout->addStretch(1);

    for (size_t i = 1; i < focusOrder_.size(); ++i) setTabOrder(focusOrder_[i - 1], focusOrder_[i]);
    // Escape and the tab keys work from whichever control has the focus.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("ipucu"));
    hint_->setFrameShape(QFrame::Box);
    hint_->setAutoFillBackground(true);
    hint_->setBackgroundRole(QPalette::ToolTipBase);
    hint_->setForegroundRole(QPalette::ToolTipText);
    hint_->setFocusPolicy(Qt::NoFocus);
    hint_->setMargin(3);
    hint_->hide();
    hintTimer_ = new QTimer(this);
    hintTimer_->setSingleShot(true);
    hintTimer_->setInterval(2500);
    connect(hintTimer_, &QTimer::timeout, hint_, &QWidget::hide);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &PamerolWindow::showHelp);

    for (int i = 0; i < kFieldCount; ++i) showField(static_cast<F>(i));
    showStates();
    core_.record().setObserver([this](std::optional<F> f) { f ? showField(*f) : showStates(); });
}

PamerolWindow::~PamerolWindow() {
    core_.record().setObserver(nullptr);
}

// ---- building ---------------------------------------------------------------------------------------------

// The object name is the field's or control's code (tests find it by that); a screen reader reads the
// caption the clerk sees, without its access-key mark.
void PamerolWindow::name(QWidget* w, const QString& objectName, const QString& caption) {
    w->setObjectName(objectName);
    if (!caption.isEmpty()) w->setAccessibleName(QString(caption).remove(u'&').trimmed());
}

QWidget* PamerolWindow::makeField(F f, const QString& caption) {
    QWidget* widget = nullptr;
    if (IsMultiLine(f)) {
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
    option1_ = new QRadioButton(QStringLiteral("Giriş Çıkış Tarihine Göre"));
    option2_ = new QRadioButton(QStringLiteral("Prim Gününe Göre "));
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

void PamerolWindow::setArchive(CaseKeeper* keeper) {
    keeper_ = keeper;
    archive_->setVisible(keeper != nullptr);
}

void PamerolWindow::showStoredCase(const std::function<void(Record&)>& put) {
    core_.showStoredCase(put);
    particulars_.confirmed(); // the stored case's particulars are its own
}

// ---- record -> widgets ------------------------------------------------------------------------------------

std::string PamerolWindow::widgetText(F f) const {
    QWidget* w = fieldWidget(f);
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
    if (f == F::txtTcKNo) showTcWarning(fieldWidget(f)->hasFocus());
    const QString shown = shownText(f, text);
    QWidget* w = fieldWidget(f);
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

void PamerolWindow::showTcWarning(bool whileTyping) {
    const auto warning = TcKimlikNoUyarisi(core_.record().text(F::txtTcKNo));
    // While the number is being typed, a warning only goes; it comes when the box is left.
    if (whileTyping && warning && tcUyarisi_->isHidden()) return;
    tcUyarisi_->setText(ToQ(warning.value_or("")));
    tcUyarisi_->setVisible(warning.has_value());
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

// ---- the legal figures ------------------------------------------------------------------------------------

void PamerolWindow::setYasalDegerlerYolu(std::string path) {
    yasalDegerlerYolu_ = std::move(path);
    // A settings file of an older version gains, once, the legal figures later versions added.
    const Expected<std::optional<std::string>> upgrade =
        AyarDosyasiniYukselt(core_.iniYolu(), yasalTablo(), TodayKey());
    QtMessages own(kSheetTitle);
    own.setWindow(this);
    Messages& messages = messages_ ? static_cast<Messages&>(*messages_) : own;
    if (!upgrade) {
        messages.show(upgrade.error().message, MessageIcon::Warning);
    } else if (*upgrade) {
        core_.ayarlariOku();
        messages.show(**upgrade, MessageIcon::Information);
    }
    const std::string stored = IniOku(core_.iniYolu(), "Pamerol", "YasalOtomatik");
    const bool on = stored.empty() ? yasalTablo() != nullptr : stored == "1";
    core_.setYasalOtomatik(on);
    QScopedValueRollback guard(mirroring_, true);
    yasalOtomatik_->setChecked(on);
}

const YasalDegerler* PamerolWindow::yasalTablo() {
    // Read once, at the first need; a table that cannot be read gives no figures and no warning here (the
    // command that fetches the figures names its fault).
    if (!yasalDegerlerDenendi_ && !yasalDegerlerYolu_.empty()) {
        yasalDegerlerDenendi_ = true;
        yasalDegerler_ = YasalDegerler::Load(yasalDegerlerYolu_, nullptr);
    }
    return yasalDegerler_ ? &*yasalDegerler_ : nullptr;
}

std::vector<YasalUyari> PamerolWindow::yasalUyarilar() {
    const Record& r = core_.record();
    if (!r.command3Enabled()) return {};
    const YasalDegerler* table = yasalTablo();
    const std::optional<int> date = YasalTarih(r, TodayKey());
    if (!table || !date) return {};
    return YasalUyarilar(r, *table, *date);
}

void PamerolWindow::calculate(const std::string& note) {
    const YasalDegerler* table = yasalTablo();
    RecordedMessages said;
    core_.hesapla(
        [&](Record& r) {
            if (table)
                TarihinYasalDegerleriniUygula(
                    r, *table, YasalTarih(r, TodayKey()), [this](F f) { return core_.elleGirildi(f); },
                    AsgariKurali::Yukseltir);
        },
        &said);
    // The result box gains a paragraph naming each legal figure that is not the law of the case's date.
    const std::string paragraph = UyariParagrafi(yasalUyarilar());
    QtMessages own(kSheetTitle);
    own.setWindow(this);
    Messages& messages = messages_ ? static_cast<Messages&>(*messages_) : own;
    for (const RecordedMessages::Entry& e : said.entries) {
        if (e.icon != MessageIcon::Information) {
            messages.show(e.text, e.icon);
            continue;
        }
        // The result box: the amounts, a note on a zero wage, then the legal warnings.
        std::string text = e.text;
        if (!note.empty()) text += "\r\n\r\n" + note;
        if (!paragraph.empty()) text += "\r\n\r\n" + paragraph;
        messages.show(text, paragraph.empty() ? MessageIcon::Information : MessageIcon::Warning);
    }
    showResultNotes();
}

void PamerolWindow::showResultNotes() {
    const YasalDegerler* table = core_.record().command3Enabled() ? yasalTablo() : nullptr;
    SonucNotlari notes = HesapNotlari(core_.record(), table, TodayKey());
    // Every legal figure that is not the law of the case's date, the ceiling among them.
    if (const std::string all = UyariParagrafi(yasalUyarilar()); !all.empty()) notes.tavanUyarisi = all;
    for (auto [label, text] : {std::pair{tavanUyarisi_, &notes.tavanUyarisi},
                               std::pair{asgariUcretNotu_, &notes.asgariUcretNotu}}) {
        label->setText(ToQ(text->value_or("")));
        label->setVisible(text->has_value());
    }
}

// ---- widgets -> record ------------------------------------------------------------------------------------

void PamerolWindow::edited(F f) {
    if (mirroring_) return;
    if (auto* edit = qobject_cast<QLineEdit*>(fieldWidget(f)); edit && TypingLimit(f))
        edit->setMaxLength(std::max<int>(TypingLimit(f), edit->text().size()));
    if (IsEmployeeText(f)) particulars_.edited(f);
    core_.typed(f);
    core_.record().write(f, widgetText(f));
}

void PamerolWindow::moveFocus(const EnterTarget& target) {
    QWidget* next = target.field ? fieldWidget(*target.field) : command2_;
    // As Tab does: a box reached with Enter has its whole text selected, on every tab.
    next->setFocus(Qt::TabFocusReason);
}

void PamerolWindow::showHint(F f) {
    const auto text = RefusedKeyHint(f);
    if (!text) return;
    QWidget* field = fieldWidget(f);
    hint_->setText(ToQ(*text));
    hint_->adjustSize();
    // Beside the field, or below it where the window ends first.
    QPoint at = field->mapTo(this, QPoint(field->width() + 4, 0));
    if (at.x() + hint_->width() > width()) at = field->mapTo(this, QPoint(0, field->height() + 2));
    at.setX(std::max(0, std::min(at.x(), width() - hint_->width())));
    hint_->move(at);
    hint_->raise();
    hint_->show();
    hintTimer_->start();
}

void PamerolWindow::pasteAmount(F f, QLineEdit* edit, int clipboardMode) {
    const QString pasted = QApplication::clipboard()->text(static_cast<QClipboard::Mode>(clipboardMode));
    const QString cleaned = ToQ(WithoutCurrencyAndBlanks(pasted.toStdString()));
    QString after = edit->text();
    if (edit->hasSelectedText())
        after.replace(edit->selectionStart(), edit->selectedText().size(), cleaned);
    else
        after.insert(edit->cursorPosition(), cleaned);
    // A minus sign is refused as at the keyboard: no amount on the sheet is negative.
    if (cleaned.isEmpty() || cleaned.contains(u'-') || !ParseNumber(after.toStdString())) {
        showHint(f);
        return;
    }
    edit->insert(cleaned);
}

void PamerolWindow::showContextMenu(F f, QLineEdit* edit, const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    menu->setObjectName(QStringLiteral("baglamMenusu"));
    // The menu's paste, known by its (translated) caption, pastes through the cleaning.
    const QString pasteCaption = QLineEdit::tr("&Paste");
    for (QAction* paste : menu->actions()) {
        if (!paste->text().startsWith(pasteCaption)) continue;
        paste->setObjectName(QStringLiteral("edit-paste"));
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this,
                [this, f, edit] { pasteAmount(f, edit, static_cast<int>(QClipboard::Clipboard)); });
    }
    menu->exec(globalPos);
}

bool PamerolWindow::keyPress(F f, QLineEdit* edit, QKeyEvent* key) {
    // Enter comes before any key rule.
    if (IsEnter(key)) {
        if (auto target = Pamerol::enterTarget(f)) {
            moveFocus(*target);
            return true;
        }
        if (EnterMovesOn(f)) {
            moveOn(edit);
            return true;
        }
        return false;
    }
    if (IsStrayAltKey(key)) return true;
    const std::string& text = core_.record().text(f);
    // The keypad's decimal key sends "." or "," by the keyboard layout; a number field takes it as ",".
    if (IsKeypadDecimal(key) && TypesDecimalComma(f)) {
        if (Pamerol::acceptsKey(f, U',', text))
            edit->insert(QStringLiteral(","));
        else
            showHint(f);
        return true;
    }
    if (CleansPastedAmount(f) && key->matches(QKeySequence::Paste)) {
        pasteAmount(f, edit, static_cast<int>(QClipboard::Clipboard));
        return true;
    }
    const std::optional<char32_t> typed = TypedCharacter(key);
    if (typed && !TakesTypedKey(f, *typed, text)) {
        showHint(f);
        return true;
    }
    // A date takes digits only. The box itself would drop another character, but not before it had
    // emptied the selected part of the date; a "." typed at the cursor only steps over the dot.
    if (IsDate(f) && typed && *typed >= U' ' && !(*typed >= U'0' && *typed <= U'9')) {
        if (*typed != U'.') showHint(f);
        if (*typed != U'.' || edit->hasSelectedText()) return true;
    }
    return false;
}

bool PamerolWindow::lineEditEvent(F f, QLineEdit* edit, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Ctrl+C/V/X are typed characters to the key rules: a field that discards them must also keep them
        // from its own copy/paste shortcuts.
        auto* key = static_cast<QKeyEvent*>(event);
        const std::optional<char32_t> typed = TypedCharacter(key);
        if (typed && *typed < 0x20 && !Pamerol::acceptsKey(f, *typed, core_.record().text(f))) {
            key->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress: return keyPress(f, edit, static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
        if (!CleansPastedAmount(f)) return false;
        showContextMenu(f, edit, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::MouseButtonPress:
        return CleansPastedAmount(f) && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
    case QEvent::MouseButtonRelease:
        // The middle button pastes the selection, cleaned like any other paste.
        if (auto* mouse = static_cast<QMouseEvent*>(event);
            CleansPastedAmount(f) && mouse->button() == Qt::MiddleButton) {
            if (QApplication::clipboard()->supportsSelection()) {
                edit->deselect();
                edit->setCursorPosition(edit->cursorPositionAt(mouse->position().toPoint()));
                pasteAmount(f, edit, static_cast<int>(QClipboard::Selection));
            }
            return true;
        }
        // A click past the typed part of a date puts the cursor on its first empty place, so the digits
        // typed next land where the date goes on, not in the middle of the mask.
        if (IsDate(f) && !edit->hasSelectedText()) {
            const int firstEmpty = edit->displayText().indexOf(QLatin1Char('_'));
            if (firstEmpty >= 0 && edit->cursorPosition() > firstEmpty)
                QTimer::singleShot(0, edit, [edit, firstEmpty] { edit->setCursorPosition(firstEmpty); });
        }
        return false;
    case QEvent::InputMethod: {
        // Composed characters (dead keys, input methods) follow the same rules as typed ones.
        const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
        for (uint c : commit.toUcs4())
            if (!Pamerol::acceptsKey(f, static_cast<char32_t>(c), core_.record().text(f))) {
                showHint(f);
                return true;
            }
        return false;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Switching windows or opening a menu is no move between fields, and a closing sheet has no fields
        // left to move between (leaving DVOR must not save a second time).
        if (closed_ || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        if (event->type() == QEvent::FocusOut) {
            core_.focusOut(f);
            // Left, an amount of the "Sabitler" tab shows grouped again, and the identity number is checked.
            if (IsSettingsAmount(f) || f == F::txtTcKNo) showField(f);
            return false;
        }
        // The line edit places its cursor first; formatting and selection come after it.
        static_cast<QObject*>(edit)->event(event);
        if (core_.focusIn(f)) {
            edit->selectAll();
            // A click places the cursor after the focus has arrived: select again once the click is done,
            // so that typing into a clicked date or amount replaces it instead of landing mid-mask.
            if (reason == Qt::MouseFocusReason) QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        }
        return true;
    }
    default: return false;
    }
}

bool PamerolWindow::switchTab(const QKeyEvent* key) {
    const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    int step = 0;
    if (mods == Qt::ControlModifier && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_PageDown))
        step = 1;
    if (mods == Qt::ControlModifier && key->key() == Qt::Key_PageUp) step = -1;
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) &&
        (key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Tab))
        step = -1;
    if (step == 0) return false;
    tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) % tabs_->count());
    return true;
}

bool PamerolWindow::confirm(const QString& question) {
    return AskYesNo(this, kSheetTitle, question);
}

bool PamerolWindow::mayClose() {
    const Record& r = core_.record();
    if (HasUncalculatedInputs(r))
        return confirm(QStringLiteral("Hesaplanmamış bilgiler kaybolacak. Program kapatılsın mı?"));
    const bool kept = printedOrStored_ || (keeper_ && keeper_->heldId());
    if (!r.command3Enabled() || kept) return true;
    QMessageBox box(QMessageBox::Question, kSheetTitle,
                    QStringLiteral("Hesaplanan tazminat yazdırılmadı ve arşive kaydedilmedi. "
                                   "Program kapatılsın mı?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Evet"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Hayır"));
    QPushButton* store = nullptr;
    if (keeper_) store = box.addButton(QStringLiteral("Arşive Kaydet"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    if (store && box.clickedButton() == store) {
        std::string error;
        if (keeper_->keep(r, &error)) return true;
        QtMessages messages(kSheetTitle);
        messages.setWindow(this);
        messages.show("Arşive kaydedilemedi: " + error, MessageIcon::Warning);
        return false;
    }
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

// Escape closes the sheet as "&Kapat" does, with the same question when work would be lost.
void PamerolWindow::escape() {
    close();
}

void PamerolWindow::hesapla() {
    if (keeper_) keeper_->newCalculation();
    printedOrStored_ = false;
    // A wage of 0 calculates, but the result box says so: it is the commonest slip.
    const std::string& wage = core_.record().text(F::ESUCRET);
    const bool noWage = wage.empty() || ParseNumber(wage) == std::optional<double>(0.0);
    calculate(noWage ? "En son brüt ücret 0,00" : "");
}

void PamerolWindow::bosalt() {
    if (keeper_) keeper_->newCalculation();
    // The focus first: leaving a box formats what it held, and must not touch the cleared texts.
    focusFirstBox();
    core_.bosalt();
    particulars_.cleared();
    printedOrStored_ = false;
    selectFirstBox();
}

void PamerolWindow::yeniPersonel() {
    if (HasUncalculatedInputs(core_.record()) &&
        !confirm(QStringLiteral("Hesaplanmamış bilgiler kaybolacak. Yeni personele geçilsin mi?")))
        return;
    if (keeper_) keeper_->newCalculation();
    focusFirstBox();
    core_.yeniPersonel();
    particulars_.cleared();
    printedOrStored_ = false;
    selectFirstBox();
}

void PamerolWindow::focusFirstBox() {
    fieldWidget(core_.record().mode() == Mode::Dates ? F::GTarih : F::DGUN)->setFocus(Qt::TabFocusReason);
}

namespace {
bool TakesTabFocus(const QWidget* w) {
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
}
} // namespace

void PamerolWindow::selectFirstBox() {
    // The cleared text was put in after the focus: typing starts at its first place again.
    if (auto* edit =
            qobject_cast<QLineEdit*>(fieldWidget(core_.record().mode() == Mode::Dates ? F::GTarih : F::DGUN)))
        edit->selectAll();
}

void PamerolWindow::focusFirstBoxOfTab() {
    QWidget* page = tabs_->currentWidget();
    for (QWidget* w : focusOrder_)
        if (page->isAncestorOf(w) && TakesTabFocus(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

void PamerolWindow::moveOn(QWidget* from) {
    auto it = std::find(focusOrder_.begin(), focusOrder_.end(), from);
    if (it != focusOrder_.end())
        for (++it; it != focusOrder_.end(); ++it)
            if (TakesTabFocus(*it) && tabs_->currentWidget()->isAncestorOf(*it)) {
                (*it)->setFocus(Qt::TabFocusReason);
                return;
            }
    // Past the tab's last box: on to the case's first box.
    focusFirstBox();
}

bool PamerolWindow::plainTextEvent(F f, QPlainTextEdit* edit, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsStrayAltKey(key)) return true;
    if (!IsEnter(key) || !EnterMovesOn(f)) return false;
    // Enter moves on; Ctrl+Enter (or Shift+Enter) starts a new line.
    if (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        edit->insertPlainText(QStringLiteral("\n"));
    else
        moveOn(edit);
    return true;
}

bool PamerolWindow::eventFilter(QObject* watched, QEvent* event) {
    // A tab's access key shows the tab and puts the focus into its first box.
    if (event->type() == QEvent::Shortcut && watched == tabs_->tabBar()) {
        static_cast<QObject*>(tabs_->tabBar())->event(event);
        focusFirstBoxOfTab();
        return true;
    }
    if (event->type() == QEvent::KeyPress && help_ && help_->isAncestorOf(static_cast<QWidget*>(watched))) {
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        help_->close();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            escape();
            return true;
        }
        if (switchTab(key)) return true;
    }
    const auto it = fieldOf_.constFind(watched);
    if (it != fieldOf_.cend()) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) return lineEditEvent(*it, edit, event);
        if (auto* plain = qobject_cast<QPlainTextEdit*>(watched)) return plainTextEvent(*it, plain, event);
    }
    return QWidget::eventFilter(watched, event);
}

void PamerolWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        escape();
        return;
    }
    if (switchTab(event)) return;
    QWidget::keyPressEvent(event);
}

void PamerolWindow::closeEvent(QCloseEvent* event) {
    // "&Kapat", Escape, Alt+F4 and the close box all come here: when work would be lost the clerk is asked
    // first and may stay. Once closing, the settings are saved (a failure is reported) and the window goes.
    if (!closed_) {
        if (!mayClose()) {
            event->ignore();
            return;
        }
        // A run of "Toplu Hesap" is stopped with the program; the companion writes the rows it has done.
        if (topluWindow_ && topluWindow_->running() &&
            !confirm(QStringLiteral("Toplu hesap sürüyor. Program kapatılırsa hesap durdurulur; bitmiş "
                                    "satırların sonuçları yazılır. Program kapatılsın mı?"))) {
            event->ignore();
            return;
        }
        closed_ = true;
        if (help_) help_->close();
        if (topluWindow_) topluWindow_->hide();
        core_.close();
    }
    event->accept();
}

} // namespace pamerol::ui
