// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/recording_spreadsheet.h"

#include <algorithm>
#include <charconv>

namespace pamerol {

namespace {

const char* ModeName(WriteMode m) {
    switch (m) {
    case WriteMode::Value: return "value";
    case WriteMode::Text: return "text";
    case WriteMode::Literal: return "literal";
    }
    return "?";
}

std::string NumberLine(double number) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, number);
    return std::string(buf, res.ptr);
}

} // namespace

std::string SpreadsheetCall::str() const {
    using O = Op;
    switch (op) {
    case O::Start: return "start";
    case O::Show: return "show";
    case O::Open: return "open " + first;
    case O::Write: return "write " + first + " " + ModeName(mode) + " " + second;
    case O::WriteNumber: return "number " + first + " " + NumberLine(number);
    case O::Block: return "block " + first + ":" + second;
    case O::InsertRows: return "insert " + first + " " + second;
    case O::CopyRange: return "copy " + first + " " + second;
    case O::Merge: return "merge " + first;
    case O::AlignRight: return "right " + first;
    case O::TopBorder: return "border " + first + " " + second;
    case O::RowHeight: return "height " + first + " " + second;
    case O::PageBreak: return "break " + first;
    case O::Footer: return "footer " + first + " " + second;
    case O::CopyLook: return "look " + first + " " + second;
    case O::Title: return "title " + first;
    case O::Release: return "release";
    }
    return "?";
}

std::vector<std::string> RecordingSpreadsheet::lines() const {
    std::vector<std::string> out;
    out.reserve(calls.size());
    for (const auto& c : calls) out.push_back(c.str());
    return out;
}

std::optional<std::string> RecordingSpreadsheet::blockCell(std::string_view cell) const {
    const auto it = blockCells.find(cell);
    if (it == blockCells.end()) return std::nullopt;
    return it->second;
}

bool RecordingSpreadsheet::record(SpreadsheetCall call) {
    call.failed = failWhen && failWhen(call);
    calls.push_back(call);
    return !call.failed;
}

Outcome RecordingSpreadsheet::start() {
    if (record({SpreadsheetCall::Op::Start, {}, {}})) return Outcome::Success();
    return Outcome::Failure(failReason);
}

bool RecordingSpreadsheet::show() {
    return record({SpreadsheetCall::Op::Show, {}, {}});
}

Outcome RecordingSpreadsheet::open(const std::string& path) {
    if (record({SpreadsheetCall::Op::Open, path, {}})) return Outcome::Success();
    return Outcome::Failure(failReason);
}

bool RecordingSpreadsheet::write(std::string_view cell, std::string_view text, WriteMode mode) {
    return record({SpreadsheetCall::Op::Write, std::string(cell), std::string(text), mode});
}

bool RecordingSpreadsheet::writeNumber(std::string_view cell, double value) {
    return record({SpreadsheetCall::Op::WriteNumber, std::string(cell), {}, WriteMode::Value, value});
}

bool RecordingSpreadsheet::writeCells(std::string_view range, const std::vector<BlockCell>& cells) {
    std::vector<std::pair<std::string, std::string>> shown;
    std::string joined;
    for (const BlockCell& c : cells) {
        const auto* text = std::get_if<std::string>(&c.value);
        shown.emplace_back(c.cell, text ? *text : NumberLine(std::get<double>(c.value)));
        joined += (joined.empty() ? " " : " | ") + shown.back().first + "=" + shown.back().second;
    }
    if (!record({SpreadsheetCall::Op::Block, std::string(range), joined})) return false;
    for (auto& [cell, value] : shown) blockCells[cell] = std::move(value);
    return true;
}

bool RecordingSpreadsheet::insertRows(int row, int count) {
    return record({SpreadsheetCall::Op::InsertRows, std::to_string(row), std::to_string(count)});
}

bool RecordingSpreadsheet::copyRange(std::string_view fromRange, std::string_view toCell) {
    return record({SpreadsheetCall::Op::CopyRange, std::string(fromRange), std::string(toCell)});
}

bool RecordingSpreadsheet::merge(std::string_view range) {
    return record({SpreadsheetCall::Op::Merge, std::string(range), {}});
}

bool RecordingSpreadsheet::alignRight(std::string_view cell) {
    return record({SpreadsheetCall::Op::AlignRight, std::string(cell), {}});
}

bool RecordingSpreadsheet::topBorder(std::string_view firstCell, std::string_view secondCell) {
    return record({SpreadsheetCall::Op::TopBorder, std::string(firstCell), std::string(secondCell)});
}

int RecordingSpreadsheet::rowHeight(int row) {
    auto it = rowHeights.find(row);
    return it == rowHeights.end() ? rowHeightDefault : it->second;
}

bool RecordingSpreadsheet::setRowHeight(int row, int height) {
    const bool ok = record({SpreadsheetCall::Op::RowHeight, std::to_string(row), std::to_string(height)});
    if (ok) rowHeights[row] = height;
    return ok;
}

int RecordingSpreadsheet::textHeight(std::string_view /*range*/, std::string_view text) {
    ++measured;
    int lines = 0;
    size_t from = 0;
    for (;;) {
        const size_t to = std::min(text.find('\n', from), text.size());
        // Greedy: words (counted in characters, not bytes) join a line while it stays within the width.
        int line = 0;
        bool any = false;
        lines += 1;
        for (size_t i = from; i < to;) {
            while (i < to && text[i] == ' ') ++i;
            size_t j = i;
            int chars = 0;
            while (j < to && text[j] != ' ') {
                if ((static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) ++chars;
                ++j;
            }
            if (chars == 0) break;
            if (any && line + 1 + chars > charsPerLine) {
                ++lines;
                line = 0;
                any = false;
            }
            // A word longer than a line takes as many lines as it needs.
            while (chars > charsPerLine) {
                chars -= charsPerLine;
                ++lines;
            }
            line += (any ? 1 : 0) + chars;
            any = true;
            i = j;
        }
        if (to >= text.size()) break;
        from = to + 1;
    }
    return lines * lineHeight;
}

bool RecordingSpreadsheet::pageBreakBefore(int row) {
    return record({SpreadsheetCall::Op::PageBreak, std::to_string(row), {}});
}

bool RecordingSpreadsheet::footerLine(FooterSide side, int line, std::string_view text) {
    const char* name = side == FooterSide::Left ? "left" : side == FooterSide::Center ? "center" : "right";
    return record({SpreadsheetCall::Op::Footer, name, std::to_string(line) + " " + std::string(text)});
}

bool RecordingSpreadsheet::copyLook(std::string_view fromCell, std::string_view toRange) {
    return record({SpreadsheetCall::Op::CopyLook, std::string(fromCell), std::string(toRange)});
}

bool RecordingSpreadsheet::title(std::string_view text) {
    return record({SpreadsheetCall::Op::Title, std::string(text), {}});
}

void RecordingSpreadsheet::release() {
    record({SpreadsheetCall::Op::Release, {}, {}});
}

} // namespace pamerol
