#include "qtdesktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace pamerol::ui {

// The core hands over complete, already encoded addresses (https:// or file://).
void QtDesktop::openAddress(const std::string& address) {
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(address), QUrl::StrictMode));
}

} // namespace pamerol::ui
