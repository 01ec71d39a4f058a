// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts in Turkish (message box buttons, the boxes' right-click menus), whatever the machine's
// locale.
#pragma once

class QCoreApplication;

namespace pamerol::ui {

// Loads Qt's Turkish translations from the system's Qt translations folder. Returns whether they were found.
bool InstallTurkishTranslations(QCoreApplication& app);

} // namespace pamerol::ui
