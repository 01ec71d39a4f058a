// SPDX-License-Identifier: GPL-3.0-or-later
// The spreadsheet operations the printouts need, and nothing more: start a new instance of the spreadsheet
// program, show it, open a workbook, write cells, merge a range, right-align a cell, draw a top border,
// write a block of texts at once, measure texts, rows and the page, break pages, fill the page footer, copy a
// cell's look, title the window, and let go. The LibreOffice
// backend implements them for real; the recording backend lets the fills be tested cell by cell.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pamerol {

// How a text reaches its cell.
enum class WriteMode {
    // As a clerk typing it: "12.345,67" becomes a number, "01.02.2005" a date, other texts stay text.
    Value,
    // Stored as text, exactly as given (leading zeros and the sheet's own formatting kept).
    Text,
    // A fixed text of the program, stored as text exactly as given.
    Literal,
};

// One cell of a block: its address and its content, a text (stored as text, exactly as given) or a number.
struct BlockCell {
    std::string cell;
    std::variant<std::string, double> value;
};

// Whether a start or an open worked, and if not, why (in words for the user's message).
struct Outcome {
    bool ok = false;
    std::string reason;

    static Outcome Success() { return {true, {}}; }
    static Outcome Failure(std::string why) { return {false, std::move(why)}; }
};

class Spreadsheet {
  public:
    virtual ~Spreadsheet() = default;

    // Starts a new instance of the spreadsheet program.
    virtual Outcome start() = 0;
    // Makes the spreadsheet program's window visible (a headless backend accepts and shows nothing).
    virtual bool show() = 0;
    // Opens the workbook at this full path; its active sheet is the one the following calls address.
    virtual Outcome open(const std::string& path) = 0;
    // Cell addresses such as "A8" or "aq10"; letters in either case.
    virtual bool write(std::string_view cell, std::string_view text, WriteMode mode) = 0;
    virtual bool writeNumber(std::string_view cell, double value) = 0;
    // Writes a whole range at once: the cells listed get their contents, every other cell of the range is
    // emptied. Cells outside the range are not written. The office does this in one step; by default the
    // listed cells are written one by one.
    virtual bool writeCells(std::string_view range, const std::vector<BlockCell>& cells);
    // Inserts `count` empty rows before `row` (1 for the first); the rows below move down, merged areas and
    // the print range with them.
    virtual bool insertRows(int /*row*/, int /*count*/) { return false; }
    // Copies a range (contents, looks, merged areas) so that its top left cell lands on `toCell`.
    virtual bool copyRange(std::string_view /*fromRange*/, std::string_view /*toCell*/) { return false; }
    // A range such as "A17:EX27" becomes one merged cell.
    virtual bool merge(std::string_view range) = 0;
    virtual bool alignRight(std::string_view cell) = 0;
    // A thin continuous line in the automatic colour along the top of the range spanned by two cells
    // (given in either order).
    virtual bool topBorder(std::string_view firstCell, std::string_view secondCell) = 0;
    // The height, in 1/100 mm, that the rows of the active sheet have on one printed page: the page less its
    // margins, header and footer, at the page's scale. 0 when the backend cannot tell; the fills then leave
    // the pages to the spreadsheet program.
    virtual int pageBodyHeight() { return 0; }
    // The height of a row (1 for the first), in 1/100 mm; 0 when unknown.
    virtual int rowHeight(int /*row*/) { return 0; }
    virtual bool setRowHeight(int /*row*/, int /*height*/) { return false; }
    // The height this text needs written into the range merged as one block, with the look of the range's
    // first cell (font, wrapping, margins) and the range's width, in 1/100 mm; 0 when unknown.
    virtual int textHeight(std::string_view /*range*/, std::string_view /*text*/) { return 0; }
    // The heights of many texts in the same range, as textHeight gives each; laid out together where the
    // backend can.
    virtual std::vector<int> textHeights(std::string_view range, const std::vector<std::string>& texts);
    // A printed page begins with this row.
    virtual bool pageBreakBefore(int /*row*/) { return false; }
    // The page footer's three sides. Line `line` (0 for the first paragraph) of a side becomes the text; with
    // line -1 the text's lines are added below the side's last one. The footer grows to hold its lines.
    enum class FooterSide { Left, Center, Right };
    virtual bool footerLine(FooterSide /*side*/, int /*line*/, std::string_view /*text*/) { return false; }
    // Gives the cells of the range the look of one cell: font, alignment, wrapping. Several ranges joined by
    // ";" ("B17;C20:G20") take it at once.
    virtual bool copyLook(std::string_view /*fromCell*/, std::string_view /*toRange*/) { return false; }
    // Texts into the block whose top left cell is `topLeft`, row by row, each row's texts from that column
    // on, stored as text exactly as given; an empty text leaves its cell empty. Unlike write, no row is
    // fitted to its texts: the caller sets the heights it needs. One call for the whole block where the
    // backend can; by default one write each.
    virtual bool writeBlock(std::string_view topLeft, const std::vector<std::vector<std::string>>& rows);
    // The title the workbook's window shows.
    virtual bool title(std::string_view /*text*/) { return false; }
    // The program lets go; a visible workbook stays open, unmarked as modified, under the user's control.
    virtual void release() = 0;
};

// A new backend for each fill: each print starts its own instance.
using SpreadsheetFactory = std::function<std::unique_ptr<Spreadsheet>()>;

// Whether the spreadsheet could take this typed text as a formula rather than as a value or a text: it
// begins with "=", or with "+", "-" or "@" without being a plain number in the Turkish notation. Such a
// text is stored as text instead, so that no field of the sheet ever becomes a live formula.
bool TakenAsFormula(std::string_view text);

// The letters of a column, 0 for "A".
std::string ColumnLetters(int column);

} // namespace pamerol
