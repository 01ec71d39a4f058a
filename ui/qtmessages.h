// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation's messages as modal message boxes with the application's title as caption.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "calc/messages.h"

namespace pamerol::ui {

// A question with "Evet" and "Hayır", "Hayır" the default and Escape's answer; whether "Evet" was chosen.
bool AskYesNo(QWidget* parent, const QString& title, const QString& question);

class QtMessages : public Messages {
  public:
    explicit QtMessages(QString caption) : caption_(std::move(caption)) {}

    // The window a box stands over when no modal dialog is open.
    void setWindow(QWidget* window) { window_ = window; }

    void show(const std::string& text, MessageIcon icon) override;

    // A line added under the text of every information box until it is set empty again (the result box
    // of one calculation).
    void setInformationNote(QString note) { note_ = std::move(note); }

  private:
    QString caption_;
    QString note_;
    QPointer<QWidget> window_;
};

} // namespace pamerol::ui
