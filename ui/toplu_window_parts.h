// SPDX-License-Identifier: GPL-3.0-or-later
// What the files of the "Toplu Hesap" dialog share: naming and colouring its widgets, and the texts made from
// what the companion says.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QFileInfo>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

#include "toplu/tablo_yaz.h"

namespace pamerol::ui::toplu_window_parts {

inline const QColor kMatched(0, 110, 0);
inline const QColor kUnmatched(176, 0, 0);
inline const QString kProgramPrefix = QStringLiteral("pamerol-hesap: ");

inline void Name(QWidget* w, const QString& objectName, const QString& caption = {}) {
    w->setObjectName(objectName);
    if (!caption.isEmpty()) w->setAccessibleName(QString(caption).remove(u'&').remove(u'…').trimmed());
}

inline QPushButton* Button(const char* objectName, const QString& caption) {
    auto* b = new QPushButton(caption);
    Name(b, QString::fromLatin1(objectName), caption);
    return b;
}

inline QCheckBox* Check(const char* objectName, const QString& caption, bool on) {
    auto* c = new QCheckBox(caption);
    Name(c, QString::fromLatin1(objectName), caption);
    c->setChecked(on);
    return c;
}

inline void Colour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

// A duration as a clerk reads it: "45 sn", "3 dk 10 sn", "1 sa 5 dk".
inline QString Duration(qint64 ms) {
    const qint64 s = (ms + 999) / 1000;
    if (s < 60) return QStringLiteral("%1 sn").arg(s);
    if (s < 3600) return QStringLiteral("%1 dk %2 sn").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1 sa %2 dk").arg(s / 3600).arg(s % 3600 / 60);
}

// The companion's message without its name in front: the clerk only knows this window.
inline QString Message(const QStringList& lines) {
    QStringList out;
    for (QString line : lines) {
        if (line.startsWith(kProgramPrefix)) line.remove(0, kProgramPrefix.size());
        if (!line.trimmed().isEmpty()) out << line;
    }
    return out.join(u'\n');
}

// The summary as the clerk reads it: "label: value", one a line.
inline QString SummaryText(const Ozet& ozet) {
    QStringList lines;
    for (const auto& [label, value] : ozet)
        lines << QString::fromStdString(label) + QStringLiteral(": ") + QString::fromStdString(value);
    return lines.join(u'\n');
}

inline bool IsResultsName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QStringLiteral("xlsx") || suffix == QStringLiteral("ods") ||
           suffix == QStringLiteral("csv");
}

inline QString LocalUrl(const QString& path) {
    return QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

} // namespace pamerol::ui::toplu_window_parts
