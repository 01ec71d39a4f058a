// The printout dialog's window: three choices and the print command, forwarded to the dialog's core.
#pragma once

#include <QDialog>
#include <array>

#include "printouts/dokumler.h"

class QRadioButton;

namespace pamerol::ui {

inline const QString kPrintoutsTitle = QStringLiteral("Kıdem İhbar Dökümleri");

class RaporSecWindow : public QDialog {
    Q_OBJECT
  public:
    explicit RaporSecWindow(frmRaporSec& core, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    frmRaporSec& core_;
    std::array<QRadioButton*, 3> options_{};
};

// Shows the printout dialog modally over the given window, with a fresh choice, and returns once it has
// closed.
void ShowPrintouts(const Record& record, const std::string& programFolder, SpreadsheetFactory factory,
                   Messages& messages, QWidget* parent);

} // namespace pamerol::ui
