// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "arsiv.h"
#include "base/conversions.h"
#include "dokum.h"
#include "pamerol/version.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"
#include "sheet/places.h"
#include "sheet/profile.h"
#include "yasal.h"

namespace pamerol {

namespace {

using Json = nlohmann::ordered_json;

const char* kUsage =
    "Kullanım: pamerol-hesap [--ayar DOSYA] [--ayar-yaz DOSYA] [--yasal-degerler] [ALAN=METİN ...]\n"
    "          pamerol-hesap [--ayar DOSYA] --toplu  < vakalar.jsonl\n"
    "          pamerol-hesap [--ayar DOSYA] [ALAN=METİN ...] --dokum kidem|ihbar|ibraname --kaydet DOSYA\n"
    "          pamerol-hesap --arsiv DOSYA --arsiv-ac NO [--dokum kidem|ihbar|ibraname --kaydet DOSYA]\n"
    "\n"
    "  --ayar DOSYA      ayarları (Pmrl.ini) önce bu dosyadan yükler\n"
    "  --ayar-yaz DOSYA  hesaptan sonra ayar alanlarını bu dosyaya yazar (yalnız o anahtarlar değişir)\n"
    "  --toplu           standart girdiden her satırda bir JSON nesnesi okur, her vakaya bir sonuç satırı "
    "yazar\n"
    "  --yasal-degerler  her vakaya çıkış tarihinde geçerli yasal değerleri yasal-degerler.csv'den uygular;\n"
    "                    vakada verilen değerler tablodakilerden önce gelir\n"
    "  --dokum, --kaydet dökümü başsız bir LibreOffice'te doldurup DOSYA olarak saklar (.xls, .pdf, .ods)\n"
    "  --arsiv DOSYA     hesaplanan her vakayı (dökümüyle) bu arşive kaydeder\n"
    "  --arsiv-ara METİN arşivde ad, T.C. Kimlik No, SSK No ya da işverene göre arar (JSON satırları)\n"
    "  --arsiv-ac NO     arşivdeki vakayı hesaplamadan sayfaya yükler (--dokum ile yeniden basar)\n"
    "  --arsiv-sil NO, --arsiv-sil-eski YIL  bir vakayı / çıkışı YIL yıldan eski vakaları siler\n"
    "  --arsiv-disa TCKNO DOSYA  bir kişinin vakalarını DOSYA'ya yazar (.csv ya da .html); --arsiv yoksa\n"
    "                    arşiv, --ayar dosyasındaki [Arsiv] Yol= ya da dosyanın yanındaki arsiv.db'dir\n"
    "  ALAN=METİN        sayfanın alan adları (ESUCRET, GTarih, ...); Option1/Option2 = 1 hesap şeklini,\n"
    "                    Check1/Check2 = 0, 1 ya da 2 ibraname seçeneklerini verir\n"
    "  --version         sürümü yazar\n"
    "\n"
    "Çıkış durumu: 0 hesap tamam; 1 hesap yapılamadı (mesajda nedeni), bir satır hatalı ya da bir dosya\n"
    "yazılamadı; 2 bilinmeyen alan ya da hatalı argüman, hiçbir şey hesaplanmadı.\n";

struct UsageError {
    std::string what;
};

// At most 100 characters of a text from the input, so that a message never repeats a huge line.
std::string Excerpt(std::string_view text) {
    constexpr std::size_t kMax = 100;
    std::size_t chars = 0, i = 0;
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue; // inside a letter
        if (chars++ == kMax) return std::string(text.substr(0, i)) + "…";
    }
    return std::string(text);
}

// The JSON library's message ends with the token it read last, which can be a whole line: it is cut.
std::string ParseErrorText(const std::string& what) {
    const std::string marker = "last read: '";
    const std::size_t at = what.find(marker);
    if (at == std::string::npos) return what;
    std::string_view token = std::string_view(what).substr(at + marker.size());
    if (!token.empty() && token.back() == '\'') token.remove_suffix(1);
    return what.substr(0, at + marker.size()) + Excerpt(token) + "'";
}

// The boxes of several lines hand their text over with CR LF line breaks, and so does a settings load;
// a text given here with LF or CR breaks is stored the same way.
bool IsMultiLine(Field f) {
    return f == Field::txtUnvani || f == Field::txtAdresi || f == Field::txtIbraname || f == Field::txtAdres;
}

// One assignment as the window would make it: a field's text, the mode or an include flag.
void Apply(Pamerol& sheet, const std::string& name, const std::string& value) {
    Record& r = sheet.record();
    if (name == "Option1" || name == "Option2") {
        if (value != "0" && value != "1")
            throw UsageError{name + " takes 0 or 1, not \"" + Excerpt(value) + "\""};
        bool first = (name == "Option1") == (value == "1");
        r.setMode(first ? Mode::Dates : Mode::PremiumDays);
    } else if (name == "Check1" || name == "Check2") {
        if (value != "0" && value != "1" && value != "2")
            throw UsageError{name + " takes 0, 1 or 2, not \"" + Excerpt(value) + "\""};
        (r.*(name == "Check1" ? &Record::setCheck1 : &Record::setCheck2))(value[0] - '0');
    } else if (auto f = FieldByName(name)) {
        r.write(*f, IsMultiLine(*f) ? WithCrLfLineBreaks(value) : value);
    } else {
        throw UsageError{"unknown field \"" + Excerpt(name) + "\""};
    }
}

// Whether two paths name the same file.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Copying the settings fields and the calculator's table equals loading them from the same file.
void CopySettings(const Record& from, Record& to) {
    for (Field f : kSettingFields) to.write(f, from.text(f));
    to.ytlHesap.O = from.ytlHesap.O;
    to.ytlHesap.VD = from.ytlHesap.VD;
}

// Writes one result line. The texts are escaped by the JSON library; a field holding the same text as in
// the last result (the settings and the release text, usually) reuses its escaped form, which keeps a
// large batch fast.
class ResultWriter {
  public:
    // Appends the result line to line.
    void write(const Record& r, const RecordedMessages& m, std::string& line_) {
        line_ += "{\"fields\":{";
        for (int i = 0; i < kFieldCount; ++i) {
            Field f = static_cast<Field>(i);
            if (i > 0) line_ += ',';
            line_ += '"';
            line_ += FieldName(f);
            line_ += "\":";
            Cached& c = cache_[static_cast<size_t>(i)];
            if (!c.valid || c.text != r.text(f)) {
                c.text = r.text(f);
                c.escaped = Escaped(c.text);
                c.valid = true;
            }
            line_ += c.escaped;
        }
        line_ += "},\"mode\":";
        line_ += std::to_string(static_cast<int>(r.mode()));
        line_ += ",\"Check1\":" + std::to_string(r.check1());
        line_ += ",\"Check2\":" + std::to_string(r.check2());
        line_ += r.command3Enabled() ? ",\"Command3\":true" : ",\"Command3\":false";
        char number[32]; // the shortest text that reads back as the same double: a valid JSON number
        line_ += ",\"YillikKidemTutari\":";
        line_.append(number, std::to_chars(number, number + sizeof number, r.yillikKidemTutari).ptr);
        line_ += ",\"messages\":[";
        for (size_t k = 0; k < m.entries.size(); ++k) {
            if (k > 0) line_ += ',';
            line_ += "{\"text\":" + Escaped(m.entries[k].text) + ",\"icon\":";
            line_ += m.entries[k].icon == MessageIcon::Information ? "\"information\"}"
                     : m.entries[k].icon == MessageIcon::Warning   ? "\"warning\"}"
                                                                   : "\"none\"}";
        }
        line_ += "]}\n";
    }

  private:
    // Texts of printable ASCII without quotes or backslashes stand in JSON as they are; the others are
    // escaped by the JSON library. The library reads the locale as it starts a serializer, which is not
    // safe in several threads at once, so those calls take turns.
    static std::string Escaped(const std::string& text) {
        bool plain = true;
        for (unsigned char c : text)
            if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') plain = false;
        if (plain) return '"' + text + '"';
        static std::mutex library;
        std::lock_guard<std::mutex> lock(library);
        return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    struct Cached {
        bool valid = false;
        std::string text, escaped;
    };
    std::array<Cached, kFieldCount> cache_;
};

// Reads one line's object of assignments straight into a list, keeping the order of the keys.
class AssignmentReader {
  public:
    using Assignments = std::vector<std::pair<std::string, std::string>>;
    explicit AssignmentReader(Assignments& out) : out_(out) {}
    std::string error;

    bool null() { return notText(); }
    bool boolean(bool) { return notText(); }
    bool number_integer(Json::number_integer_t) { return notText(); }
    bool number_unsigned(Json::number_unsigned_t) { return notText(); }
    bool number_float(Json::number_float_t, const std::string&) { return notText(); }
    bool binary(Json::binary_t&) { return notText(); }
    bool string(std::string& value) {
        if (depth_ != 1) return notText();
        out_.emplace_back(std::move(key_), std::move(value));
        return true;
    }
    bool start_object(std::size_t) {
        if (depth_++ == 0) return true;
        return notText();
    }
    bool key(std::string& k) {
        key_ = std::move(k);
        return true;
    }
    bool end_object() {
        --depth_;
        return true;
    }
    bool start_array(std::size_t) { return notText(); }
    bool end_array() { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
        error = "not valid JSON: " + ParseErrorText(e.what());
        return false;
    }

  private:
    bool notText() {
        error = depth_ == 0 ? "a line must hold one JSON object"
                            : "the value of \"" + Excerpt(key_) + "\" is not a text";
        return false;
    }
    Assignments& out_;
    std::string key_;
    int depth_ = 0;
};

// A printout to fill from the calculated case and where to store it.
struct Printout {
    Dokum dokum;
    std::string path;
};

// The settings a case starts from, as loaded from the --ayar file.
struct Settings {
    Record record;
    LoadedSettings loaded;
};

// Where --ayar-yaz saves: the file, and what was loaded from it when it is the --ayar file too (then only
// the fields the command line changed are written).
struct SaveTarget {
    std::string path;
    LoadedSettings loaded;
};

// A fresh sheet with the settings (if any), the assignments, the calculator's table and the calculation.
template <typename Assignments>
void RunCase(const Settings* settings, const Assignments& assignments, ResultWriter& writer, std::string& out,
             const SaveTarget* saveTo = nullptr, std::ostream* err = nullptr, int* status = nullptr,
             const Printout* printout = nullptr, ArchiveRun* archive = nullptr, size_t order = 0,
             const YasalDegerler* table = nullptr) {
    RecordedMessages messages;
    Pamerol sheet(messages);
    if (settings) CopySettings(settings->record, sheet.record());
    for (const auto& [name, value] : assignments) Apply(sheet, name, value);
    std::optional<YasalRapor> yasal;
    if (table) yasal = YasalDegerleriUygula(sheet.record(), *table, assignments);
    CopyBracketsToCalculator(sheet.record());
    sheet.hesapla();
    // A calculation that stopped on a date or a figure it cannot read leaves the printouts unavailable.
    if (status && !sheet.record().command3Enabled()) *status = 1;
    writer.write(sheet.record(), messages, out);
    if (yasal) YasalRaporuEkle(*yasal, *table, sheet.record(), out);
    if (saveTo) {
        if (auto error = AyarlariYaz(sheet.record(), saveTo->path, saveTo->loaded)) {
            *err << "pamerol-hesap: " << *error << '\n';
            *status = 1;
        }
    }
    const bool printed = printout && DokumKaydet(sheet.record(), printout->dokum, printout->path, *err) == 0;
    if (printout && !printed) *status = 1;
    if (archive) archive->keep(sheet.record(), printed ? &printout->dokum : nullptr, order);
}

bool KnownName(const std::string& name) {
    return name == "Option1" || name == "Option2" || name == "Check1" || name == "Check2" ||
           FieldByName(name);
}

// Whether everything written to out has reached it; if not, says so once on err.
bool OutputWritten(std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    if (out) return true;
    const int why = errno;
    err << "pamerol-hesap: the output could not be written"
        << (why ? std::string(": ") + std::strerror(why) : "") << '\n';
    return false;
}

// Splits the input into lines; a line longer than the limit is kept only up to the limit and one byte
// more, so that a huge line costs no more memory than a long one.
class LineReader {
  public:
    LineReader(std::istream& in, std::size_t limit) : in_(in), limit_(limit), buffer_(1 << 16) {}

    // The next line without its line feed, and its full length; false at the end of the input.
    bool next(std::string& line, std::size_t& length) {
        line.clear();
        length = 0;
        bool any = false;
        for (;;) {
            if (pos_ == end_ && !fill()) return any;
            any = true;
            const char* start = buffer_.data() + pos_;
            const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
            const std::size_t n = lf ? static_cast<std::size_t>(lf - start) : end_ - pos_;
            if (line.size() <= limit_) line.append(start, std::min(n, limit_ + 1 - line.size()));
            length += n;
            pos_ += n;
            if (lf) {
                ++pos_;
                return true;
            }
        }
    }

  private:
    bool fill() {
        if (!in_) return false;
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        pos_ = 0;
        end_ = static_cast<std::size_t>(in_.gcount());
        return end_ > 0;
    }
    std::istream& in_;
    std::size_t limit_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0, end_ = 0;
};

// Lines are read and parsed in chunks on this thread; the cases of a chunk are computed by one worker per
// processor, each on its own sheets, and their results are written in the order of the lines. A chunk
// ends at 4,096 lines or 8 MiB of input, whichever comes first, and its memory is given back after it,
// so the batch's memory stays bounded whatever the size of its lines.
int RunBatch(const Settings* settings, const YasalDegerler* table, std::istream& in, std::ostream& out,
             std::ostream& err, ArchiveRun* archive) {
    struct Job {
        AssignmentReader::Assignments assignments;
        std::string error;
        std::string result;
        int status = 0;
    };
    constexpr size_t kChunk = 4096;
    constexpr size_t kChunkBytes = 8u << 20;
    constexpr size_t kLineMax = 1u << 20;
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<ResultWriter> writers(workers);
    std::vector<Job> jobs(kChunk);
    int status = 0;
    long number = 0;
    std::string line;
    LineReader reader(in, kLineMax);
    for (bool more = true; more;) {
        size_t count = 0, bytes = 0;
        std::size_t length = 0;
        for (; count < kChunk && bytes < kChunkBytes && (more = reader.next(line, length)); ++count) {
            Job& job = jobs[count];
            bytes += line.size();
            if (length > kLineMax) {
                job.error = "the line is longer than 1 MiB (" + std::to_string(length) + " bytes)";
                continue;
            }
            AssignmentReader parser(job.assignments);
            if (!Json::sax_parse(line, &parser)) {
                job.error = parser.error;
                continue;
            }
            for (const auto& a : job.assignments)
                if (job.error.empty() && !KnownName(a.first))
                    job.error = "unknown field \"" + Excerpt(a.first) + "\"";
        }
        auto work = [&](unsigned w) {
            for (size_t i = w; i < count; i += workers) {
                Job& job = jobs[i];
                if (!job.error.empty()) continue;
                try {
                    RunCase(settings, job.assignments, writers[w], job.result, nullptr, nullptr, &job.status,
                            nullptr, archive, i, table);
                } catch (const UsageError& e) {
                    job.error = e.what;
                }
            }
        };
        std::vector<std::thread> threads;
        for (unsigned w = 1; w < workers && w < count; ++w) threads.emplace_back(work, w);
        work(0);
        for (auto& t : threads) t.join();
        for (size_t i = 0; i < count; ++i) {
            ++number;
            if (jobs[i].error.empty()) {
                out << jobs[i].result;
                status = std::max(status, jobs[i].status);
            } else {
                out << Json{{"line", number}, {"error", jobs[i].error}}.dump(-1, ' ', false,
                                                                             Json::error_handler_t::replace)
                    << '\n';
                status = 1;
            }
            jobs[i] = Job{};
        }
        if (archive) status = std::max(status, archive->flush());
        if (!OutputWritten(out, err)) return 1;
    }
    return status;
}

} // namespace

int RunCompanion(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                 std::ostream& err) {
    std::optional<std::string> settingsFile, saveFile, dokumName, dokumPath;
    bool batch = false, yasalDegerler = false;
    ArchiveOptions archiveOptions;
    std::vector<std::pair<std::string, std::string>> assignments;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--ayar" || a == "--ayar-yaz") {
            if (i + 1 >= args.size()) {
                err << "pamerol-hesap: " << a << " needs a file name\n" << kUsage;
                return 2;
            }
            (a == "--ayar" ? settingsFile : saveFile) = args[++i];
        } else if (a == "--dokum" || a == "--kaydet") {
            if (i + 1 >= args.size()) {
                const char* what = a == "--dokum" ? "kidem, ihbar or ibraname" : "a file name";
                err << "pamerol-hesap: " << a << " needs " << what << "\n" << kUsage;
                return 2;
            }
            (a == "--dokum" ? dokumName : dokumPath) = args[++i];
        } else if (int taken = ArchiveArgument(args, i, archiveOptions, err)) {
            if (taken < 0) return err << kUsage, 2;
        } else if (a == "--toplu") {
            batch = true;
        } else if (a == "--yasal-degerler") {
            yasalDegerler = true;
        } else if (a == "--help" || a == "-h") {
            const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
            out << kUsage << "\nŞablonlar ve örnek ayarlar: " << places.resources
                << "\nPencerenin ayar dosyası: " << IniYolu(places.settings) << '\n';
            return OutputWritten(out, err) ? 0 : 1;
        } else if (a == "--version") {
            out << "pamerol-hesap " << kVersion << '\n';
            return OutputWritten(out, err) ? 0 : 1;
        } else if (auto eq = a.find('='); eq != std::string::npos && eq > 0 && a[0] != '-') {
            assignments.emplace_back(a.substr(0, eq), a.substr(eq + 1));
        } else {
            err << "pamerol-hesap: malformed argument \"" << a << "\"\n" << kUsage;
            return 2;
        }
    }
    std::optional<Printout> printout;
    if (dokumName || dokumPath) {
        auto dokum = dokumName ? DokumByName(*dokumName) : std::nullopt;
        if (!dokum || !dokumPath) {
            err << "pamerol-hesap: --dokum kidem|ihbar|ibraname and --kaydet FILE go together\n" << kUsage;
            return 2;
        }
        printout = Printout{*dokum, *dokumPath};
    }
    if (batch && (!assignments.empty() || saveFile || printout)) {
        err << "pamerol-hesap: --toplu takes its cases from standard input only\n" << kUsage;
        return 2;
    }

    // The settings file, loaded once as at the program's start; unlike the window, a missing file is an
    // error.
    std::unique_ptr<Settings> settings;
    if (settingsFile) {
        settings = std::make_unique<Settings>();
        AyarYukleme loaded = AyarlariOku(settings->record, *settingsFile);
        if (!loaded.error && !loaded.loaded)
            loaded.error = AyarOkumaHatasi(*settingsFile, std::strerror(ENOENT));
        if (loaded.error) {
            err << "pamerol-hesap: " << *loaded.error << '\n';
            return 2;
        }
        settings->loaded = std::move(loaded.loaded);
    }

    std::unique_ptr<YasalDegerler> table;
    if (yasalDegerler && !(table = YasalDegerleriYukle(err))) return 2;

    const auto archivePath = ArchivePath(archiveOptions, settingsFile);
    if ((archiveOptions.command() || archiveOptions.reopen) && !archivePath) {
        err << "pamerol-hesap: the archive commands need --arsiv FILE or --ayar FILE\n" << kUsage;
        return 2;
    }
    if (archiveOptions.command()) return RunArchiveCommand(archiveOptions, *archivePath, out, err);
    if (archiveOptions.reopen) {
        if (batch || !assignments.empty() || saveFile) {
            err << "pamerol-hesap: --arsiv-ac takes no assignments, --toplu or --ayar-yaz\n" << kUsage;
            return 2;
        }
        const auto show = [&](const Record& r, const RecordedMessages& m) {
            std::string result;
            ResultWriter().write(r, m, result);
            out << result;
        };
        return ReopenArchivedCase(*archivePath, *archiveOptions.reopen, show,
                                  printout ? &printout->dokum : nullptr,
                                  printout ? printout->path : std::string(), err);
    }
    std::optional<ArchiveRun> archive;
    if (archiveOptions.file) archive.emplace(*archiveOptions.file, err);
    ArchiveRun* const archiveRun = archive ? &*archive : nullptr;

    if (batch) return RunBatch(settings.get(), table.get(), in, out, err, archiveRun);

    for (const auto& [name, value] : assignments) {
        if (!KnownName(name)) {
            err << "pamerol-hesap: unknown field \"" << Excerpt(name) << "\"\n";
            return 2;
        }
    }
    std::optional<SaveTarget> saveTo;
    if (saveFile)
        saveTo = SaveTarget{*saveFile,
                            settings && SameFile(*settingsFile, *saveFile) ? settings->loaded : std::nullopt};
    int status = 0;
    try {
        ResultWriter writer;
        std::string result;
        RunCase(settings.get(), assignments, writer, result, saveTo ? &*saveTo : nullptr, &err, &status,
                printout ? &*printout : nullptr, archiveRun, 0, table.get());
        out << result;
        if (archiveRun) status = std::max(status, archiveRun->flush());
    } catch (const UsageError& e) {
        err << "pamerol-hesap: " << e.what << '\n';
        return 2;
    }
    if (!OutputWritten(out, err)) return 1;
    return status;
}

} // namespace pamerol
