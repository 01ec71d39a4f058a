// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's dialogs: the statement, Toplu Hesap, the help, the printouts and the legal figures.
#include "pamerolwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <optional>

#include "archive/arsiv_yolu.h"
#include "pamerolwindow_parts.h"
#include "qtmessages.h"
#include "toplu_window.h"

namespace pamerol::ui {

namespace {

// The legal figures' message with the captions a clerk knows in place of the field codes.
QString WithCaptions(const QString& message) {
    static const QRegularExpression code(
        QStringLiteral("\\b(DVOR|KGN|TAV|O|VD|DL)([1-9])?(?:–(?:O|VD|DL)([1-9]))?\\b"));
    QString out;
    qsizetype at = 0;
    for (auto it = code.globalMatch(message); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString kind = m.captured(1);
        const QString first = m.captured(2), last = m.captured(3);
        QString caption;
        for (F f : {F::DVOR, F::KGN, F::TAV})
            if (kind == ToQ(FieldName(f))) caption = ToQ(Info(f).caption);
        // "1. dilimin gelir vergisi oranı", "1–5. dilimlerin gelir vergisi oranları".
        const QString rows = last.isEmpty()
                                 ? first + QStringLiteral(". dilimin ")
                                 : first + QStringLiteral("–") + last + QStringLiteral(". dilimlerin ");
        const QString ending = last.isEmpty() ? QStringLiteral("ı") : QStringLiteral("ları");
        if (kind == QStringLiteral("O") && !first.isEmpty())
            caption = rows + QStringLiteral("gelir vergisi oran") + ending;
        if (kind == QStringLiteral("VD") && !first.isEmpty())
            caption = rows + QStringLiteral("üst sınır") + ending;
        if (kind == QStringLiteral("DL") && !first.isEmpty()) {
            const auto band = [](const QString& n) {
                const std::string_view c = kNoticeBands[static_cast<size_t>(n.toInt() - 1)].caption;
                return QString::fromUtf8(c.data(), static_cast<qsizetype>(c.size()));
            };
            caption = last.isEmpty()
                          ? QStringLiteral("ihbar süresi (%1)").arg(band(first))
                          : QStringLiteral("ihbar süreleri (%1 … %2)").arg(band(first), band(last));
        }
        if (caption.isEmpty()) continue;
        out += message.mid(at, m.capturedStart() - at) + caption;
        at = m.capturedEnd();
    }
    return out + message.mid(at);
}

} // namespace

// ---- the legal figures ------------------------------------------------------------------------------------

std::optional<int> PamerolWindow::askExitDate() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("cikisTarihiSor"));
    dialog.setWindowTitle(kSheetTitle);
    // Wide enough for its whole title and the title bar's buttons.
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    dialog.setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(kSheetTitle) + 120);
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(WrappedLabel(QStringLiteral(
        "Prim gününe göre hesapta çıkış tarihi yok. Yasal değerler hangi tarihte geçerli olanlar olsun?")));
    auto* form = new QFormLayout;
    auto* date = new QLineEdit;
    name(date, QStringLiteral("tarih"), QStringLiteral("Çıkış Tarihi (GG.AA.YYYY)"));
    date->setInputMask(kDateMask);
    date->setText(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    date->selectAll();
    form->addRow(QStringLiteral("Çıkış Tarihi (GG.AA.YYYY):"), date);
    column->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("Getir"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("İptal"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // Only a calendar date can be taken.
    connect(date, &QLineEdit::textChanged, ok,
            [ok, date] { ok->setEnabled(DateKey(date->displayText().toStdString()).has_value()); });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return DateKey(date->displayText().toStdString());
}

void PamerolWindow::getYasalDegerler() {
    QtMessages messages(kSheetTitle);
    messages.setWindow(this);
    // Read again each time, so that a row an administrator has just added is taken.
    yasalDegerlerDenendi_ = true;
    auto loaded = YasalDegerler::Load(yasalDegerlerYolu_);
    if (!loaded) {
        yasalDegerler_.reset();
        messages.show("Yasal değerler tablosu okunamadı: " + loaded.error().message, MessageIcon::Warning);
        return;
    }
    yasalDegerler_ = std::move(*loaded);
    Record& r = core_.record();
    std::optional<int> date = CikisTarihi(r);
    if (!date && r.mode() == Mode::Dates) {
        // The case's own exit date is the one to go by: it is typed on the sheet, not asked apart.
        messages.show(std::string(kCikisTarihiGerekli), MessageIcon::Information);
        fieldWidget(F::CTarih)->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!date) date = askExitDate();
    if (!date) return;
    // The figures are for this case until the clerk says they are to be kept.
    core_.holdClerkFigures();
    const Getirilen got = YasalDegerleriYaz(r, *yasalDegerler_, *date);
    showResultNotes();
    messages.show(WithCaptions(ToQ(got.message)).toStdString(),
                  got.missing.empty() ? MessageIcon::Information : MessageIcon::Warning);
    if (confirm(QStringLiteral("Bu değerler ayarlarınıza kaydedilsin mi?"))) {
        core_.keepFiguresAsSettings();
        core_.ayarlariYaz();
    }
}

// ---- the other windows -----------------------------------------------------------------------------------

void PamerolWindow::showPrintouts() {
    if (!openPrintouts_) return;
    const PrintoutsRequest request{ToQ(particulars_.warning(core_.record()).value_or("")),
                                   [this] { particulars_.confirmed(); }, ToQ(UyariParagrafi(yasalUyarilar())),
                                   yasalTablo()};
    if (openPrintouts_(this, request)) printedOrStored_ = true;
}

void PamerolWindow::showStatement() {
    const Expected<Aciklama> aciklama = HesapAciklamasi(core_.record(), yasalTablo(), TodayKey());
    if (!aciklama) {
        QMessageBox::warning(this, kSheetTitle, ToQ(aciklama.error().message));
        return;
    }
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("hesapAciklamasi"));
    const std::string& name = core_.record().text(F::txtAdiSoyadi);
    dialog.setWindowTitle(QStringLiteral("Hesap Açıklaması") +
                          (name.empty() ? QString() : QStringLiteral(" – ") + ToQ(name)));
    auto* text = new QPlainTextEdit(ToQ(AciklamaMetni(*aciklama)));
    text->setObjectName(QStringLiteral("aciklamaMetni"));
    text->setAccessibleName(QStringLiteral("Hesap Açıklaması"));
    text->setReadOnly(true); // selectable and copyable, never changed
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* copy = new QPushButton(QStringLiteral("Panoya Kopyala"));
    copy->setObjectName(QStringLiteral("cmdKopyala"));
    connect(copy, &QPushButton::clicked, text,
            [text] { QGuiApplication::clipboard()->setText(text->toPlainText()); });
    auto* close = new QPushButton(QStringLiteral("Kapat"));
    close->setObjectName(QStringLiteral("cmdAciklamaKapat"));
    connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addLayout(buttons);
    dialog.resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 40);
    text->setFocus();
    dialog.exec();
}

void PamerolWindow::showToplu() {
    if (!topluWindow_) {
        TopluYollari yollar{QCoreApplication::applicationDirPath() + QStringLiteral("/pamerol-hesap"),
                            ToQ(core_.iniYolu()), keeper_ ? ToQ(ArsivYolu(core_.iniYolu())) : QString()};
        topluWindow_ = new TopluWindow(std::move(yollar), desktop_, this);
    }
    topluWindow_->show();
    topluWindow_->raise();
    topluWindow_->activateWindow();
}

void PamerolWindow::showHelp() {
    if (!help_) {
        // The help page in a window of the program: nothing else needs to be installed for it.
        auto* window = new QWidget(this, Qt::Window);
        window->setObjectName(QStringLiteral("yardim"));
        window->setWindowTitle(QStringLiteral("Yardım – ") + kSheetTitle);
        auto* browser = new QTextBrowser;
        browser->setObjectName(QStringLiteral("yardimMetni"));
        browser->setAccessibleName(QStringLiteral("Yardım"));
        browser->setOpenLinks(false);
        // Links within the pages are followed here; links to other places go to the system's browser.
        connect(browser, &QTextBrowser::anchorClicked, this, [this, browser](const QUrl& url) {
            const QUrl target = browser->source().resolved(url);
            if (target.isLocalFile())
                browser->setSource(target);
            else
                desktop_.openAddress(target.toString(QUrl::FullyEncoded).toStdString());
        });
        browser->setSource(QUrl::fromEncoded(QByteArray::fromStdString(core_.linkAddress(Link::Bilgi))));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        browser->installEventFilter(this); // Escape closes it
        window->resize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 40);
        help_ = window;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

} // namespace pamerol::ui
