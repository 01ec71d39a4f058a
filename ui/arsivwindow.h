// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's dialog: finding stored cases by name, T.C. Kimlik No, SSK No or employer and by exit
// date, reopening one on the sheet, deleting one or every case older than a number of years, exporting one
// person's cases, and storing the case on the sheet without printing it.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "archive/case_keeper.h"
#include "sheet/pamerol.h"
#include "ui/qtmessages.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace pamerol::ui {

class PamerolWindow;

inline const QString kArchiveTitle = QStringLiteral("Arşiv");

class ArsivWindow : public QDialog {
    Q_OBJECT
  public:
    // `reopen` puts a loaded case on the sheet; `sheet` is the sheet's record, for storing it.
    ArsivWindow(CaseKeeper& keeper, const Record& sheet, std::function<void(const ArchivedCase&)> reopen,
                QWidget* parent = nullptr);

    // Asks where one person's export goes ("*.csv" writes CSV, anything else the printable list); an
    // empty answer cancels. A save dialog unless set otherwise.
    std::function<QString(QWidget* parent, const QString& suggested)> askExportPath;

    // Runs the search with the box's words and the exit dates now (typing runs it after a short pause).
    void search();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<std::int64_t> selectedId() const;
    const ArchiveRow* selectedRow() const;
    bool confirm(const QString& question);
    void reopenSelected();
    void removeSelected();
    void removeOld();
    void exportPerson();
    void keepSheet();
    void showRows();

    CaseKeeper& keeper_;
    const Record& sheet_;
    std::function<void(const ArchivedCase&)> reopen_;
    QtMessages messages_;
    QLineEdit* text_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* status_ = nullptr;
    QSpinBox* years_ = nullptr;
    QPushButton* keep_ = nullptr;
    QTimer* searchTimer_ = nullptr;
    std::vector<ArchiveRow> rows_;
};

// Opens the archive's dialog over the sheet's window and returns once it has closed. An archive that
// cannot be opened gives its message instead.
void ShowArchive(CaseKeeper& keeper, Pamerol& core, PamerolWindow& window);

} // namespace pamerol::ui
