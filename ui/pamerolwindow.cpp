// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's window put together, its public commands and the table of legal figures it reads.
#include "pamerolwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

#include "figures/ayar_surumu.h"
#include "pamerolwindow_parts.h"
#include "pictures.h"
#include "qtmessages.h"
#include "sheet/profile.h"

namespace pamerol::ui {

PamerolWindow::PamerolWindow(Pamerol& core, Desktop& desktop, PrintoutsOpener openPrintouts, QWidget* parent)
    : QWidget(parent), core_(core), desktop_(desktop), openPrintouts_(std::move(openPrintouts)) {
    setObjectName(QStringLiteral("Pamerol"));
    setWindowTitle(kSheetTitle);
    setWindowIcon(QIcon(Picture(kBilgiPicture, 64, 1)));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildUpperArea());
    tabs_ = new QTabWidget;
    focusOrder_.push_back(tabs_);
    // Beside the results, at the end of the tab bar (the window keeps its size): how each figure was
    // reached. Its access key is no other button's or tab's; it comes right after the tab bar with Tab.
    aciklama_ = makeButton("cmdAciklama", QStringLiteral("Nasıl H&esaplandı?"));
    aciklama_->setToolTip(QStringLiteral("Hesabın açıklaması: her sonucun hangi değerlerden ve nasıl "
                                         "hesaplandığı, kullanılan yasal değerlerin dönemi ve kaynağı"));
    connect(aciklama_, &QPushButton::clicked, this, &PamerolWindow::showStatement);
    tabs_->setCornerWidget(aciklama_, Qt::TopRightCorner);
    // Access keys of the tabs: none of them is one of the buttons' (Alt+H, Alt+D, Alt+B, Alt+K) nor the
    // "&Güncelleme" button's.
    tabs_->addTab(buildKidemTab(), QStringLiteral("Kıde&m"));
    tabs_->addTab(buildIhbarTab(), QStringLiteral("İhb&ar"));
    tabs_->addTab(buildSabitlerTab(), QStringLiteral("&Sabitler"));
    tabs_->addTab(buildIsverenTab(), QStringLiteral("İş&veren"));
    tabs_->addTab(buildPersonelTab(), QStringLiteral("&Personel"));
    tabs_->addTab(buildIzinTab(), QStringLiteral("İ&zin"));
    tabs_->addTab(buildGuncellemeTab(), QStringLiteral("Gün&celleme"));
    // Maximised, the tabs keep their height and the space left stays below them.
    layout->addWidget(tabs_);
    layout->addStretch(1);

    for (size_t i = 1; i < focusOrder_.size(); ++i) setTabOrder(focusOrder_[i - 1], focusOrder_[i]);
    // Escape and the tab keys work from whichever control has the focus.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("ipucu"));
    hint_->setFrameShape(QFrame::Box);
    hint_->setAutoFillBackground(true);
    hint_->setBackgroundRole(QPalette::ToolTipBase);
    hint_->setForegroundRole(QPalette::ToolTipText);
    hint_->setFocusPolicy(Qt::NoFocus);
    hint_->setMargin(3);
    hint_->hide();
    hintTimer_ = new QTimer(this);
    hintTimer_->setSingleShot(true);
    hintTimer_->setInterval(2500);
    connect(hintTimer_, &QTimer::timeout, hint_, &QWidget::hide);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &PamerolWindow::showHelp);

    for (int i = 0; i < kFieldCount; ++i) showField(static_cast<F>(i));
    showStates();
    core_.record().setObserver([this](std::optional<F> f) { f ? showField(*f) : showStates(); });
}

PamerolWindow::~PamerolWindow() {
    core_.record().setObserver(nullptr);
}

void PamerolWindow::setArchive(CaseKeeper* keeper) {
    keeper_ = keeper;
    archive_->setVisible(keeper != nullptr);
}

void PamerolWindow::showStoredCase(const std::function<void(Record&)>& put) {
    core_.showStoredCase(put);
    particulars_.confirmed(); // the stored case's particulars are its own
}

// ---- the legal figures ------------------------------------------------------------------------------------

void PamerolWindow::setYasalDegerlerYolu(std::string path) {
    yasalDegerlerYolu_ = std::move(path);
    // A settings file of an older version gains, once, the legal figures later versions added.
    const Expected<std::optional<std::string>> upgrade =
        AyarDosyasiniYukselt(core_.iniYolu(), yasalTablo(), TodayKey());
    QtMessages own(kSheetTitle);
    own.setWindow(this);
    Messages& messages = messages_ ? static_cast<Messages&>(*messages_) : own;
    if (!upgrade) {
        messages.show(upgrade.error().message, MessageIcon::Warning);
    } else if (*upgrade) {
        core_.ayarlariOku();
        messages.show(**upgrade, MessageIcon::Information);
    }
    const std::string stored = IniOku(core_.iniYolu(), "Pamerol", "YasalOtomatik");
    const bool on = stored.empty() ? yasalTablo() != nullptr : stored == "1";
    core_.setYasalOtomatik(on);
    QScopedValueRollback guard(mirroring_, true);
    yasalOtomatik_->setChecked(on);
}

const YasalDegerler* PamerolWindow::yasalTablo() {
    // Read once, at the first need; a table that cannot be read gives no figures and no warning here (the
    // command that fetches the figures names its fault).
    if (!yasalDegerlerDenendi_ && !yasalDegerlerYolu_.empty()) {
        yasalDegerlerDenendi_ = true;
        if (auto loaded = YasalDegerler::Load(yasalDegerlerYolu_)) yasalDegerler_ = std::move(*loaded);
    }
    return yasalDegerler_ ? &*yasalDegerler_ : nullptr;
}

std::vector<YasalUyari> PamerolWindow::yasalUyarilar() {
    const Record& r = core_.record();
    if (!r.command3Enabled()) return {};
    const YasalDegerler* table = yasalTablo();
    const std::optional<int> date = YasalTarih(r, TodayKey());
    if (!table || !date) return {};
    return YasalUyarilar(r, *table, *date);
}

} // namespace pamerol::ui
