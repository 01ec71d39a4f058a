// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablo_calistir.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>

#include "archive/export.h"
#include "arsiv_kaydi.h"
#include "calc/fields.h"
#include "printouts/ibraname.h"
#include "printouts/tablo_donustur.h"
#include "tablo_yaz.h"

extern char** environ;

namespace pamerol {

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Why the results cannot go to path, or nothing when they can.
std::optional<std::string> OutputProblem(const TopluTabloSecenekleri& s) {
    const std::string ext = Lower(std::filesystem::path(s.cikti).extension().string());
    if (ext != ".csv" && ext != ".xlsx" && ext != ".ods")
        return "sonuç dosyasının adı .xlsx, .ods ya da .csv ile bitmeli (\"" + s.cikti + "\")";
    struct stat st {};
    if (::stat(s.cikti.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return "\"" + s.cikti + "\" bir klasör";
        if (SameFile(s.cikti, s.girdi)) return "sonuç dosyası okunan tablonun kendisi olamaz";
        if (!s.uzerineYaz) return "\"" + s.cikti + "\" zaten var; üzerine yazmak için --uzerine-yaz verin";
        if (::access(s.cikti.c_str(), W_OK) != 0)
            return "\"" + s.cikti + "\" yazılamıyor (" + std::strerror(errno) + ")";
    }
    std::string folder = std::filesystem::path(s.cikti).parent_path().string();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK) != 0)
        return "\"" + s.cikti + "\" yazılamıyor: klasörü \"" + folder + "\" " +
               (errno == ENOENT ? std::string("yok")
                                : std::string("yazılamıyor (") + std::strerror(errno) + ")");
    return std::nullopt;
}

} // namespace

Expected<OkunanTablo> TabloDosyasiOku(const std::string& girdi, const OkumaSecenekleri& secenekler) {
    const auto because = [&](const Problem& p) { return Failure("\"" + girdi + "\": " + p.message); };
    std::string bytes;
    if (IsWorkbook(girdi)) {
        auto csv = WorkbookAsCsv(girdi);
        if (!csv) return because(csv.error());
        bytes = std::move(*csv);
    } else {
        std::ifstream file(girdi, std::ios::binary);
        if (!file) return Failure("\"" + girdi + "\" okunamadı (" + std::strerror(errno) + ")");
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file.bad()) return Failure("\"" + girdi + "\" okunamadı");
    }
    auto tablo = CsvTabloOku(bytes, secenekler);
    if (!tablo) return because(tablo.error());
    return tablo;
}

namespace {

// Why the papers cannot go to the folder, or nothing when they can: it is made when missing.
std::optional<std::string> FolderProblem(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return "döküm klasörü \"" + folder + "\" oluşturulamadı";
    if (::access(folder.c_str(), W_OK) != 0)
        return "döküm klasörü \"" + folder + "\" yazılamıyor (" + std::strerror(errno) + ")";
    return std::nullopt;
}

// Runs a program found on PATH with these arguments and waits for it; its exit status, or -1 when it
// could not be started (errno in *error).
int RunAndWait(const std::vector<std::string>& argv, int* error) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (int e = ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ); e != 0) {
        *error = e;
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One PDF of the papers in order (pdfunite of poppler-utils); false with the reason on err.
bool PdfBirlestir(const std::vector<std::string>& parts, const std::string& to, std::ostream& err) {
    std::error_code ec;
    if (parts.size() == 1) {
        fs::copy_file(parts.front(), to, fs::copy_options::overwrite_existing, ec);
        if (ec) err << "pamerol-hesap: \"" << to << "\" yazılamadı (" << ec.message() << ")\n";
        return !ec;
    }
    std::vector<std::string> argv{"pdfunite"};
    argv.insert(argv.end(), parts.begin(), parts.end());
    argv.push_back(to);
    int error = 0;
    const int status = RunAndWait(argv, &error);
    if (status == 0) return true;
    if (status < 0 && error == ENOENT)
        err << "pamerol-hesap: \"" << to << "\" yazılamadı: pdfunite programı yok (poppler-utils paketi)\n";
    else
        err << "pamerol-hesap: \"" << to << "\" yazılamadı (pdfunite başarısız)\n";
    return false;
}

// The combined PDF of a paper, beside the rows' own: "Tümü – Kıdem Bordrosu.pdf".
std::string BirlesikDosyaAdi(Dokum d) {
    return "Tümü – " + DokumBasligi(d) + ".pdf";
}

} // namespace

std::string DokumDosyaAdi(size_t sira, size_t toplam, const std::string& adSoyad, Dokum dokum) {
    std::string number = std::to_string(sira);
    const size_t width = std::max<size_t>(3, std::to_string(toplam).size());
    if (number.size() < width) number.insert(0, width - number.size(), '0');
    std::string name;
    for (unsigned char c : adSoyad) {
        const bool bad = c < 0x20 || c == 0x7F ||
                         std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
        name += bad ? '_' : static_cast<char>(c);
    }
    // No blanks or dots at either end (a name of dots alone would be no name), and a name that fits a
    // file name's 255 bytes with the rest, cut at a whole character.
    const size_t from = name.find_first_not_of(" ._");
    name = from == std::string::npos ? std::string() : name.substr(from);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    if (name.size() > 150) {
        size_t cut = 150;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
        while (!name.empty() && name.back() == ' ') name.pop_back();
    }
    if (name.empty()) name = "Adsız";
    return number + " " + name + " – " + DokumBasligi(dokum) + ".pdf";
}

TopluSonuc RunTable(const TopluTabloSecenekleri& secenekler, const Settings* settings, YasalTablo table,
                    std::ostream& err, const StopToken& stop,
                    const std::function<void(const TopluIlerleme&)>& onProgress) {
    TopluSonuc sonuc;
    // Nothing computed: the reason is on err.
    const auto unusable = [&sonuc] {
        sonuc.durum = kStatusUsage;
        return sonuc;
    };
    if (auto problem = OutputProblem(secenekler)) {
        err << "pamerol-hesap: " << *problem << '\n';
        return unusable();
    }
    const auto tablo = TabloDosyasiOku(
        secenekler.girdi, OkumaSecenekleri{secenekler.cikisTarihi, secenekler.ibranameTarihi, 0});
    if (!tablo) {
        err << "pamerol-hesap: " << tablo.error().message << '\n';
        return unusable();
    }
    const size_t total = tablo->satirlar.size();
    sonuc.toplam = total;

    // The papers' folder and files, checked before any row is computed: the names follow from the rows.
    const bool papers = secenekler.pdfKlasoru && !secenekler.dokumler.empty();
    if (papers) {
        if (auto problem = FolderProblem(*secenekler.pdfKlasoru)) {
            err << "pamerol-hesap: " << *problem << '\n';
            return unusable();
        }
        if (!secenekler.uzerineYaz) {
            for (size_t i = 0; i < total; ++i) {
                std::string name;
                for (const auto& [field, text] : tablo->satirlar[i].atamalar)
                    if (field == FieldName(Field::txtAdiSoyadi)) name = text;
                for (Dokum d : secenekler.dokumler) {
                    for (const std::string& file :
                         {DokumDosyaAdi(i + 1, total, name, d), BirlesikDosyaAdi(d)}) {
                        const fs::path path = fs::path(*secenekler.pdfKlasoru) / file;
                        std::error_code ec;
                        if (fs::exists(path, ec)) {
                            err << "pamerol-hesap: \"" << path.string()
                                << "\" zaten var; üzerine yazmak için --uzerine-yaz verin\n";
                            return unusable();
                        }
                    }
                }
            }
        }
    }
    // The run's name in the archive: given, or the table's file name and the time.
    std::string runName = secenekler.topluAdi;
    if (runName.empty())
        runName = "Toplu Hesap " + fs::path(secenekler.girdi).filename().string() + " " +
                  ArchiveTimeText(std::time(nullptr));
    std::optional<ArchiveRun> archive;
    if (secenekler.arsiv) {
        archive.emplace(*secenekler.arsiv, err, runName);
        if (!archive->opened()) return unusable();
    }

    std::mutex errMutex; // the offices' threads and this one share err and the progress
    size_t doneRows = 0;
    const auto reportProgress = [&](const std::string& name) {
        ++doneRows;
        if (onProgress) onProgress(TopluIlerleme{doneRows, total, name});
    };

    // First every row is calculated (quick); the papers of the calculated rows are filled afterwards.
    struct PaperJob {
        Record record;
        size_t row; // index into rows
        std::vector<Dokum> printed;
        std::vector<std::string> files; // the stored papers, as printed
        bool ibranameYok = false;       // the release letter would be void: not printed
    };
    std::vector<PaperJob> jobs;
    std::vector<SonucSatiri> rows;
    std::vector<size_t> lines;                            // each row's line in the clerk's file
    std::vector<std::optional<std::string>> tavanNotlari; // each row's note on a ceiling the table lacks
    std::vector<char> yasalUyarili;                       // each row: a legal figure or the ceiling warned
    size_t ibranameYok = 0, ibranameUyarili = 0;          // letters refused, and printed with a warning
    const bool letters = papers && std::find(secenekler.dokumler.begin(), secenekler.dokumler.end(),
                                             Dokum::Ibraname) != secenekler.dokumler.end();
    const int today = TodayKey();
    rows.reserve(total);
    int status = kStatusOk;
    for (const TabloSatiri& satir : tablo->satirlar) {
        if (!papers && stop.stopped()) break;
        SonucSatiri row;
        row.sira = rows.size() + 1;
        std::optional<std::string> tavanNotu; // CeilingNote: the table lacks the ceiling of the row's date
        bool yasalUyari = false;
        if (satir.hata.empty()) {
            int rowStatus = kStatusOk;
            Vaka vaka;
            const Expected<void> done = VakaHesapla(vaka, settings, satir.atamalar, table);
            if (done) {
                const Record& r = vaka.sheet.record();
                if (r.command3Enabled()) {
                    if (papers)
                        jobs.push_back({r, rows.size(), {}, {}, false});
                    else if (archive)
                        archive->keep(r, std::vector<Dokum>{}, row.sira);
                }
                if (vaka.refused()) rowStatus = kStatusRefused;
                if (vaka.warned()) rowStatus = WorseStatus(rowStatus, kStatusWarning);
                for (int i = 0; i < kFieldCount; ++i)
                    row.alan[static_cast<size_t>(i)] = r.text(static_cast<Field>(i));
                row.hesaplandi = vaka.calculated();
                if (row.hesaplandi && r.hesap()) row.sonuc = r.hesap()->sonuc;
                std::vector<std::string> notes;
                if (!row.hesaplandi) {
                    for (const auto& m : vaka.messages.entries) notes.push_back(m.text);
                    row.hata = Joined(notes, " ");
                    notes.clear();
                }
                for (const YasalUyari& u : vaka.uyarilar) notes.push_back(u.metin);
                if (vaka.tavanNotu) notes.push_back(*vaka.tavanNotu);
                yasalUyari = !notes.empty();
                // The release letter: one the law makes void is not printed, and the row says why; one
                // that lacks the bank's particulars or holds a blanket release is printed with a word.
                if (letters && r.command3Enabled()) {
                    if (const auto engel = IbranameEngeliVar(r, today)) {
                        notes.push_back(engel->neden + " İbraname yazdırılmadı.");
                        jobs.back().ibranameYok = true;
                        ++ibranameYok;
                        rowStatus = kStatusRefused;
                    } else if (const auto said = IbranameUyarilari(r); !said.empty()) {
                        for (const std::string& s : said) notes.push_back("İbraname: " + s);
                        ++ibranameUyarili;
                        rowStatus = WorseStatus(rowStatus, kStatusWarning);
                    }
                }
                // A payroll sheet with nothing due on it is not made; the row says why.
                if (papers && r.command3Enabled())
                    for (Dokum d : secenekler.dokumler) {
                        if (d == Dokum::Ibraname && jobs.back().ibranameYok) continue; // said above
                        if (auto why = DokumEngeli(r, d, today)) {
                            for (size_t at; (at = why->find("\r\n")) != std::string::npos;)
                                why->replace(at, 2, " ");
                            notes.push_back(DokumBasligi(d) + " yok: " + *why);
                        }
                    }
                row.uyari = Joined(notes, " ");
                tavanNotu = vaka.tavanNotu;
            } else {
                row.hata = done.error().message;
                rowStatus = kStatusRefused;
            }
            if (row.hata.empty() && !row.hesaplandi) row.hata = "hesaplanamadı";
            status = WorseStatus(status, rowStatus);
        } else {
            // The inputs that could be read are shown as given; the row is not calculated.
            for (const auto& [name, text] : satir.atamalar)
                if (auto f = FieldByName(name)) row.alan[static_cast<size_t>(*f)] = text;
            row.hata = satir.hata;
            status = WorseStatus(status, kStatusRefused);
        }
        const bool waitsForPapers = !jobs.empty() && jobs.back().row == rows.size();
        const std::string name = row.alan[static_cast<size_t>(Field::txtAdiSoyadi)];
        rows.push_back(std::move(row));
        lines.push_back(satir.satir);
        tavanNotlari.push_back(std::move(tavanNotu));
        yasalUyarili.push_back(yasalUyari);
        if (!waitsForPapers) reportProgress(name);
    }

    // The papers, on two offices side by side where there are two processors: each takes the next row
    // in order, so that when the run is stopped the rows done are the rows before the first one not
    // taken.
    size_t paperFailures = 0;
    std::map<Dokum, std::vector<std::string>> filled; // each paper's files, in the rows' order
    size_t taken = jobs.size();
    if (papers && !jobs.empty()) {
        const size_t count =
            std::min<size_t>({2, std::max(1u, std::thread::hardware_concurrency()), jobs.size()});
        std::vector<std::unique_ptr<std::ostringstream>> errors;
        std::vector<std::unique_ptr<DokumOfisi>> offices;
        for (size_t i = 0; i < count; ++i) {
            errors.push_back(std::make_unique<std::ostringstream>());
            offices.push_back(std::make_unique<DokumOfisi>(*errors.back()));
            offices.back()->hazirla(); // the watchdogs are copies of this process: before any thread
        }
        if (stop.officesStarted) stop.officesStarted();
        std::atomic<size_t> next{0};
        std::atomic<size_t> failures{0};
        const auto work = [&](size_t k, bool once) {
            for (bool first = true; first || !once; first = false) {
                if (stop.stopped()) return;
                const size_t i = next++;
                if (i >= jobs.size()) return;
                PaperJob& job = jobs[i];
                for (Dokum d : secenekler.dokumler) {
                    if ((d == Dokum::Ibraname && job.ibranameYok) || DokumEngeli(job.record, d, today))
                        continue;
                    const std::string path =
                        (fs::path(*secenekler.pdfKlasoru) /
                         DokumDosyaAdi(job.row + 1, total, job.record.text(Field::txtAdiSoyadi), d))
                            .string();
                    if (offices[k]->kaydet(job.record, d, path)) {
                        job.printed.push_back(d);
                        job.files.push_back(path);
                    } else {
                        ++failures;
                    }
                }
                std::lock_guard<std::mutex> lock(errMutex);
                err << errors[k]->str();
                errors[k]->str({});
                reportProgress(job.record.text(Field::txtAdiSoyadi));
            }
        };
        std::vector<std::thread> threads;
        // The first row's papers alone, before the second office joins in: the office library makes its
        // shared type information on first use, and two threads making it at once would each make it.
        work(0, true);
        for (size_t k = 1; k < count; ++k) threads.emplace_back(work, k, false);
        work(0, false);
        for (std::thread& t : threads) t.join();
        offices.clear(); // the offices end before the workbook's starts
        taken = std::min(next.load(), jobs.size());
        paperFailures = failures;
        for (size_t i = 0; i < taken; ++i) {
            for (size_t p = 0; p < jobs[i].printed.size(); ++p)
                filled[jobs[i].printed[p]].push_back(jobs[i].files[p]);
            if (archive) archive->keep(jobs[i].record, jobs[i].printed, jobs[i].row + 1);
        }
        // Stopped: the rows from the first row whose papers were not filled on are left out whole.
        if (taken < jobs.size()) {
            rows.resize(jobs[taken].row);
            lines.resize(rows.size());
            tavanNotlari.resize(rows.size());
            yasalUyarili.resize(rows.size());
        }
    }
    const bool stopped = rows.size() < total;
    if (stopped) status = WorseStatus(status, kStatusRefused);
    if (paperFailures) status = WorseStatus(status, kStatusRefused);

    std::vector<std::pair<std::string, std::string>> refused; // where, and why
    // The rows whose date's ceiling the table lacks: the severance left empty (where, and the note), or
    // worked out under the table's last ceiling.
    std::vector<std::pair<std::string, std::string>> noSeverance;
    size_t warned = 0, underLastCeiling = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (yasalUyarili[i]) ++warned;
        const std::string where = std::to_string(lines[i]) + ". satır (" +
                                  rows[i].alan[static_cast<size_t>(Field::txtAdiSoyadi)] + ")";
        if (!rows[i].hata.empty()) refused.emplace_back(where, rows[i].hata);
        if (tavanNotlari[i] && rows[i].sonuc) {
            if (rows[i].sonuc->severanceUnknown)
                noSeverance.emplace_back(where, *tavanNotlari[i]);
            else
                ++underLastCeiling;
        }
    }

    // One PDF per paper with every row's, for printing in one go.
    std::vector<std::string> combined;
    for (const auto& [d, files] : filled) {
        const std::string to = (fs::path(*secenekler.pdfKlasoru) / BirlesikDosyaAdi(d)).string();
        if (PdfBirlestir(files, to, err))
            combined.push_back(to);
        else
            status = WorseStatus(status, kStatusRefused);
    }
    size_t archived = 0;
    if (archive) {
        for (const SonucSatiri& r : rows) archived += r.hesaplandi;
        if (archive->flush() != 0) {
            archived = 0;
            status = WorseStatus(status, kStatusRefused);
        }
    }

    Ozet ozet;
    ozet.emplace_back("Okunan tablo", secenekler.girdi);
    ozet.emplace_back("Tarih", ArchiveTimeText(std::time(nullptr)));
    ozet.emplace_back("Hesaplanan", std::to_string(rows.size() - refused.size()));
    ozet.emplace_back("Hesaplanamayan", std::to_string(refused.size()));
    ozet.emplace_back("Atlanan boş satır", std::to_string(tablo->bosSatir));
    if (!tablo->eslesmeyenler.empty()) {
        std::vector<std::string> quoted;
        for (const auto& c : tablo->eslesmeyenler) quoted.push_back('"' + c + '"');
        ozet.emplace_back("Eşleşmeyen sütunlar (okunmadı)", Joined(quoted, ", "));
    }
    const std::string ayar = secenekler.ayarDosyasi.value_or(std::string());
    std::string figures;
    if (table.degerler && table.uygulanir)
        figures =
            "her satırın çıkış tarihinde geçerli değerler (yasal-degerler.csv)" +
            (settings ? "; işveren bilgileri, sözleşmenin daha yüksek kıdem ve ihbar günleri ve tabloda "
                        "olmayan değerler ayar dosyasından (" +
                            ayar + ")"
                      : std::string());
    else
        figures = "her satıra ayar dosyasındaki değerler (" + ayar + ")" +
                  (table.degerler ? "; çıkış tarihinin yasal değerinden farklı olanlar \"Uyarı\" sütununda"
                                  : "; yasal değerler tablosu okunamadığından karşılaştırılmadı");
    ozet.emplace_back("Yasal değerler", figures);
    if (secenekler.cikisTarihi)
        ozet.emplace_back(
            "Referans çıkış tarihi",
            *secenekler.cikisTarihi +
                " (her satır bu tarihte çıkmış gibi hesaplandı; dosyadaki \"Çıkış Tarihi\" sütunu "
                "kullanılmadı)");
    if (warned)
        ozet.emplace_back("Yasal değer uyarısı olan satır", std::to_string(warned) + " (\"Uyarı\" sütunu)");
    if (letters) {
        ozet.emplace_back("İbraname tarihi",
                          secenekler.ibranameTarihi
                              ? *secenekler.ibranameTarihi + " (\"İbraname Tarihi\" boş olan satırlarda)"
                              : "\"İbraname Tarihi\" sütunundan; boş olanlarda yazdırıldığı gün (" +
                                    DateText(today) + ")");
        if (ibranameYok)
            ozet.emplace_back("İbranamesi yazdırılmayan satır", std::to_string(ibranameYok) + " (" +
                                                                    std::string(kIbranameBirAyHukmu) +
                                                                    " \"Uyarı\" sütunu)");
        if (ibranameUyarili)
            ozet.emplace_back("İbraname uyarısı olan satır",
                              std::to_string(ibranameUyarili) +
                                  " (ödeme bilgisi ya da genel ibra; \"Uyarı\" sütunu)");
    }
    if (underLastCeiling)
        ozet.emplace_back(
            "Tavanı tabloda olmayan, son tavanın altında hesaplanan satır",
            std::to_string(underLastCeiling) +
                " (ücret tablodaki son tavanın altında: kıdem tazminatı kesin; \"Uyarı\" sütunu)");
    if (!noSeverance.empty())
        ozet.emplace_back("Kıdem tazminatı hesaplanmayan satır",
                          std::to_string(noSeverance.size()) +
                              " (tavan tabloda yok, ücret tablodaki son tavanın üstünde; ihbar tazminatı "
                              "hesaplandı; \"Uyarı\" sütunu)");
    {
        const auto titles = SonucBasliklari();
        const auto& fields = SonucAlanlari();
        for (Field f : ToplananAlanlar()) {
            const size_t column =
                static_cast<size_t>(std::find(fields.begin(), fields.end(), f) - fields.begin());
            ozet.emplace_back("Toplam " + titles[column + 1], Toplam(rows, f));
        }
    }
    for (size_t i = 0; i < refused.size() && i < 10; ++i)
        ozet.emplace_back(refused[i].first, refused[i].second);
    if (refused.size() > 10)
        ozet.emplace_back("...",
                          "ve " + std::to_string(refused.size() - 10) + " satır daha (\"Hata\" sütunu)");
    for (size_t i = 0; i < noSeverance.size() && i < 10; ++i)
        ozet.emplace_back(noSeverance[i].first, noSeverance[i].second);
    if (noSeverance.size() > 10)
        ozet.emplace_back("...", "ve kıdem tazminatı hesaplanmayan " +
                                     std::to_string(noSeverance.size() - 10) +
                                     " satır daha (\"Uyarı\" sütunu)");
    if (stopped)
        ozet.emplace_back("İptal", std::to_string(rows.size()) + " / " + std::to_string(total) +
                                       " satırdan sonra durduruldu; kalan " +
                                       std::to_string(total - rows.size()) +
                                       " satır hesaplanmadı ve tabloya yazılmadı");
    sonuc.hesaplanan = rows.size() - refused.size();
    sonuc.hesaplanamayan = refused.size();
    sonuc.uyarili = warned;
    sonuc.durduruldu = stopped;
    for (const auto& [d, files] : filled) sonuc.dokum += files.size();
    sonuc.yazilamayanDokum = paperFailures;
    sonuc.birlesikPdfler = combined;
    sonuc.arsivlenen = archived;
    if (papers) {
        ozet.emplace_back("Dökümler", std::to_string(sonuc.dokum) + " PDF, " + *secenekler.pdfKlasoru);
        if (paperFailures) ozet.emplace_back("Yazılamayan döküm", std::to_string(paperFailures));
        for (const std::string& c : combined) ozet.emplace_back("Birleşik PDF", c);
    }
    if (archive)
        ozet.emplace_back("Arşiv", std::to_string(archived) + " vaka \"" + runName +
                                       "\" adıyla kaydedildi (" + *secenekler.arsiv +
                                       "); Arşiv'de bu adla bulunur");
    ozet.emplace_back("Sonuç tablosu", secenekler.cikti);

    std::string written;
    if (Lower(std::filesystem::path(secenekler.cikti).extension().string()) == ".csv") {
        written = SonucCsv(rows);
    } else {
        // The header row and the number and name columns stay in sight while the clerk scrolls.
        auto book = WorkbookFromFods(SonucFods(rows, ozet), secenekler.cikti,
                                     DonukBolme{std::string(kSonucSayfasi), 2, 1});
        if (!book) {
            err << "pamerol-hesap: \"" << secenekler.cikti << "\" yazılamadı: " << book.error().message
                << '\n';
            sonuc.durum = kStatusRefused;
            return sonuc;
        }
        written = std::move(*book);
    }
    if (auto stored = WriteExport(secenekler.cikti, written); !stored) {
        err << "pamerol-hesap: \"" << secenekler.cikti << "\" yazılamadı: " << stored.error().message << '\n';
        sonuc.durum = kStatusRefused;
        return sonuc;
    }
    sonuc.durum = status;
    sonuc.sonucTablosu = secenekler.cikti;
    sonuc.ozet = std::move(ozet);
    return sonuc;
}

} // namespace pamerol
