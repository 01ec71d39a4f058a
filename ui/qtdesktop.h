// Opens the sheet's web and help links in the system browser.
#pragma once

#include "sheet/pamerol.h"

namespace pamerol::ui {

class QtDesktop : public Desktop {
  public:
    void openAddress(const std::string& address) override;
};

} // namespace pamerol::ui
