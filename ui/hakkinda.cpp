// SPDX-License-Identifier: GPL-3.0-or-later
#include "hakkinda.h"

#include <QMessageBox>
#include <QProcess>

#include "pamerol/version.h"
#include "pamerolwindow.h"

namespace pamerol::ui {

namespace {

// "LibreOffice 7.4.7.2 40(Build:2)" as the office itself reports it, or a note that none answered.
QString OfficeVersion() {
    QProcess office;
    office.start(QStringLiteral("soffice"), {QStringLiteral("--version")});
    if (!office.waitForFinished(5000) || office.exitStatus() != QProcess::NormalExit) {
        office.kill();
        office.waitForFinished(1000);
        return QStringLiteral("bulunamadı (dökümler için LibreOffice Calc gerekir)");
    }
    const QString answer = QString::fromUtf8(office.readAllStandardOutput()).trimmed();
    return answer.isEmpty() ? QStringLiteral("bilinmiyor") : answer;
}

} // namespace

QString AboutText(const QString& settingsPath) {
    return QStringLiteral("<p><b>Pamerol %1</b><br>Kıdem ve İhbar Tazminatı Hesabı</p>"
                          "<p>Ayar dosyası: %2</p>"
                          "<p>Qt sürümü: %3<br>LibreOffice: %4</p>"
                          "<p>Lisans: GNU Genel Kamu Lisansı, sürüm 3 ya da sonrası (GPL-3.0-or-later). "
                          "Qt, GNU LGPL 3 lisansıyla kullanılır.</p>")
        .arg(QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())),
             settingsPath.toHtmlEscaped(), QString::fromLatin1(qVersion()), OfficeVersion().toHtmlEscaped());
}

void ShowAbout(QWidget* parent, const QString& settingsPath) {
    QMessageBox box(QMessageBox::Information, kSheetTitle, AboutText(settingsPath), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

} // namespace pamerol::ui
