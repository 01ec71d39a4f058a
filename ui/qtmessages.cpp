// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtmessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace pamerol::ui {

void QtMessages::show(const std::string& text, MessageIcon icon) {
    // A message from a printout stands over the printout dialog, every other one over the sheet.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = window_;
    QString body = QString::fromStdString(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (icon == MessageIcon::Information && !note_.isEmpty()) body += QStringLiteral("\n\n") + note_;
    const QMessageBox::Icon shown = icon == MessageIcon::Information ? QMessageBox::Information
                                    : icon == MessageIcon::Warning   ? QMessageBox::Warning
                                                                     : QMessageBox::NoIcon;
    QMessageBox box(shown, caption_, body, QMessageBox::Ok, parent);
    // A box with a short text would be narrower than its title: a spacer keeps the whole title visible,
    // with room for the title bar's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        QFont title = box.font();
        title.setBold(true);
        const int width = QFontMetrics(title).horizontalAdvance(caption_) + 120;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
    }
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& question) {
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Evet"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Hayır"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace pamerol::ui
