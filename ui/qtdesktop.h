// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the sheet's web and help links in the system browser.
#pragma once

#include <QPointer>
#include <QWidget>

#include "sheet/pamerol.h"

namespace pamerol::ui {

class QtDesktop : public Desktop {
  public:
    // The window a message stands over when the browser cannot be started.
    void setWindow(QWidget* window) { window_ = window; }

    // When no browser can be started, a message says so and gives the address, so that the clerk can open
    // it by hand.
    void openAddress(const std::string& address) override;

  private:
    QPointer<QWidget> window_;
};

} // namespace pamerol::ui
