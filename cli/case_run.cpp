// SPDX-License-Identifier: GPL-3.0-or-later
#include "case_run.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "calc/fields.h"
#include "printouts/ibraname.h"
#include "report.h"
#include "sheet/profile.h"
#include "yasal.h"

namespace pamerol {

// A fresh sheet with the settings (if any), the assignments, the calculator's table and the calculation.
Expected<void> RunCase(const Settings* settings, const Assignments& assignments, ResultWriter& writer,
                       std::string& out, const SaveTarget* saveTo, std::ostream* err, int* status,
                       const Printout* printout, ArchiveRun* archive, size_t order, YasalTablo table,
                       const CalculatedCase& calculated) {
    Vaka vaka;
    if (auto done = VakaHesapla(vaka, settings, assignments, table, printout != nullptr); !done) return done;
    const Record& r = vaka.sheet.record();
    if (status && vaka.refused()) *status = kStatusRefused;
    JsonWriter line(out);
    writer.members(r, vaka.messages, line.beginObject());
    if (calculated) calculated(r, vaka.messages);
    if (vaka.yasal) YasalRaporuEkle(vaka, *table.degerler, line);
    line.endObject();
    out += '\n';
    // Calculated, but with figures that are not the law of the exit date or a ceiling the table lacks: the
    // caller must look.
    if (status && vaka.warned()) *status = WorseStatus(*status, kStatusWarning);
    if (saveTo) {
        if (auto saved = AyarlariYaz(r, saveTo->path, saveTo->loaded); !saved)
            *status = Report(saved.error(), kStatusRefused, *err);
    }
    // What a release letter lacks or holds that the law does not accept is said, and it is printed.
    if (printout && printout->dokum == Dokum::Ibraname && r.command3Enabled() &&
        !IbranameEngeliVar(r, TodayKey())) {
        for (const std::string& said : IbranameUyarilari(r)) {
            *err << "pamerol-hesap: uyarı: " << said << '\n';
            if (status) *status = WorseStatus(*status, kStatusWarning);
        }
    }
    const bool printed = printout && DokumKaydet(r, printout->dokum, printout->path, *err) == 0;
    if (printout && !printed) *status = kStatusRefused;
    if (archive) archive->keep(r, printed ? &printout->dokum : nullptr, order);
    return {};
}

// Whether everything written to out has reached it; if not, says so once on err.
bool OutputWritten(std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    if (out) return true;
    const int why = errno;
    Report(Failure("çıktı yazılamadı" + (why ? std::string(" (") + std::strerror(why) + ")" : "")),
           kStatusRefused, err);
    return false;
}

} // namespace pamerol
