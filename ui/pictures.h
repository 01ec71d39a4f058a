// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own pictures, drawn as SVG and kept in the resources.
#pragma once

#include <QPixmap>
#include <QString>

namespace pamerol::ui {

inline const QString kBilgiPicture = QStringLiteral(":/pictures/bilgi.svg");
inline const QString kDokumPicture = QStringLiteral(":/pictures/dokum.svg");

// The picture at the given size in device-independent pixels, sharp at the given pixel ratio.
QPixmap Picture(const QString& resource, int size, qreal devicePixelRatio);

} // namespace pamerol::ui
