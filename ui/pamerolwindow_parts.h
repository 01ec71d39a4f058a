// SPDX-License-Identifier: GPL-3.0-or-later
// The helpers that more than one part of the calculation sheet's window uses; only those parts include it.
#pragma once

#include <QLabel>
#include <QString>
#include <string>
#include <string_view>

#include "sheet/pamerol.h"

namespace pamerol::ui {

namespace {

using F = Field;

inline const QString kDateMask = QStringLiteral("99.99.9999;_");

inline bool IsDate(F f) {
    return Info(f).kind == Kind::Date;
}

inline QString ToQ(const std::string& s) {
    return QString::fromStdString(s);
}
inline QString ToQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The amounts of the "Sabitler" tab (the ceiling and the bracket limits), shown grouped as 12.345,67.
inline bool IsSettingsAmount(F f) {
    return Info(f).tab == Tab::Sabitler && Info(f).kind == Kind::Amount;
}

inline QLabel* WrappedLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

} // namespace

} // namespace pamerol::ui
