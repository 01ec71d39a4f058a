// SPDX-License-Identifier: GPL-3.0-or-later
// Centres a window on its screen, keeping its size.
#pragma once

class QWidget;

namespace pamerol::ui {

void FormuOrtala(QWidget& window);

} // namespace pamerol::ui
