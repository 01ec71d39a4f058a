// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's commands, its keys and clicks, the edits written to the record, and its closing.
#include "pamerolwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>

#include "archive/case_keeper.h"
#include "base/conversions.h"
#include "pamerolwindow_parts.h"
#include "qtmessages.h"
#include "toplu_window.h"

namespace pamerol::ui {

namespace {

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

bool IsKeypadDecimal(const QKeyEvent* e) {
    return (e->modifiers() & Qt::KeypadModifier) && (e->text() == u'.' || e->text() == u',');
}

bool TakesTabFocus(const QWidget* w) {
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
}

} // namespace

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
            // Left, an amount of the "Sabitler" tab shows grouped again, and a number with check digits is
            // checked.
            if (IsSettingsAmount(f) || HasCheckDigits(f)) showField(f);
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
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Evet"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Hayır"));
    QPushButton* store = nullptr;
    if (keeper_) store = box.addButton(QStringLiteral("&Arşive Kaydet"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    if (store && box.clickedButton() == store) {
        const Expected<std::int64_t> kept = keeper_->keep(r);
        if (kept) return true;
        QtMessages messages(kSheetTitle);
        messages.setWindow(this);
        messages.show("Arşive kaydedilemedi: " + kept.error().message, MessageIcon::Warning);
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

void PamerolWindow::calculate(const std::string& note) {
    const YasalDegerler* table = yasalTablo();
    RecordedMessages said;
    // The table's ceiling of the case's date caps the exempt part of the severance, whether or not its
    // figures are taken.
    const std::optional<int> date = YasalTarih(core_.record(), TodayKey());
    core_.record().tavanTablosu =
        table && date ? std::optional<CeilingInForce>(TarihinTavani(*table, *date)) : std::nullopt;
    core_.hesapla(
        [&](Record& r, FigureOrigins& origins) {
            if (table)
                TarihinYasalDegerleriniUygula(
                    r, *table, YasalTarih(r, TodayKey()), [this](F f) { return core_.elleGirildi(f); },
                    &origins);
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
        // A choice moves on with Enter as the boxes beside it do; its arrows and letters choose.
        if (auto* choice = qobject_cast<QComboBox*>(watched);
            choice && event->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent*>(event))) {
            moveOn(choice);
            return true;
        }
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
