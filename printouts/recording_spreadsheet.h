// SPDX-License-Identifier: GPL-3.0-or-later
// A spreadsheet that only records: every call in order, with its arguments, and whether it was made to
// fail. Used by the tests of the fills; any call can be told to fail.
#pragma once

#include <functional>
#include <string>
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
        Merge,
        AlignRight,
        TopBorder,
        Fits,
        CopyLook,
        Title,
        Release
    };
    Op op;
    std::string first;  // the cell, the range or the path
    std::string second; // the text, or the second cell of a border
    WriteMode mode = WriteMode::Value;
    double number = 0;
    bool failed = false;

    // One line per call, for comparing whole sequences in tests: "write A8 value Ali Veli",
    // "number CS8 130.05", "merge A17:EX27", "border AT31 W31", "fits A17:EX27", "look A17 A18:EX40",
    // "title İbraname – Ali Veli", "open /x/Velkara1.xls", "release".
    std::string str() const;
};

class RecordingSpreadsheet : public Spreadsheet {
  public:
    // Calls for which this returns true fail (and are still recorded, marked as failed); a failing
    // fitsOnOnePage says the block does not fit.
    std::function<bool(const SpreadsheetCall&)> failWhen;
    // The reason a failing start or open gives.
    std::string failReason = "test failure";

    std::vector<SpreadsheetCall> calls;
    // The calls as lines (see SpreadsheetCall::str).
    std::vector<std::string> lines() const;

    Outcome start() override;
    bool show() override;
    Outcome open(const std::string& path) override;
    bool write(std::string_view cell, std::string_view text, WriteMode mode) override;
    bool writeNumber(std::string_view cell, double value) override;
    bool merge(std::string_view range) override;
    bool alignRight(std::string_view cell) override;
    bool topBorder(std::string_view firstCell, std::string_view secondCell) override;
    bool fitsOnOnePage(std::string_view range, std::string_view text) override;
    bool copyLook(std::string_view fromCell, std::string_view toRange) override;
    bool title(std::string_view text) override;
    void release() override;

  private:
    bool record(SpreadsheetCall call);
};

} // namespace pamerol
