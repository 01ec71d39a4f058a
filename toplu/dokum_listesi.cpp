// SPDX-License-Identifier: GPL-3.0-or-later
#include "dokum_listesi.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/archive.h"
#include "archive/export.h"
#include "base/files.h"

namespace pamerol {

namespace {

constexpr const char* kListe = ".pamerol-dokumler";
constexpr const char* kFirstLine = "Pamerol toplu hesap dökümleri";

std::string In(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

// A name the list may give: a file of the folder itself, none of the run's own.
bool PlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != ".." &&
           name.rfind(".pamerol", 0) != 0;
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string DosyaAdiParcasi(std::string_view text, size_t most) {
    std::string name;
    for (unsigned char c : text) {
        const bool bad = c < 0x20 || c == 0x7F ||
                         std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
        name += bad ? '_' : static_cast<char>(c);
    }
    // No blanks or dots at either end (a name of dots alone would be no name), cut at a whole character.
    const size_t from = name.find_first_not_of(" ._");
    name = from == std::string::npos ? std::string() : name.substr(from);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    if (name.size() > most) {
        size_t cut = most;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
        while (!name.empty() && name.back() == ' ') name.pop_back();
    }
    return name;
}

std::string OncekiCalisma::altKlasor() const {
    std::string name = DosyaAdiParcasi(topluAdi, 150);
    if (name.empty()) name = "Toplu Hesap";
    std::string when = ArchiveTimeText(zaman);
    for (char& c : when)
        if (c == ':') c = '.';
    return name + " (" + when + ")";
}

std::optional<OncekiCalisma> OncekiCalismaOku(const std::string& folder) {
    if (!IsFile(In(folder, kListe))) return std::nullopt; // none, or a link planted in its place
    const auto text = ReadWholeFile(In(folder, kListe));
    if (!text || text->rfind(kFirstLine, 0) != 0) return std::nullopt;
    OncekiCalisma onceki;
    size_t at = 0;
    while (at < text->size()) {
        size_t end = text->find('\n', at);
        if (end == std::string::npos) end = text->size();
        const std::string line = text->substr(at, end - at);
        at = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "topluAdi") onceki.topluAdi = value;
        if (key == "zaman") onceki.zaman = std::atoll(value.c_str());
        if (key == "dosya" && PlainName(value) && IsFile(In(folder, value)) &&
            std::find(onceki.dosyalar.begin(), onceki.dosyalar.end(), value) == onceki.dosyalar.end())
            onceki.dosyalar.push_back(value);
    }
    if (onceki.dosyalar.empty()) return std::nullopt;
    return onceki;
}

Expected<std::string> OncekiDokumleriTasi(const std::string& folder, const OncekiCalisma& onceki) {
    const std::string name = onceki.altKlasor();
    std::string aside = In(folder, name);
    for (int n = 2; ::mkdir(aside.c_str(), 0777) != 0; ++n) {
        if (errno != EEXIST || n > 999)
            return Failure("önceki toplu hesabın dökümleri için \"" + aside + "\" klasörü oluşturulamadı (" +
                           FileErrorText(errno) + ")");
        aside = In(folder, name + " " + std::to_string(n));
    }
    for (const std::string& file : onceki.dosyalar)
        if (std::rename(In(folder, file).c_str(), In(aside, file).c_str()) != 0 && errno != ENOENT)
            return Failure("önceki toplu hesabın dökümü \"" + In(folder, file) + "\" \"" + aside +
                           "\" klasörüne taşınamadı (" + FileErrorText(errno) + ")");
    // The list goes with them, as the record of the run they came from.
    std::rename(In(folder, kListe).c_str(), In(aside, kListe).c_str());
    return aside;
}

Expected<std::unique_ptr<DokumListesi>>
DokumListesi::Baslat(const std::string& folder, const std::string& topluAdi, std::int64_t zaman) {
    const std::string path = In(folder, kListe);
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0666);
    const auto failed = [&](int error) {
        return Failure("dökümlerin listesi \"" + path + "\" yazılamadı (" +
                       (error == ELOOP ? std::string("bir sembolik bağlantı") : FileErrorText(error)) + ")");
    };
    if (fd < 0) return failed(errno);
    std::unique_ptr<DokumListesi> liste(new DokumListesi(fd));
    std::string name = topluAdi;
    for (char& c : name)
        if (c == '\n' || c == '\r') c = ' ';
    const std::string head =
        std::string(kFirstLine) + "\ntopluAdi=" + name + "\nzaman=" + std::to_string(zaman) + "\n";
    if (::write(fd, head.data(), head.size()) != static_cast<ssize_t>(head.size())) return failed(errno);
    return liste;
}

DokumListesi::~DokumListesi() {
    ::close(fd_);
}

bool DokumListesi::ekle(const std::string& dosyaAdi) {
    const std::string line = "dosya=" + dosyaAdi + "\n";
    std::lock_guard<std::mutex> lock(mutex_);
    return ::write(fd_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

} // namespace pamerol
