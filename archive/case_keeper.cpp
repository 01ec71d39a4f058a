// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/case_keeper.h"

namespace pamerol {

std::string PaperCaption(std::string_view name) {
    static constexpr std::array<std::string_view, kPaperNames.size()> kCaptions = {
        "Kıdem Bordrosu", "İhbar Bordrosu", "İbraname", "Hesap Açıklaması"};
    for (size_t i = 0; i < kPaperNames.size(); ++i)
        if (kPaperNames[i] == name) return std::string(kCaptions[i]);
    return std::string(name);
}

CaseKeeper::CaseKeeper(std::function<std::string()> path, Messages& messages)
    : path_(std::move(path)), messages_(messages) {}

CaseKeeper::~CaseKeeper() = default;

Archive* CaseKeeper::archive(std::string* error) {
    if (!archive_) archive_ = Archive::open(path_(), error);
    return archive_.get();
}

std::optional<std::int64_t> CaseKeeper::heldId() const {
    return held_ ? std::optional(held_->id) : std::nullopt;
}

std::optional<std::int64_t> CaseKeeper::store(const Record& r, std::string_view paper, std::string* error) {
    Archive* a = archive(error);
    if (!a) return std::nullopt;
    CaseSheet sheet = SheetOf(r);
    if (held_ && held_->sheet == sheet) {
        if (paper.empty() || a->addPaper(held_->id, paper, error)) return held_->id;
        return std::nullopt;
    }
    const auto id = a->store(sheet, paper, error);
    if (id) held_ = Held{*id, std::move(sheet)};
    return id;
}

void CaseKeeper::paperFilled(const Record& r, std::string_view paper) {
    std::string error;
    if (!store(r, paper, &error)) messages_.show(error, MessageIcon::Warning);
}

std::optional<std::int64_t> CaseKeeper::keep(const Record& r, std::string* error) {
    return store(r, {}, error);
}

void CaseKeeper::reopened(std::int64_t id, const Record& r) {
    held_ = Held{id, SheetOf(r)};
}

void CaseKeeper::casesDeleted() {
    if (held_ && archive_ && !archive_->load(held_->id)) held_.reset();
}

} // namespace pamerol
