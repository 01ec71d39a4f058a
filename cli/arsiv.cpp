// SPDX-License-Identifier: GPL-3.0-or-later
#include "arsiv.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "archive/arsiv_yolu.h"
#include "archive/export.h"
#include "base/json.h"
#include "report.h"
#include "sheet/pamerol.h"
#include "toplu/protokol.h"

namespace pamerol {

namespace {

template <typename Number> std::optional<Number> Whole(const std::string& text) {
    Number value{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

} // namespace

Expected<bool> ArchiveArgument(const std::vector<std::string>& args, size_t& i, ArchiveOptions& o) {
    const std::string& a = args[i];
    if (a == "--hepsi") {
        o.all = true;
        return true;
    }
    const int values = a == "--arsiv-disa" ? 2
                       : (a == "--arsiv" || a == "--arsiv-ara" || a == "--arsiv-ac" || a == "--arsiv-sil" ||
                          a == "--arsiv-sil-eski")
                           ? 1
                           : 0;
    if (values == 0) return false;
    if (i + values >= args.size())
        return Failure(a +
                       (values == 2 ? " iki değer ister: T.C. Kimlik No ve dosya adı" : " bir değer ister"));
    if (a == "--arsiv" ? o.file.has_value() : !o.name.empty())
        return Failure(a == "--arsiv" ? "--arsiv bir kez verilebilir"
                                      : "bir çalıştırmada yalnız bir arşiv komutu verilebilir (" + o.name +
                                            " ve " + a + ")");
    const std::string& v = args[i + 1];
    bool ok = true;
    if (a == "--arsiv")
        o.file = v;
    else if (a == "--arsiv-ara")
        o.search = v;
    else if (a == "--arsiv-ac")
        ok = static_cast<bool>(o.reopen = Whole<std::int64_t>(v));
    else if (a == "--arsiv-sil")
        ok = static_cast<bool>(o.remove = Whole<std::int64_t>(v));
    else if (a == "--arsiv-sil-eski")
        ok = static_cast<bool>(o.removeOlderThan = Whole<int>(v));
    else
        o.exportTo = std::make_pair(v, args[i + 2]);
    if (!ok) return Failure(a + " bir tam sayı ister, \"" + v + "\" değil");
    if (a != "--arsiv") o.name = a;
    i += static_cast<size_t>(values);
    return true;
}

Expected<void> CheckArchiveOptions(const ArchiveOptions& o) {
    if (o.all && !o.search) return Failure("--hepsi yalnız --arsiv-ara ile kullanılır");
    return {};
}

std::optional<std::string> ArchivePath(const ArchiveOptions& o,
                                       const std::optional<std::string>& settingsFile) {
    if (o.file) return o.file;
    if (settingsFile) return ArsivYolu(*settingsFile);
    return std::nullopt;
}

int RunArchiveCommand(const ArchiveOptions& o, const std::string& path, std::ostream& out,
                      std::ostream& err) {
    const bool reading = o.search || o.exportTo;
    auto opened = Archive::open(path, reading ? ArchiveAccess::ReadOnly : ArchiveAccess::ReadWrite);
    if (!opened) return Report(opened.error(), kStatusRefused, err);
    Archive& archive = **opened;
    Expected<void> done;
    if (o.search) {
        ArchiveQuery q;
        q.text = *o.search;
        if (o.all) q.limit = 0;
        bool cut = false;
        auto rows = archive.search(q, &cut);
        if (!rows) return Report(rows.error(), kStatusRefused, err);
        for (const ArchiveRow& r : *rows) {
            std::string line;
            JsonWriter json(line);
            json.beginObject().key("id").number(r.id).key("txtAdiSoyadi").text(r.name);
            json.key("txtTcKNo").text(r.tcNo).key("CTarih").text(r.exitDate);
            json.key("NET").text(r.netSeverance).key("ITAZM").text(r.netNotice);
            json.key("dokumler").texts(r.papers).key("zaman").text(ArchiveTimeText(r.lastAt));
            json.key("toplu").text(r.run).endObject();
            out << line << '\n';
        }
        if (cut)
            err << "pamerol-hesap: arama " << q.limit
                << " vakada durdu; daha eski eşleşen vakalar yazılmadı (hepsi için --hepsi)\n";
    } else if (o.remove) {
        done = archive.remove(*o.remove);
    } else if (o.removeOlderThan) {
        auto count = archive.removeOlderThan(*o.removeOlderThan);
        if (!count) return Report(count.error(), kStatusRefused, err);
        std::string line;
        JsonWriter(line).beginObject().key("silinen").number(*count).endObject();
        out << line << '\n';
    } else if (o.exportTo) {
        const auto& [tcNo, file] = *o.exportTo;
        if (auto written = ExportPerson(archive, tcNo, file); !written) done = written.error();
    }
    return done ? kStatusOk : Report(done.error(), kStatusRefused, err);
}

int ReopenArchivedCase(const std::string& path, std::int64_t id,
                       const std::function<void(const Record&, const RecordedMessages&)>& show,
                       const Dokum* dokum, const std::string& paperPath, std::ostream& err) {
    auto archive = Archive::open(path, dokum ? ArchiveAccess::ReadWrite : ArchiveAccess::ReadOnly);
    if (!archive) return Report(archive.error(), kStatusRefused, err);
    auto stored = (*archive)->load(id);
    if (!stored) return Report(stored.error(), kStatusRefused, err);
    RecordedMessages messages;
    Pamerol sheet(messages);
    RestoreSheet(stored->sheet, sheet.record());
    show(sheet.record(), messages);
    if (!dokum) return 0;
    if (DokumKaydet(sheet.record(), *dokum, paperPath, err) != 0) return 1;
    const Expected<void> added = (*archive)->addPaper(id, DokumName(*dokum));
    return added ? kStatusOk : Report(added.error(), kStatusRefused, err);
}

} // namespace pamerol
