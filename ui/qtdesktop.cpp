// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtdesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "pamerolwindow.h"

namespace pamerol::ui {

// The core hands over complete, already encoded addresses (https:// or file://).
void QtDesktop::openAddress(const std::string& address) {
    const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(address), QUrl::StrictMode);
    if (QDesktopServices::openUrl(url)) return;
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = window_;
    const QString shown = url.isLocalFile() ? url.toLocalFile() : url.toString();
    QMessageBox box(
        QMessageBox::Warning, kSheetTitle,
        QStringLiteral("İnternet tarayıcısı başlatılamadı. Sayfayı kendiniz açın:\n%1").arg(shown),
        QMessageBox::Ok, parent);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

} // namespace pamerol::ui
