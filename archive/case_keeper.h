// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's side of the archive: which stored case the calculation on the sheet belongs to. The first
// paper filled from a calculation stores the case; later papers of the same calculation are added to it.
// A new calculation, a cleared sheet or any change of the sheet since the case was stored makes the next
// paper a new case, so that every paper recorded in the archive can be filled again from its case.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "archive/archive.h"
#include "calc/messages.h"

namespace pamerol {

// The archive's names of the papers, by the printout dialog's choice (0 severance payroll, 1 notice
// payroll, 2 release letter, 3 statement); the companion records the same names.
inline constexpr std::array<std::string_view, 5> kPaperNames = {"kidem", "ihbar", "ibraname", "aciklama",
                                                                "izin"};
// The caption of a paper's archive name ("Kıdem Bordrosu"), or the name itself when unknown.
std::string PaperCaption(std::string_view name);

class CaseKeeper {
  public:
    // `path` gives the archive file when it is first needed (the settings file in use is known only
    // once the sheet has started). Failures are shown through `messages`, one message each.
    CaseKeeper(std::function<std::string()> path, Messages& messages);
    ~CaseKeeper();

    // The archive, opened on first use; a Problem when it cannot be opened. A failed opening is tried
    // again on the next use.
    Expected<Archive*> archive();

    // A paper was filled from the record: the case is stored with it, or the paper added to the case.
    // A failure gives one message; the paper stays filled.
    void paperFilled(const Record& r, std::string_view paper);
    // Stores the calculated case without a paper ("Arşive Kaydet"), unless it is stored already. Returns
    // the case's id, or the Problem that kept it from being stored.
    Expected<std::int64_t> keep(const Record& r);

    // "&Hesapla" or "&Boşalt": the next paper belongs to a new case.
    void newCalculation() { held_.reset(); }
    // The stored case id now stands on the sheet: its papers are added to it.
    void reopened(std::int64_t id, const Record& r);
    // Cases were deleted: the held case is let go when it was one of them.
    void casesDeleted();
    std::optional<std::int64_t> heldId() const;

  private:
    struct Held {
        std::int64_t id;
        CaseSheet sheet; // the sheet as stored
    };
    Expected<std::int64_t> store(const Record& r, std::string_view paper);

    std::function<std::string()> path_;
    Messages& messages_;
    std::unique_ptr<Archive> archive_;
    std::optional<Held> held_;
};

} // namespace pamerol
