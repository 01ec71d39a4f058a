// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's figures on a file of many cases: the time of a search, of storing one case (one
// transaction, synced to disk) and of reopening one, and the file's size.
//   bench_archive [FOLDER] [CASES]   (defaults: a new folder under /tmp, 100000 cases)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"

using namespace pamerol;
namespace fs = std::filesystem;

namespace {

const char* kFirst[] = {"Ahmet", "Ayşe",   "İsmail", "Işıl",   "Şule",
                        "Çağrı", "Gökhan", "Ümit",   "Mehmet", "Zeynep"};
const char* kLast[] = {"Yılmaz", "Kaya",   "Demir", "Şahin", "Çelik",
                       "Öztürk", "Arslan", "Doğan", "Kılıç", "Aydın"};

// Milliseconds of one run of f, the median of runs.
double MedianMs(int runs, const std::function<void()>& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        t.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "";
    if (folder.empty()) {
        std::string pattern = "/tmp/pamerol-bench-XXXXXX";
        if (!::mkdtemp(pattern.data())) return 1;
        folder = pattern;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
    const std::string path = folder + "/arsiv.db";
    fs::remove(path);

    RecordedMessages messages;
    Pamerol sheet(messages);
    sheet.start(ProgramFolder());
    Record& r = sheet.record();
    r.write(Field::GTarih, "15.03.2004");
    r.write(Field::CTarih, "14.09.2007");
    r.write(Field::ESUCRET, "2.000,00");
    sheet.hesapla();
    CaseSheet base = SheetOf(r);

    auto opened = Archive::open(path);
    if (!opened) {
        std::fprintf(stderr, "%s\n", opened.error().message.c_str());
        return 1;
    }
    std::unique_ptr<Archive> archive = std::move(*opened);
    std::mt19937 random(7);
    std::vector<CaseToStore> chunk;
    const auto fill = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        CaseSheet s = base;
        s.texts[static_cast<size_t>(Field::txtAdiSoyadi)] =
            std::string(kFirst[random() % 10]) + " " + kLast[random() % 10] + " " + std::to_string(i);
        s.texts[static_cast<size_t>(Field::txtTcKNo)] = std::to_string(10000000000LL + i * 7919LL);
        char exit[16];
        std::snprintf(exit, sizeof exit, "%02d.%02d.%04d", 1 + static_cast<int>(random() % 28),
                      1 + static_cast<int>(random() % 12), 1995 + static_cast<int>(random() % 30));
        s.texts[static_cast<size_t>(Field::CTarih)] = exit;
        chunk.push_back(
            {std::move(s), i % 3 ? std::vector<std::string>{"ibraname"} : std::vector<std::string>{}, {}});
        if (chunk.size() == 4096 || i + 1 == count) {
            if (auto stored = archive->storeAll(chunk); !stored) {
                std::fprintf(stderr, "%s\n", stored.error().message.c_str());
                return 1;
            }
            chunk.clear();
        }
    }
    const double fillS = std::chrono::duration<double>(std::chrono::steady_clock::now() - fill).count();

    size_t hits = 0;
    const auto search = [&](ArchiveQuery q) {
        return MedianMs(21, [&] { hits = archive->search(q).value().size(); });
    };
    const double byName = search({"öztürk 4242", "", ""});
    const size_t nameHits = hits;
    const double byTc = search({std::to_string(10000000000LL + 77777 * 7919LL), "", ""});
    const double common = search({"IŞIL", "", ""});
    const size_t commonHits = hits;
    const double byDates = search({"", "01.01.2000", "31.12.2000"});
    const double all = search({});

    std::int64_t id = 0;
    const double store = MedianMs(51, [&] { id = archive->store(base, "ibraname").value(); });
    const double paper = MedianMs(51, [&] { archive->addPaper(id, "kidem"); });
    const double reopen = MedianMs(51, [&] {
        RecordedMessages m;
        Pamerol fresh(m);
        RestoreSheet(archive->load(id).value().sheet, fresh.record());
    });
    const double openMs = MedianMs(11, [&] { Archive::open(path); });
    const double firstSearch = MedianMs(11, [&] {
        Archive::open(path).value()->search({"öztürk 4242", "", ""});
    });
    archive.reset(); // the last connection folds the log into the file and removes it
    const double size = static_cast<double>(fs::file_size(path));

    std::printf("cases: %d (filled in %.1f s, 4096 per transaction)\n", count, fillS);
    std::printf("search by name and number (%zu hit):  %.2f ms\n", nameHits, byName);
    std::printf("search by T.C. Kimlik No (1 hit):     %.2f ms\n", byTc);
    std::printf("search \"IŞIL\" (%zu hits, first 1000): %.2f ms\n", commonHits, common);
    std::printf("search by exit year 2000 (first 1000): %.2f ms\n", byDates);
    std::printf("list all (first 1000):                %.2f ms\n", all);
    std::printf("store one case (own transaction):     %.2f ms\n", store);
    std::printf("add a printed paper:                  %.2f ms\n", paper);
    std::printf("reopen one case into a sheet:         %.2f ms\n", reopen);
    std::printf("open the archive:                     %.2f ms\n", openMs);
    std::printf("open and search once (a cold cache):  %.2f ms\n", firstSearch);
    std::printf("file size: %.1f MB (%.0f bytes per case)\n", size / 1e6, size / count);
    if (argc <= 1) fs::remove_all(folder);
    return 0;
}
