// SPDX-License-Identifier: GPL-3.0-or-later
// The tooltip of every input and settings field: what it holds, its unit and format, and for the
// settings where they are kept.
#pragma once

#include <QString>

#include "calc/record.h"

namespace pamerol::ui {

QString FieldTooltip(Field f);

} // namespace pamerol::ui
