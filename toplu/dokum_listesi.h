// SPDX-License-Identifier: GPL-3.0-or-later
// Which papers of a papers' folder a run of a table made: the list ".pamerol-dokumler" in the folder, with
// the run's name, when it started and the name of each file, each added before its file is put in place
// (so a run that is killed leaves no paper unlisted). The next run into the folder moves the listed papers
// that are still there into a subfolder named after their run and its time, so that its own papers never
// stand among an earlier run's; a file no run listed (the clerk's own) is never moved.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/problem.h"

namespace pamerol {

// A text made fit for a file name: characters a file name cannot hold (or a file manager stumbles on)
// replaced by "_", no blanks or dots at either end, at most `most` bytes cut at a whole character. Empty
// when nothing is left.
std::string DosyaAdiParcasi(std::string_view text, size_t most);

// The run that last listed papers in the folder, with those of its papers still there.
struct OncekiCalisma {
    std::string topluAdi;
    std::int64_t zaman = 0;            // when it started (seconds since 1970)
    std::vector<std::string> dosyalar; // its papers still in the folder, by name
    // The subfolder its papers go to: "<name> (dd.mm.yyyy SS.DD)"; another number after it when taken.
    std::string altKlasor() const;
};

// The run whose list the folder holds, when any of its papers is still there; nothing otherwise.
std::optional<OncekiCalisma> OncekiCalismaOku(const std::string& folder);

// Moves the earlier run's papers and its list into a new subfolder of the folder. Returns the subfolder,
// or a Problem naming the file that could not be moved (those moved before it stay in the subfolder).
Expected<std::string> OncekiDokumleriTasi(const std::string& folder, const OncekiCalisma& onceki);

// The list of the run going on: started anew (an earlier one's is replaced), then a name added as each
// file is about to be put in place, from any thread.
class DokumListesi {
  public:
    static Expected<std::unique_ptr<DokumListesi>> Baslat(const std::string& folder,
                                                          const std::string& topluAdi, std::int64_t zaman);
    ~DokumListesi();
    DokumListesi(const DokumListesi&) = delete;
    DokumListesi& operator=(const DokumListesi&) = delete;
    // False when the name could not be written (the file is then not put in place).
    bool ekle(const std::string& dosyaAdi);

  private:
    explicit DokumListesi(int fd) : fd_(fd) {}
    int fd_;
    std::mutex mutex_;
};

} // namespace pamerol
