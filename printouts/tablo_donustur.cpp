// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablo_donustur.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>
#include <vector>

#ifdef PAMEROL_WITH_OFFICE
#include "base/files.h"
#include "base/zip.h"
#include "office_process.h"
#endif

namespace pamerol {

namespace fs = std::filesystem;

bool IsWorkbook(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".xlsx" || ext == ".xls" || ext == ".ods";
}

#ifdef PAMEROL_WITH_OFFICE

namespace {

// A temporary folder, removed with everything in it at the end.
struct TemporaryFolder {
    std::string path;
    explicit TemporaryFolder(const char* name) {
        std::string pattern = (fs::temp_directory_path() / name).string();
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

// How long a conversion may take before the office is ended.
constexpr auto kConversionLimit = std::chrono::seconds(120);

constexpr std::uint64_t kMB = 1024 * 1024;
// What a workbook of the clerk's may hold, far above any real table of employees (50,000 rows unpack
// to 15 MB as .xlsx, 30 MB as .ods): an .xlsx or .ods unpacked, an .xls (any workbook that is no zip) as
// it is.
constexpr std::uint64_t kUnpackedLimit = 256 * kMB;
constexpr std::uint64_t kFileLimit = 64 * kMB;
// The address space of the office that reads a workbook: one converting a table of 50,000 rows reaches
// about 600 MB; the rest is room for more threads on larger machines. A workbook that would take more
// (a file made to unpack to gigabytes) stops the office instead of the machine.
constexpr std::uint64_t kReadingMemory = 4096 * kMB;

// "1.954 MB": a size in whole megabytes, rounded up.
std::string Megabytes(std::uint64_t bytes) {
    const std::string digits = std::to_string(bytes / kMB + (bytes % kMB != 0));
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
        out += digits[i];
    }
    return out + " MB";
}

// What the clerk can do with a workbook too large or damaged to be read.
constexpr const char* kSaveAgain = "tabloyu hesap tablosu programında açıp yalnızca personel satırlarıyla "
                                   "yeni bir çalışma kitabına ya da CSV dosyasına kaydedin ve onu seçin";

// Why the workbook is not given to the office: larger unpacked (or, not a zip, as it is) than a table of
// employees can be, or a zip whose directory cannot be read. Nothing when it may be read.
std::optional<std::string> TooLargeToRead(const std::string& path) {
    auto zip = ReadZipDirectory(path);
    if (!zip) return "bozuk: " + zip.error().message + "; " + kSaveAgain;
    if (*zip) {
        if ((*zip)->unpacked <= kUnpackedLimit) return std::nullopt;
        return "açıldığında " + Megabytes((*zip)->unpacked) + " tutuyor; bir personel tablosu için sınır " +
               Megabytes(kUnpackedLimit) +
               " (dosya bozuk ya da tablodan başka içerik taşıyor olabilir): " + kSaveAgain;
    }
    std::error_code ec;
    const std::uint64_t size = fs::file_size(path, ec);
    if (ec || size <= kFileLimit) return std::nullopt;
    return Megabytes(size) + " büyüklüğünde; bir personel tablosu için sınır " + Megabytes(kFileLimit) +
           ": " + kSaveAgain;
}

// Has a headless office of this run's own save the file at path in the format into the folder; the
// saved file's path, or the reason (empty when the office gave none). With memory, the office's address
// space is limited to that many bytes.
Expected<std::string> OfficeConvert(const std::string& path, const std::string& format,
                                    const std::string& folder,
                                    std::optional<std::uint64_t> memory = std::nullopt) {
    const auto fail = [](std::string reason) { return Failure(std::move(reason)); };
    TemporaryFolder profile("pamerol-office-XXXXXX");
    if (profile.path.empty()) return fail("geçici klasör oluşturulamadı");
    // The office listens on the profile's pipe so that the watchdog finds and ends it, with its profile,
    // however this run ends. Started before the office.
    OfficeWatchdog watchdog(profile.path);
    const std::string absolute = fs::absolute(path).string();
    std::vector<std::string> args = {"soffice",
                                     "-env:UserInstallation=" + FileUrl(profile.path),
                                     "--headless",
                                     "--norestore",
                                     "--nologo",
                                     "--nodefault",
                                     "--accept=pipe,name=" + PipeNameFor(profile.path) + ";urp;",
                                     "--convert-to",
                                     format,
                                     "--outdir",
                                     folder,
                                     absolute};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) return fail(std::string("ofis başlatılamadı (") + std::strerror(errno) + ")");
    if (pid == 0) {
        // The cells are shown in the Turkish notation: "12.345,67", "01.02.2005".
        ::setenv("LANG", "tr_TR.UTF-8", 1);
        ::setenv("LC_ALL", "tr_TR.UTF-8", 1);
        if (memory) {
            const rlimit limit{*memory, *memory};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kConversionLimit;
    int status = 0;
    rusage usage{}; // the office's, with its own processes' (ru_maxrss in kB)
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return fail("ofis dosyayı " + std::to_string(kConversionLimit.count()) + " saniyede işleyemedi");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        return fail("LibreOffice (soffice) bulunamadı; çalışma kitapları onunla okunur ve yazılır");
    // An office that runs out of its memory aborts (status 134), is ended by a signal, or (when the
    // import gives up on its own) saves nothing after having taken a good part of it.
    const std::string ext = format.substr(0, format.find(':'));
    const fs::path saved = fs::path(folder) / (fs::path(absolute).stem().string() + "." + ext);
    std::error_code ec;
    const bool crashed = !WIFEXITED(status) || WEXITSTATUS(status) >= 128;
    const bool nothingSaved = !crashed && WEXITSTATUS(status) == 0 && !fs::is_regular_file(saved, ec);
    const bool tookMuch = memory && static_cast<std::uint64_t>(usage.ru_maxrss) * 1024 >= *memory / 4;
    if (memory && (crashed || (nothingSaved && tookMuch)))
        return fail("ofis dosyayı açarken yarıda kaldı; dosya açıldığında okuma için ayrılan " +
                    std::to_string(*memory / (1024 * kMB)) +
                    " GB belleğe sığmıyor ya da bozuk: " + kSaveAgain);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return fail(WIFEXITED(status)
                        ? "ofis başarısız oldu (çıkış durumu " + std::to_string(WEXITSTATUS(status)) + ")"
                        : std::string("ofis yarıda kaldı"));
    if (!fs::is_regular_file(saved, ec)) return fail("");
    return saved.string();
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

Expected<std::string> WorkbookAsCsv(const std::string& path, bool asShown) {
    const auto fail = [](std::string reason) { return Failure(std::move(reason)); };
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return fail(std::string("okunamadı (") + std::strerror(ENOENT) + ")");
    if (::access(path.c_str(), R_OK) != 0)
        return fail(std::string("okunamadı (") + std::strerror(errno) + ")");
    if (auto why = TooLargeToRead(path)) return fail(std::move(*why));
    TemporaryFolder out("pamerol-tablo-XXXXXX");
    if (out.path.empty()) return fail("geçici klasör oluşturulamadı");
    // ";" between cells, '"' around them, UTF-8, from the first line; each cell as it is stored, not as
    // its format shows it: numbers with all their decimals and no grouping ("25000,555"), dates as
    // "GG.AA.YYYY" (with their time of day after it, if any), percentages as "12,5%", texts as they are.
    // As shown instead, each cell is the text its format makes of it ("01234567890" of a number cell
    // formatted with leading zeros).
    auto csv = OfficeConvert(path,
                             asShown ? "csv:Text - txt - csv (StarCalc):59,34,76,1,,0,true,false,true"
                                     : "csv:Text - txt - csv (StarCalc):59,34,76,1,,0,true,false,false",
                             out.path, kReadingMemory);
    if (!csv)
        return fail(csv.error().message.empty()
                        ? "bir tablo olarak açılamadı (bozuk, parola korumalı ya da bir çalışma kitabı "
                          "değil)"
                        : csv.error().message);
    return Contents(*csv);
}

Expected<std::string> WorkbookFromFods(const std::string& fods, const std::string& target,
                                       const DonukBolme& donuk) {
    const auto fail = [](std::string reason) { return Failure(std::move(reason)); };
    TemporaryFolder work("pamerol-tablo-XXXXXX");
    if (work.path.empty()) return fail("geçici klasör oluşturulamadı");
    const std::string source = work.path + "/sonuc.fods";
    {
        std::ofstream out(source, std::ios::binary);
        out << fods;
        if (!out.flush()) return fail("geçici dosya yazılamadı");
    }
    std::string ext = fs::path(target).extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const std::string format = ext == ".xlsx" ? "xlsx:Calc Office Open XML" : "ods:calc8";
    const std::string folder = work.path + "/cikti";
    std::error_code ec;
    fs::create_directory(folder, ec);
    auto saved = OfficeConvert(source, format, folder);
    if (!saved)
        return fail(saved.error().message.empty() ? "ofis çalışma kitabını kaydedemedi"
                                                  : saved.error().message);
    std::string book = Contents(*saved);
    if (auto frozen = DonukBolmeler(book, ext == ".xlsx", donuk.sayfa, donuk.sutunlar, donuk.satirlar))
        return std::move(*frozen);
    return book;
}

#else

Expected<std::string> WorkbookAsCsv(const std::string&, bool) {
    return Failure("bu derlemede çalışma kitaplarını okuyacak LibreOffice desteği yok; tabloyu CSV olarak "
                   "kaydedin");
}

Expected<std::string> WorkbookFromFods(const std::string&, const std::string&, const DonukBolme&) {
    return Failure("bu derlemede çalışma kitabı yazacak LibreOffice desteği yok; sonucu .csv olarak isteyin");
}

#endif

} // namespace pamerol
