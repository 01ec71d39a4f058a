// SPDX-License-Identifier: GPL-3.0-or-later
#include "arsiv.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "archive/arsiv_yolu.h"
#include "archive/export.h"
#include "base/json.h"
#include "sheet/pamerol.h"

namespace pamerol {

namespace {

template <typename Number> std::optional<Number> Whole(const std::string& text) {
    Number value{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::unique_ptr<Archive> OpenOrSay(const std::string& path, ArchiveAccess access, std::ostream& err) {
    std::string error;
    auto archive = Archive::open(path, &error, access);
    if (!archive) err << "pamerol-hesap: " << error << '\n';
    return archive;
}

} // namespace

int ArchiveArgument(const std::vector<std::string>& args, size_t& i, ArchiveOptions& o, std::ostream& err) {
    const std::string& a = args[i];
    if (a == "--hepsi") {
        o.all = true;
        return 1;
    }
    const int values = a == "--arsiv-disa" ? 2
                       : (a == "--arsiv" || a == "--arsiv-ara" || a == "--arsiv-ac" || a == "--arsiv-sil" ||
                          a == "--arsiv-sil-eski")
                           ? 1
                           : 0;
    if (values == 0) return 0;
    if (i + values >= args.size()) {
        err << "pamerol-hesap: " << a
            << (values == 2 ? " iki değer ister: T.C. Kimlik No ve dosya adı" : " bir değer ister") << '\n';
        return -1;
    }
    if (a == "--arsiv" ? o.file.has_value() : !o.name.empty()) {
        err << "pamerol-hesap: "
            << (a == "--arsiv"
                    ? "--arsiv bir kez verilebilir"
                    : "bir çalıştırmada yalnız bir arşiv komutu verilebilir (" + o.name + " ve " + a + ")")
            << '\n';
        return -1;
    }
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
    if (!ok) {
        err << "pamerol-hesap: " << a << " bir tam sayı ister, \"" << v << "\" değil\n";
        return -1;
    }
    if (a != "--arsiv") o.name = a;
    i += static_cast<size_t>(values);
    return 1;
}

std::optional<std::string> ArchiveOptionsProblem(const ArchiveOptions& o) {
    if (o.all && !o.search) return std::string("--hepsi yalnız --arsiv-ara ile kullanılır");
    return std::nullopt;
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
    auto archive = OpenOrSay(path, reading ? ArchiveAccess::ReadOnly : ArchiveAccess::ReadWrite, err);
    if (!archive) return 1;
    std::string error;
    bool ok = true;
    if (o.search) {
        ArchiveQuery q;
        q.text = *o.search;
        if (o.all) q.limit = 0;
        bool cut = false;
        auto rows = archive->search(q, &error, &cut);
        ok = static_cast<bool>(rows);
        for (const ArchiveRow& r : rows.value_or(std::vector<ArchiveRow>())) {
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
        ok = archive->remove(*o.remove, &error);
    } else if (o.removeOlderThan) {
        auto count = archive->removeOlderThan(*o.removeOlderThan, &error);
        ok = static_cast<bool>(count);
        if (ok) {
            std::string line;
            JsonWriter(line).beginObject().key("silinen").number(*count).endObject();
            out << line << '\n';
        }
    } else if (o.exportTo) {
        const auto& [tcNo, file] = *o.exportTo;
        ok = static_cast<bool>(ExportPerson(*archive, tcNo, file, &error));
    }
    if (!ok) err << "pamerol-hesap: " << error << '\n';
    return ok ? 0 : 1;
}

int ReopenArchivedCase(const std::string& path, std::int64_t id,
                       const std::function<void(const Record&, const RecordedMessages&)>& show,
                       const Dokum* dokum, const std::string& paperPath, std::ostream& err) {
    auto archive = OpenOrSay(path, dokum ? ArchiveAccess::ReadWrite : ArchiveAccess::ReadOnly, err);
    if (!archive) return 1;
    std::string error;
    auto stored = archive->load(id, &error);
    if (!stored) {
        err << "pamerol-hesap: " << error << '\n';
        return 1;
    }
    RecordedMessages messages;
    Pamerol sheet(messages);
    const std::vector<std::string> differing = RestoreSheet(stored->sheet, sheet.record());
    for (const std::string& caption : differing)
        err << "pamerol-hesap: arşivdeki \"" << caption << "\" alanı aynen geri yüklenemedi\n";
    show(sheet.record(), messages);
    if (!differing.empty()) return 1;
    if (!dokum) return 0;
    if (DokumKaydet(sheet.record(), *dokum, paperPath, err) != 0) return 1;
    if (archive->addPaper(id, DokumName(*dokum), &error)) return 0;
    err << "pamerol-hesap: " << error << '\n';
    return 1;
}

} // namespace pamerol
