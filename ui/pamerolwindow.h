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

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;

namespace pamerol {
class CaseKeeper;
}

namespace pamerol::ui {

inline const QString kSheetTitle = QStringLiteral("Kıdem ve İhbar Tazminatı Hesabı");

class PamerolWindow : public QWidget {
    Q_OBJECT
  public:
    // Opens the printout dialog modally over the given window and returns once it has closed. `warning`,
    // when not empty, is a line the dialog shows above its choices; `legalWarning` names the legal figures
    // that are not the law of the case's date (the dialog asks before printing).
    using PrintoutsOpener =
        std::function<void(QWidget* parent, const QString& warning, const QString& legalWarning)>;

    PamerolWindow(Pamerol& core, Desktop& desktop, PrintoutsOpener openPrintouts, QWidget* parent = nullptr);
    ~PamerolWindow() override;

    QWidget* fieldWidget(Field f) const { return widgets_[static_cast<size_t>(f)]; }

    // The table of legal figures that "Çıkış Tarihine Göre Getir", the calculation with the figures of the
    // exit date and the notes beside the results read. Also sets the switch "Yasal değerleri çıkış
    // tarihine göre al" from the settings file (on when the file does not say, if the table can be read).
    void setYasalDegerlerYolu(std::string path);

    // The archive: its command "A&rşiv" is shown, and "&Hesapla" and "&Boşalt" start a new case in it.
    void setArchive(CaseKeeper* keeper);
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
    QWidget* buildGuncellemeTab();
    // A frame with the fields the field table places in it, in the table's order.
    QGroupBox* frame(std::string_view title);
    QWidget* framesSideBySide(std::initializer_list<QWidget*> frames);
    QFormLayout* formOf(QGroupBox* box);
    QWidget* makeField(Field f, const QString& caption);
    QPushButton* makeButton(const char* name, const QString& caption);
    QCheckBox* makeCheck(const char* name, void (Record::*set)(int));
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
    bool confirmClose();
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
    // "&Hesapla": with the switch on, the figures of the case's date first; then the result box, with a
    // paragraph naming every legal figure used that is not the law of that date.
    void calculate();
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
    QPushButton* archive_ = nullptr;
    CaseKeeper* keeper_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* hint_ = nullptr;
    QTimer* hintTimer_ = nullptr;
    ParticularsAge particulars_;
    QLabel* tavanUyarisi_ = nullptr;
    QLabel* asgariUcretNotu_ = nullptr;
    std::string yasalDegerlerYolu_;
    std::optional<YasalDegerler> yasalDegerler_; // loaded at the first need, again by the command
    bool yasalDegerlerDenendi_ = false;
    QCheckBox* yasalOtomatik_ = nullptr;

    bool mirroring_ = false; // a widget is being set from the record: its change is not a new edit
    bool closed_ = false;
};

} // namespace pamerol::ui
