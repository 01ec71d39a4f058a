// SPDX-License-Identifier: GPL-3.0-or-later
// A spreadsheet that only records: every call in order, with its arguments, and whether it was made to
// fail. Used by the tests of the fills; any call can be told to fail.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "printouts/spreadsheet.h"

namespace pamerol {

struct SpreadsheetCall {
    enum class Op {
        Start,
        Show,
        Open,
        Write,
        WriteNumber,
        Block,
        InsertRows,
        CopyRange,
        Merge,
        AlignRight,
        TopBorder,
        RowHeight,
        PageBreak,
        Footer,
        CopyLook,
        Title,
        Release
    };
    Op op;
    std::string first;  // the cell, the range, the path, the row or the footer's side
    std::string second; // the text, the second cell of a border, or the footer's line
    WriteMode mode = WriteMode::Value;
    double number = 0;
    bool failed = false;

    // One line per call, for comparing whole sequences in tests: "write A8 value Ali Veli",
    // "number CS8 130.05", "block AV8:DJ8: AV8=56 | BR8=3733.33", "insert 10 4", "copy A6:DJ8 A10",
    // "merge A17:EX27", "border AT31 W31", "height 17 450", "break 40",
    // "footer right -1 Ali Veli", "look A17 A18:EX40", "title İbraname – Ali Veli", "open /x/Velkara1.xls",
    // "release".
    std::string str() const;
};

class RecordingSpreadsheet : public Spreadsheet {
  public:
    // Calls for which this returns true fail (and are still recorded, marked as failed).
    std::function<bool(const SpreadsheetCall&)> failWhen;

    // A simple page for the fills that lay text out (the questions are answered, not recorded): pageHeight
    // 0 means the backend cannot tell. A text is broken greedily at blanks into lines of at most
    // charsPerLine characters, each lineHeight tall, an empty line included; rows are rowHeightDefault
    // tall until set.
    int pageHeight = 0;
    int charsPerLine = 100;
    int lineHeight = 450;
    int rowHeightDefault = 500;
    std::map<int, int> rowHeights;
    // How many times a text was measured.
    int measured = 0;
    // The reason a failing start or open gives.
    std::string failReason = "test failure";

    std::vector<SpreadsheetCall> calls;
    // The calls as lines (see SpreadsheetCall::str).
    std::vector<std::string> lines() const;
    // What the last block that listed this cell wrote into it (a number as in "number" lines); nothing when
    // no block did.
    std::optional<std::string> blockCell(std::string_view cell) const;
    std::map<std::string, std::string, std::less<>> blockCells; // the cells blocks have written
    Outcome start() override;
    bool show() override;
    Outcome open(const std::string& path) override;
    bool write(std::string_view cell, std::string_view text, WriteMode mode) override;
    bool writeNumber(std::string_view cell, double value) override;
    bool writeCells(std::string_view range, const std::vector<BlockCell>& cells) override;
    bool insertRows(int row, int count) override;
    bool copyRange(std::string_view fromRange, std::string_view toCell) override;
    bool merge(std::string_view range) override;
    bool alignRight(std::string_view cell) override;
    bool topBorder(std::string_view firstCell, std::string_view secondCell) override;
    int pageBodyHeight() override { return pageHeight; }
    int rowHeight(int row) override;
    bool setRowHeight(int row, int height) override;
    int textHeight(std::string_view range, std::string_view text) override;
    bool pageBreakBefore(int row) override;
    bool footerLine(FooterSide side, int line, std::string_view text) override;
    bool copyLook(std::string_view fromCell, std::string_view toRange) override;
    bool title(std::string_view text) override;
    void release() override;

  private:
    bool record(SpreadsheetCall call);
};

} // namespace pamerol
