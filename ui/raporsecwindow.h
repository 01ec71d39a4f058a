// SPDX-License-Identifier: GPL-3.0-or-later
// The printout dialog's window: three choices and the print command, forwarded to the dialog's core.
#pragma once

#include <QDialog>
#include <array>

#include "printouts/dokumler.h"

class QPushButton;
class QRadioButton;

namespace pamerol::ui {

inline const QString kPrintoutsTitle = QStringLiteral("Kıdem İhbar Dökümleri");

class RaporSecWindow : public QDialog {
    Q_OBJECT
  public:
    // `warning`, when not empty, is shown as a line above the choices. `legalWarning`, when not empty,
    // names the legal figures that are not the law of the case's date: it is shown above the choices too,
    // and "&Yazdır" asks once before the first paper ("Hayır" the default).
    explicit RaporSecWindow(frmRaporSec& core, const QString& warning = {}, QWidget* parent = nullptr,
                            const QString& legalWarning = {});

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    frmRaporSec& core_;
    std::array<QRadioButton*, 3> options_{};
    QPushButton* print_ = nullptr;
    QString legalWarning_;
    bool legalWarningAccepted_ = false;
};

// Shows the printout dialog modally over the given window, with a fresh choice, and returns once it has
// closed. `filled`, when given, is called after each paper the dialog has filled.
void ShowPrintouts(const Record& record, const PaperFolders& folders, SpreadsheetFactory factory,
                   Messages& messages, QWidget* parent, const QString& warning = {},
                   frmRaporSec::Filled filled = {}, const QString& legalWarning = {});

} // namespace pamerol::ui
