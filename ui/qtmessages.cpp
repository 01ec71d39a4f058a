#include "qtmessages.h"

#include <QApplication>
#include <QMessageBox>

namespace pamerol::ui {

void QtMessages::show(const std::string& text, MessageIcon icon) {
    // A message from a printout stands over the printout dialog, every other one over the sheet.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = window_;
    QString body = QString::fromStdString(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QMessageBox::Icon shown = icon == MessageIcon::Information ? QMessageBox::Information
                                    : icon == MessageIcon::Warning   ? QMessageBox::Warning
                                                                     : QMessageBox::NoIcon;
    QMessageBox box(shown, caption_, body, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace pamerol::ui
