// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start: the sheet's core, its window and the printout dialog, wired together.
#pragma once

#include <functional>

class QWidget;

namespace pamerol::ui {

// Runs the program until the sheet closes. `shown`, when given, is called once the window has been painted
// for the first time (the start-up measurement uses it).
int RunPamerol(int argc, char* argv[], const std::function<void(QWidget&)>& shown = {});

} // namespace pamerol::ui
