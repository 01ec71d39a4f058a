// SPDX-License-Identifier: GPL-3.0-or-later
#include "arsiv_kaydi.h"

#include <algorithm>
#include <ostream>

#include "archive/case_sheet.h"

namespace pamerol {

ArchiveRun::ArchiveRun(const std::string& path, std::ostream& err, std::string run)
    : err_(err), run_(std::move(run)) {
    auto opened = Archive::open(path, ArchiveAccess::ReadWrite);
    if (opened)
        archive_ = std::move(*opened);
    else
        err << "pamerol-hesap: " << opened.error().message << '\n';
    failed_ = !archive_;
}

void ArchiveRun::keep(const Record& r, const Dokum* printed, size_t order) {
    keep(r, printed ? std::vector<Dokum>{*printed} : std::vector<Dokum>{}, order);
}

void ArchiveRun::keep(const Record& r, const std::vector<Dokum>& printed, size_t order) {
    if (!archive_ || !r.command3Enabled()) return;
    CaseToStore c{SheetOf(r), {}, run_};
    for (Dokum d : printed) c.papers.emplace_back(DokumName(d));
    std::lock_guard<std::mutex> lock(mutex_);
    kept_.emplace_back(order, std::move(c));
}

int ArchiveRun::flush() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!archive_) return failed_ ? 1 : 0;
    std::sort(kept_.begin(), kept_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CaseToStore> cases;
    for (auto& k : kept_) cases.push_back(std::move(k.second));
    kept_.clear();
    if (cases.empty()) return failed_ ? 1 : 0;
    size_t replaced = 0;
    if (auto stored = archive_->storeAll(cases, Archive::SameRun::Replace, &replaced); !stored) {
        if (!failed_) err_ << "pamerol-hesap: " << stored.error().message << '\n';
        failed_ = true;
    } else {
        replaced_ += replaced;
    }
    return failed_ ? 1 : 0;
}

} // namespace pamerol
