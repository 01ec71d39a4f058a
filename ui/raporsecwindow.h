// SPDX-License-Identifier: GPL-3.0-or-later
// The printout dialog's window: four choices and the print command, forwarded to the dialog's core.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "printouts/dokumler.h"

class QPushButton;
class QRadioButton;

namespace pamerol::ui {

inline const QString kPrintoutsTitle = QStringLiteral("Kıdem İhbar Dökümleri");

class RaporSecWindow : public QDialog {
    Q_OBJECT
  public:
    // `warning`, when not empty, is shown as a line above the choices with a button that confirms it
    // (`confirmed` is then called); while it stands, "&Yazdır" is not the default button.
    // `legalWarning`, when not empty, names the legal figures that are not the law of the case's date: it
    // is shown above the choices too, and "&Yazdır" asks once before the first paper ("Hayır" the default).
    explicit RaporSecWindow(frmRaporSec& core, const QString& warning = {}, QWidget* parent = nullptr,
                            std::function<void()> confirmed = {}, const QString& legalWarning = {});

    // The sheet the papers are filled from: a release letter that would total 0,00 is asked about first.
    void setSheet(const Record* sheet) { sheet_ = sheet; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void print();
    bool confirm(const QString& question);

    frmRaporSec& core_;
    std::function<void()> confirmed_;
    const Record* sheet_ = nullptr;
    QString legalWarning_;
    bool legalWarningAccepted_ = false;
    QWidget* warning_ = nullptr; // the warning line and its button, while they stand
    std::array<QRadioButton*, 5> options_{};
    QPushButton* print_ = nullptr;
};

// Shows the printout dialog modally over the given window, with a fresh choice, and returns once it has
// closed: whether a paper was filled. `filled`, when given, is called after each paper the dialog has
// filled. `table` gives the statement its legal figures (null: none).
bool ShowPrintouts(const Record& record, const PaperFolders& folders, SpreadsheetFactory factory,
                   Messages& messages, QWidget* parent, const QString& warning = {},
                   frmRaporSec::Filled filled = {}, std::function<void()> confirmed = {},
                   const QString& legalWarning = {}, const YasalDegerler* table = nullptr);

} // namespace pamerol::ui
