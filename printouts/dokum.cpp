// SPDX-License-Identifier: GPL-3.0-or-later
#include "dokum.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "archive/case_keeper.h"
#include "dokumler.h"
#include "sheet/pamerol.h"
#include "sheet/places.h"

#ifdef PAMEROL_WITH_OFFICE
#include "figures/yasal_degerler.h"
#include "office_process.h"
#include "office_spreadsheet.h"
#endif

namespace pamerol {

namespace fs = std::filesystem;

std::optional<Dokum> DokumByName(const std::string& name) {
    // The papers' names are the archive's, in the order of Dokum.
    for (size_t i = 0; i < kPaperNames.size(); ++i)
        if (kPaperNames[i] == name) return static_cast<Dokum>(i);
    return std::nullopt;
}

std::string_view DokumName(Dokum d) {
    return kPaperNames.at(static_cast<size_t>(d));
}

std::string DokumBasligi(Dokum d) {
    return PaperCaption(DokumName(d));
}

std::optional<std::string> DokumEngeli(const Record& record, Dokum dokum, int today) {
    switch (dokum) {
    case Dokum::Kidem:
    case Dokum::Ihbar: return BordroEngeli(record, dokum == Dokum::Kidem);
    case Dokum::Izin: return IzinBordrosuEngeli(record);
    case Dokum::Ibraname: return IbranameReddi(record, today);
    case Dokum::Aciklama: break;
    }
    return std::nullopt;
}

#ifdef PAMEROL_WITH_OFFICE

namespace {

// The fill's one message, if any, goes to the error stream.
class ErrorMessages : public Messages {
  public:
    explicit ErrorMessages(std::ostream& err) : err_(err) {}
    void show(const std::string& text, MessageIcon) override { err_ << "pamerol-hesap: " << text << '\n'; }

  private:
    std::ostream& err_;
};

// A profile folder of this run's own: runs side by side never share (and never end) each other's office.
struct TemporaryProfile {
    std::string path;
    TemporaryProfile() {
        std::string pattern = (fs::temp_directory_path() / "pamerol-office-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~TemporaryProfile() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

} // namespace

// How many papers one office fills before it is ended and a fresh one takes over.
constexpr int kDokumPerOffice = 150;

struct DokumOfisi::Impl {
    explicit Impl(std::ostream& e) : err(e), messages(e) {}
    std::ostream& err;
    ErrorMessages messages;
    std::unique_ptr<TemporaryProfile> profile;
    std::unique_ptr<OfficeWatchdog> watchdog;
    std::unique_ptr<OfficeSpreadsheet> office;
    std::optional<PaperFolders> folders;
    bool failed = false; // the office could not be prepared: every later paper fails at once
    bool stored = false; // a paper has been stored
    int failures = 0;    // papers in a row that were not stored
    int papers = 0;      // papers filled by the office now running
    OfficeOptions options;
    std::unique_ptr<YasalDegerler> table; // the legal figures the statement names
    bool tableLoaded = false;
};

DokumOfisi::DokumOfisi(std::ostream& err) : impl_(std::make_unique<Impl>(err)) {}

DokumOfisi::~DokumOfisi() {
    // The office ends before the watchdog looks, and before the profile goes.
    impl_->office.reset();
    impl_->watchdog.reset();
    impl_->profile.reset();
}

bool DokumOfisi::hazirla() {
    Impl& d = *impl_;
    if (d.office || d.failed) return !d.failed;
    d.profile = std::make_unique<TemporaryProfile>();
    if (d.profile->path.empty()) {
        d.err << "pamerol-hesap: ofis profili için geçici klasör oluşturulamadı\n";
        d.failed = true;
        return false;
    }
    // The office and its profile go with this run however it ends: Ctrl+C, SIGTERM, a hang-up or SIGKILL.
    d.watchdog = std::make_unique<OfficeWatchdog>(d.profile->path);
    d.options.visible = false;
    d.options.profile = d.profile->path;
    d.office = std::make_unique<OfficeSpreadsheet>(d.options);
    // The working copies go in the temporary profile's folder: offices side by side never share one, and
    // none is left behind.
    const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
    d.folders.emplace(places.resources, d.profile->path);
    // The office is started and connected here, in the caller's thread: the office library sets up its
    // shared type information on first use, and offices side by side then share what one thread made.
    // A start that fails is tried again by the first paper, which says why.
    d.office->start();
    return true;
}

bool DokumOfisi::kaydet(const Record& record, Dokum dokum, const std::string& path) {
    Impl& d = *impl_;
    if (!StoreFilterFor(path)) {
        d.err << "pamerol-hesap: " << path << ": dosya adı .xls, .pdf ya da .ods ile bitmeli\n";
        return false;
    }
    if (!record.command3Enabled()) {
        d.err << "pamerol-hesap: hesap tamamlanmadığı için döküm doldurulamadı\n";
        return false;
    }
    // A paper that is not to be made is refused before the office is troubled: it is no office failure.
    if (const auto why = DokumEngeli(record, dokum, TodayKey())) {
        d.err << "pamerol-hesap: " << *why << '\n';
        return false;
    }
    if (!hazirla()) return false;
    bool filled = false;
    if (dokum == Dokum::Aciklama) {
        // The statement names the legal figures from the table, as --aciklama does; without it, it says
        // the table was not read. Loaded once, with the first statement.
        if (!d.tableLoaded) {
            if (auto table = ProgramYasalDegerleri())
                d.table = std::make_unique<YasalDegerler>(std::move(*table));
            d.tableLoaded = true;
        }
        filled = AciklamaDoldur(record, d.table.get(), *d.folders, *d.office, d.messages);
    } else if (dokum == Dokum::Ibraname) {
        filled = IbranameDoldur(record, *d.folders, *d.office, d.messages);
    } else if (dokum == Dokum::Izin) {
        filled = IzinBordroDoldur(record, *d.folders, *d.office, d.messages);
    } else {
        filled = BordroDoldur(record, dokum == Dokum::Kidem, *d.folders, *d.office, d.messages);
    }
    Outcome stored = filled ? d.office->storeTo(path) : Outcome::Failure({});
    if (filled && !stored.ok)
        d.err << "pamerol-hesap: " << path << " kaydedilemedi: " << stored.reason << '\n';
    d.failures = stored.ok ? 0 : d.failures + 1;
    d.stored = d.stored || stored.ok;
    // The office keeps a little of every workbook it has held, so a long run ends it now and then and
    // goes on with a fresh one on the same profile: its memory stays what a few hundred papers take.
    if (++d.papers >= kDokumPerOffice) {
        d.office.reset();
        d.office = std::make_unique<OfficeSpreadsheet>(d.options);
        d.papers = 0;
    }
    // An office that has not stored a single paper in three tries will not: the rest are not tried (each
    // try may wait a minute for an office that does not answer).
    if (!d.stored && d.failures >= 3) {
        d.err << "pamerol-hesap: dökümler doldurulamıyor; kalan dökümler denenmedi\n";
        d.failed = true;
    }
    return stored.ok;
}

int DokumKaydet(const Record& record, Dokum dokum, const std::string& path, std::ostream& err) {
    DokumOfisi ofis(err);
    return ofis.kaydet(record, dokum, path) ? 0 : 1;
}

int OfisKapanisiniBekle(const std::string& profile) {
    OfficeOptions options;
    options.profile = profile;
    WaitForOfficePapers(options);
    return 0;
}

#else

struct DokumOfisi::Impl {
    explicit Impl(std::ostream& e) : err(e) {}
    std::ostream& err;
};

DokumOfisi::DokumOfisi(std::ostream& err) : impl_(std::make_unique<Impl>(err)) {}
DokumOfisi::~DokumOfisi() = default;

bool DokumOfisi::hazirla() {
    return true;
}

bool DokumOfisi::kaydet(const Record&, Dokum, const std::string&) {
    impl_->err << "pamerol-hesap: bu derlemede dökümleri dolduracak LibreOffice desteği yok\n";
    return false;
}

int DokumKaydet(const Record&, Dokum, const std::string&, std::ostream& err) {
    err << "pamerol-hesap: bu derlemede dökümleri dolduracak LibreOffice desteği yok\n";
    return 1;
}

int OfisKapanisiniBekle(const std::string&) {
    return 1;
}

#endif

} // namespace pamerol
