// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "archive/case_keeper.h"
#include "base/csv.h"
#include "base/files.h"
#include "base/markup.h"

namespace pamerol {

namespace {

std::string ModeText(Mode m) {
    return m == Mode::Dates ? "Giriş Çıkış Tarihine Göre" : "Prim Gününe Göre";
}

std::string PapersText(const ArchivedCase& c) {
    std::string text;
    for (const ArchivePaper& p : c.papers) {
        if (!text.empty()) text += "; ";
        text += PaperCaption(p.paper) + " " + ArchiveTimeText(p.printedAt) + " " + p.printedBy;
    }
    return text;
}

std::string CsvValue(const std::string& v) {
    return CsvCell(v);
}

// A text in the page: its line breaks kept as the cells show them.
std::string Html(const std::string& v) {
    return MarkupText(v, ControlCharacters::CarriageReturnLeftOut);
}

} // namespace

std::string ArchiveTimeText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &tm);
    return text;
}

std::string ExportCsv(const std::vector<ArchivedCase>& cases) {
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::string> header = {"Vaka",        "Kayıt Zamanı", "Kaydeden", "Dökümler",
                                       "Hesap Şekli", "Check1",       "Check2",   "YillikKidemTutari"};
    for (int i = 0; i < kFieldCount; ++i) header.emplace_back(FieldName(static_cast<Field>(i)));
    for (size_t i = 0; i < header.size(); ++i) out += (i ? ";" : "") + CsvValue(header[i]);
    out += "\r\n";
    for (const ArchivedCase& c : cases) {
        std::vector<std::string> row = {std::to_string(c.id),
                                        ArchiveTimeText(c.storedAt),
                                        c.storedBy,
                                        PapersText(c),
                                        ModeText(c.sheet.mode),
                                        std::to_string(c.sheet.check1),
                                        std::to_string(c.sheet.check2),
                                        std::to_string(c.sheet.yillikKidemTutari)};
        for (const std::string& t : c.sheet.texts) row.push_back(t);
        for (size_t i = 0; i < row.size(); ++i) out += (i ? ";" : "") + CsvValue(row[i]);
        out += "\r\n";
    }
    return out;
}

std::string ExportHtml(const std::vector<ArchivedCase>& cases) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"tr\"><head><meta charset=\"utf-8\">"
                      "<title>Arşivdeki Vakalar</title><style>body{font-family:sans-serif;font-size:10pt}"
                      "table{border-collapse:collapse;margin-bottom:1.5em;page-break-inside:avoid}"
                      "th,td{border:1px solid #888;padding:2px 6px;text-align:left;vertical-align:top}"
                      "td{white-space:pre-wrap}</style></head><body>\n<h1>Arşivdeki Vakalar</h1>\n";
    for (const ArchivedCase& c : cases) {
        out +=
            "<h2>Vaka " + std::to_string(c.id) + ": " + Html(c.sheet.text(Field::txtAdiSoyadi)) + "</h2>\n";
        out += "<table>\n<tr><th>Kayıt</th><td>" + Html(ArchiveTimeText(c.storedAt) + " " + c.storedBy) +
               "</td></tr>\n<tr><th>Dökümler</th><td>" + Html(PapersText(c)) +
               "</td></tr>\n<tr><th>Hesap Şekli</th><td>" + ModeText(c.sheet.mode) + "</td></tr>\n";
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = static_cast<Field>(i);
            if (c.sheet.text(f).empty()) continue;
            out += "<tr><th>" + Html(FieldLabel(f)) + "</th><td>" + Html(c.sheet.text(f)) + "</td></tr>\n";
        }
        out += "</table>\n";
    }
    return out + "</body></html>\n";
}

Expected<ExportKind> ExportKindOf(std::string_view path) {
    const auto endsWith = [&](std::string_view ending) {
        if (path.size() <= ending.size()) return false;
        const std::string_view tail = path.substr(path.size() - ending.size());
        return std::equal(tail.begin(), tail.end(), ending.begin(),
                          [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    };
    if (endsWith(".html") || endsWith(".htm")) return ExportKind::Html;
    if (endsWith(".csv")) return ExportKind::Csv;
    return Failure("dosya adı .html, .htm ya da .csv ile bitmeli");
}

Expected<void> WriteExport(const std::string& path, const std::string& bytes, ExportReaders readers) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data()); // mode 0600
    if (fd < 0) return Failure(FileErrorText(errno));
    if (readers == ExportReaders::AsTheFolder) GiveMode(fd, UsualModeFor(path));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const int error = done == bytes.size() ? (::fsync(fd) == 0 ? 0 : errno) : (errno ? errno : ENOSPC);
    ::close(fd);
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) == 0) return {};
    Problem reason = Failure(FileErrorText(error ? error : errno));
    ::unlink(temporary.c_str());
    return reason;
}

Expected<std::vector<ArchivedCase>> CasesOfPerson(Archive& archive, std::string_view tcNo) {
    const std::string_view wanted = TrimBlanks(tcNo);
    if (wanted.empty()) return Failure("T.C. Kimlik No verilmedi: kişinin vakaları belirlenemiyor");
    ArchiveQuery q;
    q.text = std::string(wanted);
    q.limit = 0;
    auto rows = archive.search(q);
    if (!rows) return rows.error();
    std::vector<ArchivedCase> cases;
    for (auto it = rows->rbegin(); it != rows->rend(); ++it) {
        if (TrimBlanks(it->tcNo) != wanted) continue;
        auto c = archive.load(it->id);
        if (!c) return c.error();
        cases.push_back(std::move(*c));
    }
    return cases;
}

namespace {

// Why path must not be written over: it is the archive or one of its files, or another SQLite database.
std::optional<std::string> ProtectedFile(const Archive& archive, const std::string& path) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) return std::nullopt;
    if (S_ISDIR(target.st_mode)) return "bu bir klasör";
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        struct stat st {};
        if (::stat((archive.path() + suffix).c_str(), &st) == 0 && st.st_dev == target.st_dev &&
            st.st_ino == target.st_ino)
            return "bu dosya arşivin kendisi; üzerine yazılmaz";
    }
    char header[16] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const ssize_t n = ::read(fd, header, sizeof header);
        ::close(fd);
        if (n == static_cast<ssize_t>(sizeof header) && std::memcmp(header, "SQLite format 3", 16) == 0)
            return "bu dosya bir veritabanı; üzerine yazılmaz";
    }
    return std::nullopt;
}

} // namespace

Expected<size_t> ExportPerson(Archive& archive, std::string_view tcNo, const std::string& path) {
    const auto fail = [&](const std::string& why) {
        return Failure("Kişinin vakaları dışa aktarılamadı: " + path + ": " + why);
    };
    const auto kind = ExportKindOf(path);
    if (!kind) return fail(kind.error().message);
    if (auto why = ProtectedFile(archive, path)) return fail(*why);
    const auto cases = CasesOfPerson(archive, tcNo);
    if (!cases) return cases.error();
    if (cases->empty())
        return fail("T.C. Kimlik No " + std::string(TrimBlanks(tcNo)) +
                    " ile kayıtlı vaka yok; dosya yazılmadı");
    if (auto written = WriteExport(path, *kind == ExportKind::Html ? ExportHtml(*cases) : ExportCsv(*cases));
        !written)
        return fail(written.error().message);
    return cases->size();
}

} // namespace pamerol
