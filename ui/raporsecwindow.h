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
    // `warning`, when not empty, is shown as a line above the choices.
    explicit RaporSecWindow(frmRaporSec& core, const QString& warning = {}, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    frmRaporSec& core_;
    std::array<QRadioButton*, 3> options_{};
    QPushButton* print_ = nullptr;
};

// Shows the printout dialog modally over the given window, with a fresh choice, and returns once it has
// closed. `filled`, when given, is called after each paper the dialog has filled.
void ShowPrintouts(const Record& record, const PaperFolders& folders, SpreadsheetFactory factory,
                   Messages& messages, QWidget* parent, const QString& warning = {},
                   frmRaporSec::Filled filled = {});

} // namespace pamerol::ui
