// SPDX-License-Identifier: GPL-3.0-or-later
#include "arsivwindow.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "archive/export.h"
#include "formuortala.h"
#include "pamerolwindow.h"
#include "qtmessages.h"
#include "sheet/entry_aids.h"

namespace pamerol::ui {

namespace {

QString ToQ(const std::string& s) {
    return QString::fromStdString(s);
}

void Name(QWidget* w, const QString& objectName, const QString& caption = {}) {
    w->setObjectName(objectName);
    if (!caption.isEmpty()) w->setAccessibleName(QString(caption).remove(u'&'));
}

// An exit date as the search takes it: empty for an empty box, otherwise what it shows (a partly typed
// date is refused by the search, which says why).
std::string DateOf(const QLineEdit* edit) {
    return edit->text() == QStringLiteral("..") ? std::string() : edit->displayText().toStdString();
}

QLineEdit* DateBox(const char* name) {
    auto* edit = new QLineEdit;
    edit->setInputMask(QStringLiteral("99.99.9999;_"));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("99.99.99999")) + 12);
    Name(edit, QString::fromLatin1(name),
         QString::fromLatin1(name).endsWith(QStringLiteral("Bitis"))
             ? QStringLiteral("Çıkış Tarihi (bitiş)")
             : QStringLiteral("Çıkış Tarihi (başlangıç)"));
    return edit;
}

QString SearchError(const QString& text) {
    return QStringLiteral("<span style=\"color:#b00000\">%1</span>").arg(text.toHtmlEscaped());
}

} // namespace

ArsivWindow::ArsivWindow(CaseKeeper& keeper, const Record& sheet,
                         std::function<void(const ArchivedCase&)> reopen, QWidget* parent)
    : QDialog(parent), keeper_(keeper), sheet_(sheet), reopen_(std::move(reopen)), messages_(kSheetTitle) {
    setObjectName(QStringLiteral("frmArsiv"));
    setWindowTitle(kArchiveTitle);
    setModal(true);
    askExportPath = [](QWidget* parent, const QString& suggested) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Kişinin Verilerini Dışa Aktar"),
                                            suggested,
                                            QStringLiteral("Yazdırılabilir liste (*.html);;CSV (*.csv)"));
    };

    text_ = new QLineEdit;
    Name(text_, QStringLiteral("txtAra"), QStringLiteral("Ara"));
    text_->setPlaceholderText(QStringLiteral("Adı Soyadı, T.C. Kimlik No, SSK No veya işveren"));
    text_->setClearButtonEnabled(true);
    from_ = DateBox("txtCikisBaslangic");
    to_ = DateBox("txtCikisBitis");
    auto* dates = new QHBoxLayout;
    dates->addWidget(from_);
    dates->addWidget(new QLabel(QStringLiteral("ile")));
    dates->addWidget(to_);
    dates->addWidget(new QLabel(QStringLiteral("arası")));
    dates->addStretch();
    auto* form = new QFormLayout;
    auto* textLabel = new QLabel(QStringLiteral("A&ra:"));
    textLabel->setBuddy(text_);
    auto* datesLabel = new QLabel(QStringLiteral("Çıkış &Tarihi:"));
    datesLabel->setBuddy(from_);
    form->addRow(textLabel, text_);
    form->addRow(datesLabel, dates);

    table_ = new QTableWidget(0, 8);
    Name(table_, QStringLiteral("tblDosyalar"), QStringLiteral("Dosyalar"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Adı Soyadı"), QStringLiteral("T.C. Kimlik No"), QStringLiteral("Çıkış Tarihi"),
         QStringLiteral("Net Kıdem Tazminatı"), QStringLiteral("Net İhbar Tazminatı"),
         QStringLiteral("Basılan Dökümler"), QStringLiteral("Son İşlem"), QStringLiteral("Toplu Hesap")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    // Every heading is read whole: a column is never narrower than its heading.
    int headings = 0;
    for (int c = 0; c < table_->columnCount(); ++c) {
        const int width = table_->horizontalHeader()->fontMetrics().horizontalAdvance(
                              table_->horizontalHeaderItem(c)->text()) +
                          fontMetrics().averageCharWidth() * 4;
        table_->setColumnWidth(c, width);
        headings += width;
    }
    table_->setMinimumSize(std::max(fontMetrics().averageCharWidth() * 120, headings + 24),
                           fontMetrics().height() * 16);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { reopenSelected(); });

    status_ = new QLabel;
    Name(status_, QStringLiteral("lblDurum"), QStringLiteral("Durum"));

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption);
        Name(b, QString::fromLatin1(name), caption);
        b->setAutoDefault(false); // Enter in the search box searches; it presses no button
        return b;
    };
    QPushButton* open = button("cmdAc", QStringLiteral("&Aç"));
    QPushButton* remove = button("cmdSil", QStringLiteral("&Sil"));
    QPushButton* exportPerson = button("cmdDisaAktar", QStringLiteral("Kişiyi &Dışa Aktar..."));
    keep_ = button("cmdArsiveKaydet", QStringLiteral("Arşive Ka&ydet"));
    QPushButton* close = button("cmdKapat", QStringLiteral("&Kapat"));
    years_ = new QSpinBox;
    Name(years_, QStringLiteral("spnYil"), QStringLiteral("Yıl"));
    years_->setRange(1, 100);
    years_->setValue(10);
    years_->setSuffix(QStringLiteral(" yıldan"));
    QPushButton* removeOld = button("cmdEskileriSil", QStringLiteral("&Eski Dosyaları Sil"));
    keep_->setEnabled(sheet_.command3Enabled());
    keep_->setToolTip(QStringLiteral("Sayfadaki hesaplanmış dosyayı döküm basmadan arşive kaydeder"));

    connect(open, &QPushButton::clicked, this, [this] { reopenSelected(); });
    connect(remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(removeOld, &QPushButton::clicked, this, [this] { this->removeOld(); });
    connect(exportPerson, &QPushButton::clicked, this, [this] { this->exportPerson(); });
    connect(keep_, &QPushButton::clicked, this, [this] { keepSheet(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* caseButtons = new QHBoxLayout;
    for (QPushButton* b : {open, remove, exportPerson}) caseButtons->addWidget(b);
    caseButtons->addStretch();
    caseButtons->addWidget(years_);
    caseButtons->addWidget(removeOld);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(keep_);
    bottom->addStretch();
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addLayout(caseButtons);
    layout->addLayout(bottom);

    // Typing searches after a short pause, so that a fast typist does not wait for every letter.
    searchTimer_ = new QTimer(this);
    searchTimer_->setSingleShot(true);
    searchTimer_->setInterval(150);
    connect(searchTimer_, &QTimer::timeout, this, &ArsivWindow::search);
    for (QLineEdit* e : {text_, from_, to_}) {
        connect(e, &QLineEdit::textEdited, searchTimer_, qOverload<>(&QTimer::start));
        e->installEventFilter(this);
    }
    table_->installEventFilter(this);

    search();
    text_->setFocus();
    FormuOrtala(*this);
}

bool ArsivWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == table_) {
        // Enter on a row opens it.
        if (!enter) return false;
        reopenSelected();
        return true;
    }
    // In the search boxes: Enter searches, then opens the one case found or goes to the list; ↓ goes
    // to the list.
    if (enter) {
        search();
        if (rows_.size() == 1)
            reopenSelected();
        else if (!rows_.empty())
            table_->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier && !rows_.empty()) {
        table_->setFocus(Qt::TabFocusReason);
        if (table_->currentRow() < 0) table_->selectRow(0);
        return true;
    }
    return false;
}

void ArsivWindow::search() {
    searchTimer_->stop();
    const Expected<Archive*> archive = keeper_.archive();
    Expected<std::vector<ArchiveRow>> found =
        archive ? (*archive)->search({text_->text().toStdString(), DateOf(from_), DateOf(to_)})
                : archive.error();
    if (!found) {
        rows_.clear();
        showRows();
        status_->setText(SearchError(ToQ(found.error().message)));
        return;
    }
    rows_ = std::move(*found);
    showRows();
    if (rows_.size() >= static_cast<size_t>(ArchiveQuery().limit))
        status_->setText(
            QStringLiteral("En yeni %1 dosya gösteriliyor; aramayı daraltın.").arg(rows_.size()));
    else
        status_->setText(QStringLiteral("%1 dosya bulundu.").arg(rows_.size()));
}

void ArsivWindow::showRows() {
    table_->setUpdatesEnabled(false);
    table_->clearContents();
    table_->setRowCount(static_cast<int>(rows_.size()));
    for (int i = 0; i < table_->rowCount(); ++i) {
        const ArchiveRow& r = rows_[static_cast<size_t>(i)];
        QStringList papers;
        for (const std::string& p : r.papers) papers << ToQ(PaperCaption(p));
        const QString exit = r.exitDate == kEmptyDate ? QString() : ToQ(r.exitDate);
        const QStringList cells = {ToQ(r.name),
                                   ToQ(r.tcNo),
                                   exit,
                                   ToQ(r.netSeverance),
                                   ToQ(r.netNotice),
                                   papers.join(QStringLiteral(", ")),
                                   ToQ(ArchiveTimeText(r.lastAt)),
                                   ToQ(r.run)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 3 || c == 4) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // A text wider than its column is read whole in its tooltip.
            item->setToolTip(cells[c]);
            table_->setItem(i, c, item);
        }
    }
    // The names and the papers as wide as they need, up to a third of the table each.
    for (int c : {0, 5}) {
        const int before = table_->columnWidth(c);
        table_->resizeColumnToContents(c);
        table_->setColumnWidth(
            c, std::clamp(table_->columnWidth(c), before, std::max(before, table_->width() / 3)));
    }
    if (!rows_.empty()) table_->selectRow(0);
    table_->setUpdatesEnabled(true);
}

const ArchiveRow* ArsivWindow::selectedRow() const {
    const int row = table_->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= rows_.size() || !table_->item(row, 0)->isSelected())
        return nullptr;
    return &rows_[static_cast<size_t>(row)];
}

std::optional<std::int64_t> ArsivWindow::selectedId() const {
    if (const ArchiveRow* r = selectedRow()) return r->id;
    return std::nullopt;
}

bool ArsivWindow::confirm(const QString& question) {
    return AskYesNo(this, kSheetTitle, question);
}

void ArsivWindow::reopenSelected() {
    const auto id = selectedId();
    if (!id) return;
    if (HasUncalculatedInputs(sheet_) &&
        !confirm(QStringLiteral("Sayfadaki hesaplanmamış bilgiler kaybolacak. Arşivdeki dosya açılsın mı?")))
        return;
    const Expected<Archive*> archive = keeper_.archive();
    const Expected<ArchivedCase> stored = archive ? (*archive)->load(*id) : archive.error();
    if (!stored) {
        messages_.show(stored.error().message, MessageIcon::Warning);
        return;
    }
    reopen_(*stored);
    accept();
}

void ArsivWindow::removeSelected() {
    const ArchiveRow* row = selectedRow();
    if (!row) return;
    if (!confirm(QStringLiteral("%1 (%2) dosyası arşivden kalıcı olarak silinecek. Silinsin mi?")
                     .arg(ToQ(row->name), ToQ(row->exitDate))))
        return;
    const Expected<Archive*> archive = keeper_.archive();
    const Expected<void> removed = archive ? (*archive)->remove(row->id) : archive.error();
    if (!removed) messages_.show(removed.error().message, MessageIcon::Warning);
    keeper_.casesDeleted();
    search();
}

void ArsivWindow::removeOld() {
    const int years = years_->value();
    if (!confirm(QStringLiteral("Çıkış tarihi %1 yıldan eski olan bütün dosyalar arşivden kalıcı olarak "
                                "silinecek. Silinsin mi?")
                     .arg(years)))
        return;
    const Expected<Archive*> archive = keeper_.archive();
    const Expected<int> removed = archive ? (*archive)->removeOlderThan(years) : archive.error();
    if (removed)
        messages_.show(std::to_string(*removed) + " dosya silindi.", MessageIcon::Information);
    else
        messages_.show(removed.error().message, MessageIcon::Warning);
    keeper_.casesDeleted();
    search();
}

void ArsivWindow::exportPerson() {
    const ArchiveRow* row = selectedRow();
    if (!row) return;
    if (row->tcNo.empty()) {
        messages_.show("Seçili dosyada T.C. Kimlik No yok: kişinin dosyaları belirlenemiyor.",
                       MessageIcon::Warning);
        return;
    }
    const std::string tcNo = row->tcNo;
    const QString path = askExportPath(this, ToQ(tcNo) + QStringLiteral(".html"));
    if (path.isEmpty()) return;
    const Expected<Archive*> archive = keeper_.archive();
    const Expected<size_t> written =
        archive ? ExportPerson(**archive, tcNo, path.toStdString()) : archive.error();
    if (!written) {
        messages_.show(written.error().message, MessageIcon::Warning);
        return;
    }
    status_->setText(QStringLiteral("%1 dosya %2 dosyasına yazıldı.").arg(*written).arg(path));
}

void ArsivWindow::keepSheet() {
    const auto id = keeper_.keep(sheet_);
    if (!id) {
        messages_.show(id.error().message, MessageIcon::Warning);
        return;
    }
    search();
    status_->setText(QStringLiteral("Sayfadaki dosya arşive kaydedildi."));
}

void ShowArchive(CaseKeeper& keeper, Pamerol& core, PamerolWindow& window) {
    QtMessages messages(kSheetTitle);
    messages.setWindow(&window);
    if (const Expected<Archive*> archive = keeper.archive(); !archive) {
        messages.show(archive.error().message, MessageIcon::Warning);
        return;
    }
    ArsivWindow dialog(
        keeper, core.record(),
        [&](const ArchivedCase& stored) {
            window.showStoredCase([&](Record& r) { RestoreSheet(stored.sheet, r); });
            keeper.reopened(stored.id, core.record());
        },
        &window);
    dialog.exec();
}

} // namespace pamerol::ui
