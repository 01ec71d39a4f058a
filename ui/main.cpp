// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: the calculation sheet's window.
#include "app.h"

int main(int argc, char* argv[]) {
    return pamerol::ui::RunPamerol(argc, argv);
}
