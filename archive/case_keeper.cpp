// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/case_keeper.h"

namespace pamerol {

std::string PaperCaption(std::string_view name) {
    static constexpr std::array<std::string_view, kPaperNames.size()> kCaptions = {
        "Kıdem Bordrosu", "İhbar Bordrosu", "İbraname", "Hesap Açıklaması", "İzin Bordrosu"};
    for (size_t i = 0; i < kPaperNames.size(); ++i)
        if (kPaperNames[i] == name) return std::string(kCaptions[i]);
    return std::string(name);
}

CaseKeeper::CaseKeeper(std::function<std::string()> path, Messages& messages)
    : path_(std::move(path)), messages_(messages) {}

CaseKeeper::~CaseKeeper() = default;

Expected<Archive*> CaseKeeper::archive() {
    if (!archive_) {
        auto opened = Archive::open(path_());
        if (!opened) return opened.error();
        archive_ = std::move(*opened);
    }
    return archive_.get();
}

std::optional<std::int64_t> CaseKeeper::heldId() const {
    return held_ ? std::optional(held_->id) : std::nullopt;
}

Expected<std::int64_t> CaseKeeper::store(const Record& r, std::string_view paper) {
    const Expected<Archive*> a = archive();
    if (!a) return a.error();
    CaseSheet sheet = SheetOf(r);
    if (held_ && held_->sheet == sheet) {
        if (paper.empty()) return held_->id;
        if (auto added = (*a)->addPaper(held_->id, paper); !added) return added.error();
        return held_->id;
    }
    auto id = (*a)->store(sheet, paper);
    if (id) held_ = Held{*id, std::move(sheet)};
    return id;
}

void CaseKeeper::paperFilled(const Record& r, std::string_view paper) {
    if (auto stored = store(r, paper); !stored) messages_.show(stored.error().message, MessageIcon::Warning);
}

Expected<std::int64_t> CaseKeeper::keep(const Record& r) {
    return store(r, {});
}

void CaseKeeper::reopened(std::int64_t id, const Record& r) {
    held_ = Held{id, SheetOf(r)};
}

void CaseKeeper::casesDeleted() {
    if (held_ && archive_ && !archive_->load(held_->id)) held_.reset();
}

} // namespace pamerol
