// SPDX-License-Identifier: GPL-3.0-or-later
#include "toplu_tablo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "archive/export.h"
#include "calc/fields.h"
#include "tablo_donustur.h"
#include "toplu/tablo_oku.h"
#include "toplu/tablo_yaz.h"

namespace pamerol {

namespace {

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

int RunTopluTablo(const TopluTabloSecenekleri& secenekler, const Settings* settings,
                  const YasalDegerler* table, std::ostream& out, std::ostream& err) {
    if (auto problem = OutputProblem(secenekler)) {
        err << "pamerol-hesap: " << *problem << '\n';
        return 2;
    }
    std::string bytes;
    if (IsWorkbook(secenekler.girdi)) {
        std::string why;
        auto csv = WorkbookAsCsv(secenekler.girdi, &why);
        if (!csv) {
            err << "pamerol-hesap: \"" << secenekler.girdi << "\": " << why << '\n';
            return 2;
        }
        bytes = std::move(*csv);
    } else {
        std::ifstream file(secenekler.girdi, std::ios::binary);
        if (!file) {
            err << "pamerol-hesap: \"" << secenekler.girdi << "\" okunamadı (" << std::strerror(errno)
                << ")\n";
            return 2;
        }
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file.bad()) {
            err << "pamerol-hesap: \"" << secenekler.girdi << "\" okunamadı\n";
            return 2;
        }
    }
    std::string why;
    const auto tablo = CsvTabloOku(bytes, OkumaSecenekleri{secenekler.cikisTarihi}, &why);
    if (!tablo) {
        err << "pamerol-hesap: \"" << secenekler.girdi << "\": " << why << '\n';
        return 2;
    }

    const bool progress = &err == &std::cerr && ::isatty(2);
    std::vector<SonucSatiri> rows;
    rows.reserve(tablo->satirlar.size());
    std::vector<std::pair<std::string, std::string>> refused; // where, and why
    size_t warned = 0;
    int status = 0;
    ResultWriter writer;
    std::string line;
    for (const TabloSatiri& satir : tablo->satirlar) {
        SonucSatiri row;
        row.sira = rows.size() + 1;
        if (satir.hata.empty()) {
            CaseOutcome outcome;
            int rowStatus = 0;
            try {
                line.clear();
                RunCase(settings, satir.atamalar, writer, line, nullptr, &err, &rowStatus, nullptr, nullptr,
                        0, table, {}, &outcome);
                row.alan = std::move(outcome.texts);
                row.hesaplandi = outcome.calculated;
                if (!row.hesaplandi) row.hata = Joined(outcome.messages, " ");
                std::vector<std::string> notes;
                for (const YasalUyari& u : outcome.uyarilar) notes.push_back(u.metin);
                row.uyari = Joined(notes, " ");
            } catch (const UsageError& e) {
                row.hata = e.what;
                rowStatus = 1;
            }
            if (row.hata.empty() && !row.hesaplandi) row.hata = "hesaplanamadı";
            status = WorseStatus(status, rowStatus);
            if (!row.uyari.empty()) ++warned;
        } else {
            // The inputs that could be read are shown as given; the row is not calculated.
            for (const auto& [name, text] : satir.atamalar)
                if (auto f = FieldByName(name)) row.alan[static_cast<size_t>(*f)] = text;
            row.hata = satir.hata;
            status = WorseStatus(status, 1);
        }
        if (!row.hata.empty())
            refused.emplace_back(std::to_string(satir.satir) + ". satır (" +
                                     row.alan[static_cast<size_t>(Field::txtAdiSoyadi)] + ")",
                                 row.hata);
        rows.push_back(std::move(row));
        if (progress && (rows.size() % 50 == 0 || rows.size() == tablo->satirlar.size()))
            err << "\r" << rows.size() << " / " << tablo->satirlar.size() << std::flush;
    }
    if (progress) err << '\n';

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
    ozet.emplace_back("Yasal değerler",
                      settings
                          ? "her satıra ayar dosyasındaki değerler (" + *secenekler.ayarDosyasi + ")"
                          : std::string("her satırın çıkış tarihinde geçerli değerler (yasal-degerler.csv)"));
    if (secenekler.cikisTarihi)
        ozet.emplace_back(
            "Referans çıkış tarihi",
            *secenekler.cikisTarihi +
                " (her satır bu tarihte çıkmış gibi hesaplandı; dosyadaki \"Çıkış Tarihi\" sütunu "
                "kullanılmadı)");
    if (warned)
        ozet.emplace_back("Yasal değer uyarısı olan satır", std::to_string(warned) + " (\"Uyarı\" sütunu)");
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
    ozet.emplace_back("Sonuç tablosu", secenekler.cikti);

    std::string written;
    if (Lower(std::filesystem::path(secenekler.cikti).extension().string()) == ".csv") {
        written = SonucCsv(rows);
    } else {
        std::string why;
        auto book = WorkbookFromFods(SonucFods(rows, ozet), secenekler.cikti, &why);
        if (!book) {
            err << "pamerol-hesap: \"" << secenekler.cikti << "\" yazılamadı: " << why << '\n';
            return 1;
        }
        written = std::move(*book);
    }
    if (auto error = WriteExport(secenekler.cikti, written)) {
        err << "pamerol-hesap: \"" << secenekler.cikti << "\" yazılamadı: " << *error << '\n';
        return 1;
    }
    for (const auto& [label, value] : ozet) out << label << ": " << value << '\n';
    return status;
}

} // namespace pamerol
