// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation sheet's window. It holds no rules of its own: typed keys, focus changes, edits and clicks
// go to the core, and every change of the record is shown at once in its widget.
#pragma once

#include <QHash>
#include <QWidget>
#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "figures/yasal_degerler.h"
#include "sheet/entry_aids.h"
#include "sheet/pamerol.h"
#include "statement/aciklama.h"

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;

namespace pamerol {
class CaseKeeper;
}

namespace pamerol::ui {

inline const QString kSheetTitle = QStringLiteral("Kıdem ve İhbar Tazminatı Hesabı");

class QtMessages;
class TopluWindow;

// What the printout dialog is opened with: the warning about texts and boxes left from an earlier case
// (empty when there is none) and what to do when the clerk confirms them.
struct PrintoutsRequest {
    QString warning;
    std::function<void()> confirmed;
    QString legalWarning; // the legal figures that are not the law of the case's date: asked before printing
    const YasalDegerler* table = nullptr; // the legal figures the statement names (null: none)
};

class PamerolWindow : public QWidget {
    Q_OBJECT
  public:
    // Opens the printout dialog modally over the given window and returns once it has closed: whether a
    // paper was filled.
    using PrintoutsOpener = std::function<bool(QWidget* parent, const PrintoutsRequest& request)>;

    PamerolWindow(Pamerol& core, Desktop& desktop, PrintoutsOpener openPrintouts, QWidget* parent = nullptr);
    ~PamerolWindow() override;

    QWidget* fieldWidget(Field f) const { return widgets_[static_cast<size_t>(f)]; }

    // The table of legal figures that "Çıkış Tarihine Göre Getir", the calculation with the figures of the
    // exit date and the notes beside the results read. Also sets the switch "Yasal değerleri çıkış
    // tarihine göre al" from the settings file (on when the file does not say, if the table can be read).
    void setYasalDegerlerYolu(std::string path);

    // The archive: its command "A&rşiv" is shown, and "&Hesapla" and "&Boşalt" start a new case in it.
    void setArchive(CaseKeeper* keeper);
    // The boxes the calculation's messages appear in: the result box gets a line when the wage is 0.
    void setMessages(QtMessages* messages) { messages_ = messages; }
    // Puts a stored case on the sheet as stored (Pamerol::showStoredCase); its particulars are its own.
    void showStoredCase(const std::function<void(Record&)>& put);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildUpperArea();
    QWidget* buildCommands();
    QWidget* buildKidemTab();
    QWidget* buildIhbarTab();
    QWidget* buildSabitlerTab();
    QWidget* buildIsverenTab();
    QWidget* buildPersonelTab();
    QWidget* buildIzinTab();
    QWidget* buildGuncellemeTab();
    // A frame with the fields the field table places in it, in the table's order.
    QGroupBox* frame(std::string_view title);
    QWidget* framesSideBySide(std::initializer_list<QWidget*> frames);
    QFormLayout* formOf(QGroupBox* box);
    QWidget* makeField(Field f, const QString& caption);
    QPushButton* makeButton(const char* name, const QString& caption);
    QCheckBox* makeCheck(const char* name, void (Record::*set)(int), int which);
    void name(QWidget* w, const QString& objectName, const QString& caption = {});

    // Record -> widgets.
    void showField(Field f);
    void showStates();
    // Widgets -> record.
    std::string widgetText(Field f) const;
    void edited(Field f);
    bool lineEditEvent(Field f, QLineEdit* edit, QEvent* event);
    bool keyPress(Field f, QLineEdit* edit, QKeyEvent* key);
    void moveFocus(const EnterTarget& target);
    bool switchTab(const QKeyEvent* key);
    void escape();
    // Asks the question with "Evet" and "Hayır" ("Hayır" the default); whether the answer was "Evet".
    bool confirm(const QString& question);
    // Before the window closes: whether it may, after asking when a typed case would be lost or a
    // calculated one has been neither printed nor stored.
    bool mayClose();
    void hesapla();
    void bosalt();
    void yeniPersonel();
    // The focus into the first box the case is typed in ("Giriş Tarihi", or in the premium-day mode
    // "Devreden Prim Günü").
    void focusFirstBox();
    void selectFirstBox();
    // The focus into the first box of the tab that is shown.
    void focusFirstBoxOfTab();
    // Enter in a box of the "Personel" or "İşveren" tab: on to the next box.
    void moveOn(QWidget* from);
    bool plainTextEvent(Field f, QPlainTextEdit* edit, QEvent* event);
    // The red note under "T.C. Kimlik No" or "IBAN" while its number fails its check.
    void showCheckWarning(Field f, bool whileTyping);
    QLabel* checkNoteUnder(Field f, const char* name);
    // The numbers whose check digits are checked when their box is left.
    static bool HasCheckDigits(Field f) {
        return f == Field::txtTcKNo || f == Field::txtIBAN || f == Field::txtVergiNo;
    }
    // The text a box shows for its field's text: amounts of the "Sabitler" tab grouped as 12.345,67
    // while the box is not being typed in.
    QString shownText(Field f, const std::string& text) const;
    void showHelp();
    // "&Dökümler": the printout dialog, with the particulars left from an earlier case and the legal
    // figures that are not the law of the case's date to be confirmed first.
    void showPrintouts();
    // "Nasıl Hesaplandı?": the statement of the results on screen in a read-only window.
    void showStatement();
    // "Toplu Hesap": the dialog for many employees from a spreadsheet, beside the sheet.
    void showToplu();
    // A paste into an amount field: the clipboard's text without currency marks and blanks, or refused
    // with the hint when the field could not read the result.
    void pasteAmount(Field f, QLineEdit* edit, int clipboardMode);
    void showContextMenu(Field f, QLineEdit* edit, const QPoint& globalPos);
    // The field's refused-key hint beside it for a moment; the focus stays where it is.
    void showHint(Field f);
    // "Çıkış Tarihine Göre Getir": the legal figures in force on the exit date into the settings fields.
    void getYasalDegerler();
    std::optional<int> askExitDate();
    // The ceiling warning and the minimum-wage note beside the results, while results are shown.
    void showResultNotes();
    // The calculation of "&Hesapla": with the switch on, the figures of the case's date first; then the
    // result box, with the note under the amounts and a paragraph naming every legal figure used that is
    // not the law of that date.
    void calculate(const std::string& note);
    // The table, read at the first need; null when it cannot be read.
    const YasalDegerler* yasalTablo();
    // The legal warnings of the results on screen; empty while none are shown.
    std::vector<YasalUyari> yasalUyarilar();

    Pamerol& core_;
    Desktop& desktop_;
    PrintoutsOpener openPrintouts_;

    std::array<QWidget*, kFieldCount> widgets_{};
    QHash<const QObject*, Field> fieldOf_;
    std::vector<QWidget*> focusOrder_;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* aciklama_ = nullptr;
    QPushButton* archive_ = nullptr;
    CaseKeeper* keeper_ = nullptr;
    QPushButton* toplu_ = nullptr;
    TopluWindow* topluWindow_ = nullptr; // made at its first opening, kept with its last run's summary
    QtMessages* messages_ = nullptr;
    QLabel* tcUyarisi_ = nullptr;
    QLabel* ibanUyarisi_ = nullptr;
    QLabel* vergiNoUyarisi_ = nullptr;
    QWidget* help_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* hint_ = nullptr;
    QTimer* hintTimer_ = nullptr;
    ParticularsAge particulars_;
    QLabel* tavanUyarisi_ = nullptr;
    QLabel* asgariUcretNotu_ = nullptr;
    QLabel* kidemDurumu_ = nullptr; // what the termination reason makes of each payment
    QLabel* ihbarDurumu_ = nullptr;
    std::string yasalDegerlerYolu_;
    std::optional<YasalDegerler> yasalDegerler_; // loaded at the first need, again by the command
    bool yasalDegerlerDenendi_ = false;
    QCheckBox* yasalOtomatik_ = nullptr;

    bool mirroring_ = false; // a widget is being set from the record: its change is not a new edit
    bool closed_ = false;
    bool printedOrStored_ = false; // a paper of the calculation on the sheet was filled, or it was stored
};

} // namespace pamerol::ui
