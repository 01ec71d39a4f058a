#include "companion.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "base/conversions.h"
#include "dokum.h"
#include "pamerol/version.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"
#include "sheet/places.h"
#include "sheet/profile.h"

namespace pamerol {

namespace {

using Json = nlohmann::ordered_json;

const char* kUsage =
    "Kullanım: pamerol-hesap [--ayar DOSYA] [--ayar-yaz DOSYA] [ALAN=METİN ...]\n"
    "          pamerol-hesap [--ayar DOSYA] --toplu  < vakalar.jsonl\n"
    "          pamerol-hesap [--ayar DOSYA] [ALAN=METİN ...] --dokum kidem|ihbar|ibraname --kaydet DOSYA\n"
    "\n"
    "  --ayar DOSYA      ayarları (Pmrl.ini) önce bu dosyadan yükler\n"
    "  --ayar-yaz DOSYA  hesaptan sonra ayar alanlarını bu dosyaya yazar (yalnız o anahtarlar değişir)\n"
    "  --toplu           standart girdiden her satırda bir JSON nesnesi okur, her vakaya bir sonuç satırı "
    "yazar\n"
    "  --dokum, --kaydet dökümü başsız bir LibreOffice'te doldurup DOSYA olarak saklar (.xls, .pdf, .ods)\n"
    "  ALAN=METİN        sayfanın alan adları (ESUCRET, GTarih, ...); Option1/Option2 = 1 hesap şeklini,\n"
    "                    Check1/Check2 = 0, 1 ya da 2 ibraname seçeneklerini verir\n"
    "  --version         sürümü yazar\n"
    "\n"
    "Çıkış durumu: 0 hesap tamam; 1 hesap yapılamadı (mesajda nedeni), bir satır hatalı ya da bir dosya\n"
    "yazılamadı; 2 bilinmeyen alan ya da hatalı argüman, hiçbir şey hesaplanmadı.\n";

struct UsageError {
    std::string what;
};

// One assignment as the window would make it: a field's text, the mode or an include flag.
void Apply(Pamerol& sheet, const std::string& name, const std::string& value) {
    Record& r = sheet.record();
    if (name == "Option1" || name == "Option2") {
        if (value != "0" && value != "1") throw UsageError{name + " takes 0 or 1, not \"" + value + "\""};
        bool first = (name == "Option1") == (value == "1");
        r.setMode(first ? Mode::Dates : Mode::PremiumDays);
    } else if (name == "Check1" || name == "Check2") {
        if (value != "0" && value != "1" && value != "2")
            throw UsageError{name + " takes 0, 1 or 2, not \"" + value + "\""};
        (r.*(name == "Check1" ? &Record::setCheck1 : &Record::setCheck2))(value[0] - '0');
    } else if (auto f = FieldByName(name)) {
        r.write(*f, value);
    } else {
        throw UsageError{"unknown field \"" + name + "\""};
    }
}

// Settings fields are plain texts without change rules, so copying them equals loading them.
void CopySettings(const Record& from, Record& to) {
    for (int i = static_cast<int>(Field::DVOR); i <= static_cast<int>(Field::txtVergiNo); ++i)
        to.write(static_cast<Field>(i), from.text(static_cast<Field>(i)));
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
        error = std::string("not valid JSON: ") + e.what();
        return false;
    }

  private:
    bool notText() {
        error =
            depth_ == 0 ? "a line must hold one JSON object" : "the value of \"" + key_ + "\" is not a text";
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

// A fresh sheet with the settings (if any), the assignments, the calculator's table and the calculation.
template <typename Assignments>
void RunCase(const Record* settings, const Assignments& assignments, ResultWriter& writer, std::string& out,
             const std::string* saveTo = nullptr, std::ostream* err = nullptr, int* status = nullptr,
             const Printout* printout = nullptr) {
    RecordedMessages messages;
    Pamerol sheet(messages);
    if (settings) CopySettings(*settings, sheet.record());
    for (const auto& [name, value] : assignments) Apply(sheet, name, value);
    CopyBracketsToCalculator(sheet.record());
    sheet.hesapla();
    // A calculation that stopped on a date or a figure it cannot read leaves the printouts unavailable.
    if (status && !sheet.record().command3Enabled()) *status = 1;
    writer.write(sheet.record(), messages, out);
    if (saveTo) {
        if (auto error = AyarlariYaz(sheet.record(), *saveTo)) {
            *err << *error << '\n';
            *status = 1;
        }
    }
    if (printout && DokumKaydet(sheet.record(), printout->dokum, printout->path, *err) != 0) *status = 1;
}

bool KnownName(const std::string& name) {
    return name == "Option1" || name == "Option2" || name == "Check1" || name == "Check2" ||
           FieldByName(name);
}

// Lines are read and parsed in chunks on this thread; the cases of a chunk are computed by one worker per
// processor, each on its own sheets, and their results are written in the order of the lines.
int RunBatch(const Record* settings, std::istream& in, std::ostream& out) {
    struct Job {
        AssignmentReader::Assignments assignments;
        std::string error;
        std::string result;
        int status = 0;
    };
    constexpr size_t kChunk = 4096;
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<ResultWriter> writers(workers);
    std::vector<Job> jobs(kChunk);
    int status = 0;
    long number = 0;
    std::string line;
    for (bool more = true; more;) {
        size_t count = 0;
        for (; count < kChunk && (more = static_cast<bool>(std::getline(in, line))); ++count) {
            Job& job = jobs[count];
            job.assignments.clear();
            job.error.clear();
            job.result.clear();
            job.status = 0;
            AssignmentReader reader(job.assignments);
            if (!Json::sax_parse(line, &reader)) {
                job.error = reader.error;
                continue;
            }
            for (const auto& a : job.assignments)
                if (job.error.empty() && !KnownName(a.first)) job.error = "unknown field \"" + a.first + "\"";
        }
        auto work = [&](unsigned w) {
            for (size_t i = w; i < count; i += workers) {
                Job& job = jobs[i];
                if (!job.error.empty()) continue;
                try {
                    RunCase(settings, job.assignments, writers[w], job.result, nullptr, nullptr, &job.status);
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
        }
    }
    return status;
}

} // namespace

int RunCompanion(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                 std::ostream& err) {
    std::optional<std::string> settingsFile, saveFile, dokumName, dokumPath;
    bool batch = false;
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
        } else if (a == "--toplu") {
            batch = true;
        } else if (a == "--help" || a == "-h") {
            const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
            out << kUsage << "\nŞablonlar ve örnek ayarlar: " << places.resources
                << "\nPencerenin ayar dosyası: " << IniYolu(places.settings) << '\n';
            return 0;
        } else if (a == "--version") {
            out << "pamerol-hesap " << kVersion << '\n';
            return 0;
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
    std::unique_ptr<Record> settings;
    if (settingsFile) {
        std::string why = "no such file";
        if (access(settingsFile->c_str(), F_OK) != 0 || !LoadProfile(*settingsFile, &why)) {
            err << "pamerol-hesap: cannot read the settings file \"" << *settingsFile << "\": " << why
                << '\n';
            return 2;
        }
        settings = std::make_unique<Record>();
        AyarlariOku(*settings, *settingsFile);
    }

    if (batch) return RunBatch(settings.get(), in, out);

    for (const auto& [name, value] : assignments) {
        if (name != "Option1" && name != "Option2" && name != "Check1" && name != "Check2" &&
            !FieldByName(name)) {
            err << "pamerol-hesap: unknown field \"" << name << "\"\n";
            return 2;
        }
    }
    int status = 0;
    try {
        ResultWriter writer;
        std::string result;
        RunCase(settings.get(), assignments, writer, result, saveFile ? &*saveFile : nullptr, &err, &status,
                printout ? &*printout : nullptr);
        out << result;
    } catch (const UsageError& e) {
        err << "pamerol-hesap: " << e.what << '\n';
        return 2;
    }
    return status;
}

} // namespace pamerol
