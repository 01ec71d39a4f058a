// SPDX-License-Identifier: GPL-3.0-or-later
#include "dokum.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "archive/case_keeper.h"
#include "sheet/pamerol.h"
#include "sheet/places.h"

#ifdef PAMEROL_WITH_OFFICE
#include "printouts/dokumler.h"
#include "printouts/office_process.h"
#include "printouts/office_spreadsheet.h"
#include "yasal.h"
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

int DokumKaydet(const Record& record, Dokum dokum, const std::string& path, std::ostream& err) {
    if (!StoreFilterFor(path)) {
        err << "pamerol-hesap: " << path << ": dosya adı .xls, .pdf ya da .ods ile bitmeli\n";
        return 1;
    }
    if (!record.command3Enabled()) {
        err << "pamerol-hesap: hesap tamamlanmadığı için döküm doldurulamadı\n";
        return 1;
    }
    TemporaryProfile profile;
    if (profile.path.empty()) {
        err << "pamerol-hesap: ofis profili için geçici klasör oluşturulamadı\n";
        return 1;
    }
    // The office and its profile go with this run however it ends: Ctrl+C, SIGTERM, a hang-up or SIGKILL.
    // Started before the office, while this process has no other threads.
    OfficeWatchdog watchdog(profile.path);
    int status = 1;
    {
        OfficeOptions options;
        options.visible = false;
        options.profile = profile.path;
        OfficeSpreadsheet office(options);
        ErrorMessages messages(err);
        const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
        PreparePlaces(places);
        const PaperFolders folder(places.resources, places.work);
        bool filled = false;
        if (dokum == Dokum::Aciklama) {
            // The statement names the legal figures from the table, as --aciklama does; without it, it
            // says the table was not read.
            std::ostringstream ignored;
            const std::unique_ptr<YasalDegerler> table = YasalDegerleriYukle(ignored);
            filled = AciklamaDoldur(record, table.get(), folder, office, messages);
        } else if (dokum == Dokum::Ibraname) {
            filled = IbranameDoldur(record, folder, office, messages);
        } else {
            filled = BordroDoldur(record, dokum == Dokum::Kidem, folder, office, messages);
        }
        if (filled) {
            Outcome stored = office.storeTo(path);
            if (stored.ok)
                status = 0;
            else
                err << "pamerol-hesap: " << path << " kaydedilemedi: " << stored.reason << '\n';
        }
    } // the office ends before the watchdog looks, and before the profile goes
    return status;
}

#else

int DokumKaydet(const Record&, Dokum, const std::string&, std::ostream& err) {
    err << "pamerol-hesap: bu derlemede dökümleri dolduracak LibreOffice desteği yok\n";
    return 1;
}

#endif

} // namespace pamerol
