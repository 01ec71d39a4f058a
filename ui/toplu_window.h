// SPDX-License-Identifier: GPL-3.0-or-later
// "Toplu Hesap": many employees at once from the clerk's spreadsheet. The window computes nothing itself:
// it runs the companion program in the background, first to preview the table (its first rows and how
// each column was matched), then for the run, whose progress and summary it reads as the JSON lines of
// toplu/protokol.h. The sheet's window stays usable all the while, and an office that fails takes only
// the companion with it.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <optional>

#include "sheet/pamerol.h"
#include "toplu/protokol.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace pamerol::ui {

inline const QString kTopluTitle = QStringLiteral("Toplu Hesap");

// Where the window finds what it hands to the companion.
struct TopluYollari {
    QString program; // the companion program
    QString ayar;    // the settings file in use (for "Ayar dosyasındaki değerler")
    QString arsiv;   // the case archive; empty: no archive, the option is not offered
};

class TopluWindow : public QDialog {
    Q_OBJECT
    enum class Phase { Idle, Preview, Run };

  public:
    TopluWindow(TopluYollari yollar, Desktop& desktop, QWidget* parent = nullptr);
    ~TopluWindow() override;

    // The file dialogs, replaceable; an empty answer cancels.
    std::function<QString(QWidget* parent)> askInput;
    std::function<QString(QWidget* parent, const QString& suggested)> askOutput;
    std::function<QString(QWidget* parent, const QString& suggested)> askFolder;

    // Takes the table and starts its preview.
    void setInput(const QString& path);
    // Whether the companion is reading a preview or running the calculation.
    bool busy() const { return phase_ != Phase::Idle; }
    // Whether a run is going on (closing the program would stop it).
    bool running() const { return phase_ == Phase::Run; }

  protected:
    void reject() override;

  private:
    void chooseInput();
    void chooseOutput();
    void chooseFolder();
    void setOutput(const QString& path);
    void startPreview();
    void previewFinished(int exitCode, QProcess::ExitStatus status);
    void showPreview(const QByteArray& json);
    void start();
    void stop();
    void readProgress();
    void progressLine(const QByteArray& line);
    void showProgress(const TopluIlerleme& ilerleme);
    void runFinished(int exitCode, QProcess::ExitStatus status);
    void failedToStart();
    void showSummary(const QString& headline, const QString& text, bool good);
    void updateState();
    QString pdfFolder() const;
    // The reference exit date typed, when it is a whole calendar date.
    std::optional<QString> referenceDate() const;

    TopluYollari yollar_;
    Desktop& desktop_;
    QProcess* process_ = nullptr;
    Phase phase_ = Phase::Idle;
    QByteArray stdoutPending_;
    std::optional<TopluSonuc> sonuc_; // the run's summary line, once read
    QElapsedTimer elapsed_;
    bool stopping_ = false;
    bool closeWhenDone_ = false;
    bool previewOk_ = false;
    QString previewed_;    // the path the preview was last made for, as the box shows it
    bool written_ = false; // the last run wrote its results
    int previewTotal_ = 0; // the rows the preview counted
    bool folderChosen_ = false;

    QLineEdit* input_ = nullptr;
    QPushButton* chooseInput_ = nullptr;
    QLabel* previewNote_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QLabel* missing_ = nullptr;
    QRadioButton* legal_ = nullptr;
    QRadioButton* settings_ = nullptr;
    QCheckBox* useExitDate_ = nullptr;
    QLineEdit* exitDate_ = nullptr;
    QLineEdit* output_ = nullptr;
    QPushButton* chooseOutput_ = nullptr;
    QCheckBox* kidem_ = nullptr;
    QCheckBox* ihbar_ = nullptr;
    QCheckBox* ibraname_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QPushButton* chooseFolder_ = nullptr;
    QCheckBox* archive_ = nullptr;
    QLineEdit* runName_ = nullptr;
    QWidget* options_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* current_ = nullptr;
    QLabel* timeLeft_ = nullptr;
    QLabel* headline_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    QPushButton* openFolder_ = nullptr;
    QPushButton* openTable_ = nullptr;
};

} // namespace pamerol::ui
