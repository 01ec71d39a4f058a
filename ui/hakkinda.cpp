// SPDX-License-Identifier: GPL-3.0-or-later
#include "hakkinda.h"

#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <optional>

#include "pamerol/version.h"
#include "pamerolwindow.h"

namespace pamerol::ui {

namespace {

// The office's own answer to --version, or nothing when none answered.
std::optional<QString> OfficeAnswer() {
    QProcess office;
    office.start(QStringLiteral("soffice"), {QStringLiteral("--version")});
    if (!office.waitForFinished(5000) || office.exitStatus() != QProcess::NormalExit) {
        office.kill();
        office.waitForFinished(1000);
        return std::nullopt;
    }
    return QString::fromUtf8(office.readAllStandardOutput()).trimmed();
}

} // namespace

QString OfficeLine(const std::optional<QString>& answer) {
    if (!answer) return QStringLiteral("LibreOffice: bulunamadı (dökümler için LibreOffice Calc gerekir)");
    // "LibreOffice 7.4.7.2 40(Build:2)": the name and the version, without the build.
    static const QRegularExpression version(QStringLiteral("(\\d+(?:\\.\\d+)+)"));
    const QRegularExpressionMatch m = version.match(*answer);
    if (!m.hasMatch()) return QStringLiteral("LibreOffice: sürümü bilinmiyor");
    return QStringLiteral("LibreOffice ") + m.captured(1);
}

QString AboutText(const QString& settingsPath) {
    return QStringLiteral("<p><b>Pamerol %1</b><br>Kıdem ve İhbar Tazminatı Hesabı</p>"
                          "<p>Ayar dosyası: %2</p>"
                          "<p>Qt %3<br>%4</p>"
                          "<p>Lisans: GNU Genel Kamu Lisansı, sürüm 3 ya da sonrası (GPL-3.0-or-later). "
                          "Qt, GNU LGPL 3 lisansıyla kullanılır.</p>")
        .arg(QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())),
             settingsPath.toHtmlEscaped(), QString::fromLatin1(qVersion()),
             OfficeLine(OfficeAnswer()).toHtmlEscaped());
}

void ShowAbout(QWidget* parent, const QString& settingsPath) {
    QMessageBox box(QMessageBox::Information, kSheetTitle, AboutText(settingsPath), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

} // namespace pamerol::ui
