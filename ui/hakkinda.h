// SPDX-License-Identifier: GPL-3.0-or-later
// The "About" box: the program's version, the settings file's full path, the Qt and LibreOffice versions
// and the licence.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace pamerol::ui {

// The text of the box (LibreOffice's version is asked of the installed office, which takes a moment).
QString AboutText(const QString& settingsPath);

// The line naming LibreOffice and its version ("LibreOffice 7.4.7.2") from the office's answer to
// --version, or saying that none answered.
QString OfficeLine(const std::optional<QString>& answer);

void ShowAbout(QWidget* parent, const QString& settingsPath);

} // namespace pamerol::ui
