// SPDX-License-Identifier: GPL-3.0-or-later
#include "formuortala.h"

#include <QScreen>
#include <QWidget>

namespace pamerol::ui {

void FormuOrtala(QWidget& window) {
    if (!window.isVisible()) window.adjustSize(); // before the first show the size is still the default one
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QRect frame = window.frameGeometry();
    window.move(area.x() + (area.width() - frame.width()) / 2,
                area.y() + (area.height() - frame.height()) / 2);
}

} // namespace pamerol::ui
