// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablo_calistir.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
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
#include "base/files.h"
#include "calc/fields.h"
#include "calisma_kilidi.h"
#include "dokum_listesi.h"
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

// The sentence on a symbolic link where the run would write a file: refused whatever --uzerine-yaz says,
// since an office or a program would write through it to wherever it points.
std::string LinkRefused(const std::string& path) {
    return "\"" + path +
           "\" bir sembolik bağlantı; çalışma bir bağlantının yerine yazmaz (bağlantıyı kaldırın ya da başka "
           "bir ad verin)";
}

bool IsLink(const std::string& path) {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(path, ec));
}

// Whether two names are one file: the same device and inode where both exist, else the same absolute
// path, normalized, with the links of its existing part resolved.
bool OneFile(const std::string& a, const std::string& b) {
    if (SameFile(a, b)) return true;
    const auto normal = [](const std::string& p) {
        std::error_code ec;
        fs::path path = fs::weakly_canonical(fs::absolute(p, ec), ec);
        if (ec) path = fs::absolute(p, ec).lexically_normal();
        return path;
    };
    return normal(a) == normal(b);
}

// Why the results cannot go to path, or nothing when they can.
std::optional<std::string> OutputProblem(const TopluTabloSecenekleri& s) {
    const std::string ext = Lower(std::filesystem::path(s.cikti).extension().string());
    if (ext != ".csv" && ext != ".xlsx" && ext != ".ods")
        return "sonuç dosyasının adı .xlsx, .ods ya da .csv ile bitmeli (\"" + s.cikti + "\")";
    if (IsLink(s.cikti)) return LinkRefused(s.cikti);
    if (OneFile(s.cikti, s.girdi)) return "sonuç dosyası okunan tablonun kendisi olamaz";
    if (s.arsiv) {
        // The archive, the files SQLite keeps beside it, and the lock of the runs that store in it.
        for (const std::string& file :
             {*s.arsiv, *s.arsiv + "-wal", *s.arsiv + "-shm", *s.arsiv + "-journal", ArsivKilidi(*s.arsiv)})
            if (OneFile(s.cikti, file))
                return "sonuç dosyası arşiv ya da arşivin dosyalarından biri olamaz (\"" + file + "\")";
        if (OneFile(*s.arsiv, s.girdi)) return "arşiv okunan tablonun kendisi olamaz";
    }
    struct stat st {};
    if (::stat(s.cikti.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return "\"" + s.cikti + "\" bir klasör";
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

// Whether a text field of a row holds nothing but digits: a number cell, perhaps, that its format showed
// with leading zeros.
bool RakamliMetinVar(const OkunanTablo& tablo) {
    for (const TabloSatiri& satir : tablo.satirlar)
        for (const auto& [ad, metin] : satir.atamalar)
            if (const auto f = FieldByName(ad); f && Info(*f).kind == Kind::Text && !metin.empty() &&
                                                metin.find_first_not_of("0123456789") == std::string::npos)
                return true;
    return false;
}

// The text fields of each row as the workbook shows them, from the same rows read as shown.
void MetinleriGorundugugibiAl(OkunanTablo& tablo, const OkunanTablo& gorunen) {
    std::map<size_t, const TabloSatiri*> satirlar;
    for (const TabloSatiri& s : gorunen.satirlar) satirlar[s.satir] = &s;
    for (TabloSatiri& satir : tablo.satirlar) {
        const auto other = satirlar.find(satir.satir);
        if (other == satirlar.end()) continue;
        for (auto& [ad, metin] : satir.atamalar) {
            const auto f = FieldByName(ad);
            if (!f || Info(*f).kind != Kind::Text) continue;
            for (const auto& [ad2, metin2] : other->second->atamalar)
                if (ad2 == ad) metin = metin2;
        }
    }
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
    auto tablo = CsvTabloOku(bytes, secenekler, IsWorkbook(girdi));
    if (!tablo) return because(tablo.error());
    // A text column (a registry or tax number) may hold number cells whose format adds leading zeros
    // ("0123456789"): their stored number has lost them, so such columns are read again as shown.
    if (IsWorkbook(girdi) && RakamliMetinVar(*tablo)) {
        auto csv = WorkbookAsCsv(girdi, true);
        if (!csv) return because(csv.error());
        auto gorunen = CsvTabloOku(*csv, secenekler, false);
        if (!gorunen) return because(gorunen.error());
        MetinleriGorundugugibiAl(*tablo, *gorunen);
    }
    return tablo;
}

namespace {

// A row as the summary names it: by its "Sıra", the number its papers' files begin with, and, since the
// clerk's own table counts its header and blank lines too, by its line there.
std::string SatirAdi(size_t sira, size_t satir, const std::string& ad) {
    return "Sıra " + std::to_string(sira) + ", tablodaki " + std::to_string(satir) + ". satır (" + ad + ")";
}

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
// could not be started (errno in *error) or did not exit on its own. With output, its standard output
// goes to that file and its errors nowhere.
int RunAndWait(const std::vector<std::string>& argv, int* error, const std::string* output = nullptr) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (output) {
        ::posix_spawn_file_actions_addopen(&actions, 1, output->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    const int e = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (e != 0) {
        *error = e;
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether the file ends as a whole PDF does: its last kilobyte holds the end-of-file marker. A PDF cut
// short (a full disk) or something else under its name does not.
bool EndsAsPdf(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    const std::streamoff from = std::max<std::streamoff>(0, size - 1024);
    in.seekg(from);
    std::string tail(static_cast<size_t>(size - from), '\0');
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    return in && tail.find("%%EOF") != std::string::npos;
}

// The PDF's page count as pdfinfo (poppler-utils) reads it; 0 when it cannot read the file, -1 when
// pdfinfo is not there.
int PdfPages(const std::string& path, const std::string& scratch) {
    int error = 0;
    const int status = RunAndWait({"pdfinfo", path}, &error, &scratch);
    if (status < 0 && error == ENOENT) return -1;
    int pages = 0;
    if (status == 0) {
        std::ifstream in(scratch);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("Pages:", 0) == 0) pages = std::atoi(line.c_str() + 6);
    }
    std::error_code ec;
    fs::remove(scratch, ec);
    return pages;
}

// Puts a file made in the run's own folder in place: rename replaces a name, never writes through a
// link. The file takes the folder's usual mode, or the mode of the file it replaces. False with the reason
// on err.
bool PutInPlace(const std::string& made, const std::string& to, std::ostream& err) {
    GiveMode(made, UsualModeFor(to));
    if (std::rename(made.c_str(), to.c_str()) == 0) return true;
    err << "pamerol-hesap: \"" << to << "\" yazılamadı (" << std::strerror(errno) << ")\n";
    std::error_code ec;
    fs::remove(made, ec);
    return false;
}

// One PDF of the papers in order (pdfunite of poppler-utils), made in the run's own folder, read back
// and then put in place; false with the reason on err.
bool PdfBirlestir(const std::vector<std::string>& parts, const std::string& to, const std::string& work,
                  std::ostream& err) {
    const std::string made = (fs::path(work) / "birlesik.pdf").string();
    std::error_code ec;
    fs::remove(made, ec);
    const auto failed = [&](const std::string& why) {
        err << "pamerol-hesap: \"" << to << "\" yazılamadı (" << why << ")\n";
        fs::remove(made, ec);
        return false;
    };
    if (parts.size() == 1) {
        fs::copy_file(parts.front(), made, ec);
        if (ec) return failed(ec.message());
    } else {
        std::vector<std::string> argv{"pdfunite"};
        argv.insert(argv.end(), parts.begin(), parts.end());
        argv.push_back(made);
        int error = 0;
        const int status = RunAndWait(argv, &error);
        if (status < 0 && error == ENOENT) return failed("pdfunite programı yok (poppler-utils paketi)");
        if (status != 0)
            return failed(status < 0 ? std::string("pdfunite yarıda kaldı")
                                     : "pdfunite başarısız, çıkış durumu " + std::to_string(status));
    }
    // Read back: a whole PDF with at least a page for each part (where pdfinfo is there to count).
    if (!EndsAsPdf(made)) return failed("birleşik PDF eksik ya da bozuk yazıldı");
    const int pages = PdfPages(made, (fs::path(work) / "pdfinfo.txt").string());
    if (pages >= 0 && pages < static_cast<int>(parts.size()))
        return failed("birleşik PDF'de " + std::to_string(pages) + " sayfa var, en az " +
                      std::to_string(parts.size()) + " olmalı");
    return PutInPlace(made, to, err);
}

// The run's own folder inside the papers' folder, which only this user may enter: papers and combined
// PDFs are made in it and renamed into place on the same file system. Removed with what is left in it.
struct WorkFolder {
    std::string path;
    WorkFolder() = default;
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

// The combined PDF of a paper, beside the rows' own: "Tümü – Kıdem Bordrosu.pdf".
std::string BirlesikDosyaAdi(Dokum d) {
    return "Tümü – " + DokumBasligi(d) + ".pdf";
}

} // namespace

std::string DokumDosyaAdi(size_t sira, size_t toplam, const std::string& adSoyad, Dokum dokum) {
    std::string number = std::to_string(sira);
    const size_t width = std::max<size_t>(3, std::to_string(toplam).size());
    if (number.size() < width) number.insert(0, width - number.size(), '0');
    // A name that fits a file name's 255 bytes with the rest.
    std::string name = DosyaAdiParcasi(adSoyad, 150);
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

    // The run's name in the archive and in the list of its papers: given, or the table's file name and the
    // time.
    const std::time_t startedAt = std::time(nullptr);
    std::string runName = secenekler.topluAdi;
    if (runName.empty())
        runName = "Toplu Hesap " + fs::path(secenekler.girdi).filename().string() + " " +
                  ArchiveTimeText(startedAt);

    // One run at a time on the papers' folder and on the archive, each held until the run is over.
    std::unique_ptr<CalismaKilidi> folderLock, archiveLock;
    const auto lock = [&](std::unique_ptr<CalismaKilidi>& held, const std::string& path,
                          const std::string& what) {
        auto taken = CalismaKilidi::Al(path, what, runName);
        if (!taken)
            err << "pamerol-hesap: " << taken.error().message << '\n';
        else
            held = std::move(*taken);
        return held != nullptr;
    };

    // The papers' folder and files, checked before any row is computed: the names follow from the rows.
    WorkFolder runFolder;
    const bool papers = secenekler.pdfKlasoru && !secenekler.dokumler.empty();
    std::optional<OncekiCalisma> onceki; // the earlier run whose papers are moved aside
    if (papers) {
        if (auto problem = FolderProblem(*secenekler.pdfKlasoru)) {
            err << "pamerol-hesap: " << *problem << '\n';
            return unusable();
        }
        if (!lock(folderLock, DokumKlasoruKilidi(*secenekler.pdfKlasoru),
                  "döküm klasörü \"" + *secenekler.pdfKlasoru + "\""))
            return unusable();
        onceki = OncekiCalismaOku(*secenekler.pdfKlasoru);
        // A link where a paper goes is refused whatever --uzerine-yaz says (a link that points nowhere
        // too: the office would make its target); an existing paper only without --uzerine-yaz.
        const auto inTheWay = [&](const std::string& file) {
            // An earlier run's paper is moved aside before this run's come.
            if (onceki &&
                std::find(onceki->dosyalar.begin(), onceki->dosyalar.end(), file) != onceki->dosyalar.end())
                return false;
            const std::string path = (fs::path(*secenekler.pdfKlasoru) / file).string();
            std::error_code ec;
            const fs::file_status st = fs::symlink_status(path, ec);
            if (fs::is_symlink(st)) {
                err << "pamerol-hesap: " << LinkRefused(path) << '\n';
                return true;
            }
            if (!secenekler.uzerineYaz && fs::exists(st)) {
                err << "pamerol-hesap: \"" << path
                    << "\" zaten var; üzerine yazmak için --uzerine-yaz verin\n";
                return true;
            }
            return false;
        };
        for (size_t i = 0; i < total; ++i) {
            std::string name;
            for (const auto& [field, text] : tablo->satirlar[i].atamalar)
                if (field == FieldName(Field::txtAdiSoyadi)) name = text;
            for (Dokum d : secenekler.dokumler)
                if (inTheWay(DokumDosyaAdi(i + 1, total, name, d))) return unusable();
        }
        for (Dokum d : secenekler.dokumler)
            if (inTheWay(BirlesikDosyaAdi(d))) return unusable();
    }
    std::optional<ArchiveRun> archive;
    if (secenekler.arsiv) {
        // An archive in a folder this user cannot write to takes no lock: no run of this user's can store
        // in it, and the run says so at the end as it did.
        const std::string folder = fs::path(*secenekler.arsiv).parent_path().string();
        if (::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0 &&
            !lock(archiveLock, ArsivKilidi(*secenekler.arsiv), "arşiv \"" + *secenekler.arsiv + "\""))
            return unusable();
        archive.emplace(*secenekler.arsiv, err, runName);
        if (!archive->opened()) return unusable();
    }
    // The earlier run's papers moved aside, this run's list begun, and the run's own folder made.
    std::string aside;
    std::unique_ptr<DokumListesi> liste;
    if (papers) {
        if (onceki) {
            auto moved = OncekiDokumleriTasi(*secenekler.pdfKlasoru, *onceki);
            if (!moved) {
                err << "pamerol-hesap: " << moved.error().message << '\n';
                return unusable();
            }
            aside = *moved;
        }
        auto begun = DokumListesi::Baslat(*secenekler.pdfKlasoru, runName, startedAt);
        if (!begun) {
            err << "pamerol-hesap: " << begun.error().message << '\n';
            return unusable();
        }
        liste = std::move(*begun);
        std::string pattern = (fs::path(*secenekler.pdfKlasoru) / ".pamerol-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            err << "pamerol-hesap: döküm klasörü \"" << *secenekler.pdfKlasoru
                << "\" içinde geçici klasör oluşturulamadı (" << std::strerror(errno) << ")\n";
            return unusable();
        }
        runFolder.path = pattern;
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
    std::vector<char> temizlenen;                         // each row: a cell lost characters (TemizMetin)
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
        // What the reading changed comes first.
        if (!satir.notlar.empty())
            row.uyari = Joined(satir.notlar, " ") + (row.uyari.empty() ? "" : " " + row.uyari);
        const bool waitsForPapers = !jobs.empty() && jobs.back().row == rows.size();
        const std::string name = row.alan[static_cast<size_t>(Field::txtAdiSoyadi)];
        rows.push_back(std::move(row));
        lines.push_back(satir.satir);
        tavanNotlari.push_back(std::move(tavanNotu));
        yasalUyarili.push_back(yasalUyari);
        temizlenen.push_back(satir.temizlendi);
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
                    const std::string file =
                        DokumDosyaAdi(job.row + 1, total, job.record.text(Field::txtAdiSoyadi), d);
                    const std::string path = (fs::path(*secenekler.pdfKlasoru) / file).string();
                    // Made in the run's folder, read back and renamed into place.
                    const std::string made = (fs::path(runFolder.path) / file).string();
                    bool stored = offices[k]->kaydet(job.record, d, made);
                    if (stored && !EndsAsPdf(made)) {
                        *errors[k] << "pamerol-hesap: \"" << path
                                   << "\" yazılamadı (PDF eksik ya da bozuk)\n";
                        stored = false;
                    }
                    if (stored && !liste->ekle(file)) {
                        *errors[k] << "pamerol-hesap: \"" << path
                                   << "\" yazılamadı (dökümlerin listesine eklenemedi)\n";
                        stored = false;
                    }
                    if (stored) stored = PutInPlace(made, path, *errors[k]);
                    if (stored) {
                        job.printed.push_back(d);
                        job.files.push_back(path);
                    } else {
                        std::error_code ec;
                        fs::remove(made, ec);
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
            temizlenen.resize(rows.size());
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
        const std::string where =
            SatirAdi(rows[i].sira, lines[i], rows[i].alan[static_cast<size_t>(Field::txtAdiSoyadi)]);
        if (!rows[i].hata.empty()) refused.emplace_back(where, rows[i].hata);
        if (tavanNotlari[i] && rows[i].sonuc) {
            if (rows[i].sonuc->severanceUnknown)
                noSeverance.emplace_back(where, *tavanNotlari[i]);
            else
                ++underLastCeiling;
        }
    }

    // One PDF per paper with every row's, for printing in one go.
    std::vector<std::string> combined, notCombined;
    for (const auto& [d, files] : filled) {
        const std::string to = (fs::path(*secenekler.pdfKlasoru) / BirlesikDosyaAdi(d)).string();
        if (liste->ekle(BirlesikDosyaAdi(d)) && PdfBirlestir(files, to, runFolder.path, err)) {
            combined.push_back(to);
        } else {
            notCombined.push_back(to);
            status = WorseStatus(status, kStatusRefused);
        }
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
    {
        // The rows whose texts lost characters no paper, file name or terminal may hold.
        std::vector<std::string> where;
        for (size_t i = 0; i < rows.size(); ++i)
            if (temizlenen[i]) where.push_back(std::to_string(rows[i].sira));
        if (!where.empty())
            ozet.emplace_back("Karakterleri temizlenen satır",
                              std::to_string(where.size()) + " (Sıra " + Joined(where, ", ") +
                                  ": görünmeyen, yazıyı ters çeviren ya da geçersiz karakterler "
                                  "çıkarıldı; tabloya ve dökümlere temizlenmiş hâli yazıldı)");
    }
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
        if (onceki)
            ozet.emplace_back("Önceki dökümler",
                              std::to_string(onceki->dosyalar.size()) + " dosya (\"" + onceki->topluAdi +
                                  "\" toplu hesabının) \"" + aside +
                                  "\" klasörüne taşındı; bu hesabın dökümleriyle karışmaz");
        if (paperFailures) ozet.emplace_back("Yazılamayan döküm", std::to_string(paperFailures));
        for (const std::string& c : combined) ozet.emplace_back("Birleşik PDF", c);
        for (const std::string& c : notCombined) ozet.emplace_back("Yazılamayan birleşik PDF", c);
    }
    if (archive) {
        const size_t replaced = archived ? archive->replaced() : 0;
        ozet.emplace_back("Arşiv", std::to_string(archived) + " vaka \"" + runName +
                                       "\" adıyla kaydedildi (" + *secenekler.arsiv +
                                       "); Arşiv'de bu adla bulunur" +
                                       (replaced ? "; " + std::to_string(replaced) +
                                                       " kişinin bu adla önceden kaydedilen vakası yenisiyle "
                                                       "değiştirildi, ikinci kez eklenmedi"
                                                 : std::string()));
    }
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
    if (auto stored = WriteExport(secenekler.cikti, written, ExportReaders::AsTheFolder); !stored) {
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
