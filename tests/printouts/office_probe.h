// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a stored workbook back through the office that filled it: what each cell holds and how it looks.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace pamerol::testing {

struct CellContent {
    enum Kind { Empty, Number, Text, Formula } kind = Empty;
    double value = 0;
    std::string shown; // as the cell displays it, through its number format
};

// How the active sheet prints: its page style and print ranges.
struct PageSetup {
    int width = 0, height = 0; // 1/100 mm
    int leftMargin = 0, rightMargin = 0, topMargin = 0, bottomMargin = 0, footerHeight = 0;
    bool landscape = false;
    int printRanges = 0;
    bool footer = false;
    std::string footerLeft, footerRight; // the footer's two sides, their paragraphs joined by spaces
};

struct BorderLine {
    bool present = false;
    int style = 0; // css::table::BorderLineStyle
    int width = 0; // 1/100 mm
    int color = 0;
};

class OfficeProbe {
  public:
    explicit OfficeProbe(const std::string& connection);
    ~OfficeProbe();

    // Opens a stored workbook (hidden), closing the one opened before.
    bool load(const std::string& path);

    CellContent cell(const std::string& address);
    // The merged block a cell belongs to, as "A17:EX27", or the cell alone.
    std::string mergedArea(const std::string& address);
    bool rightAligned(const std::string& address);
    // Whether the cell wraps its text into lines.
    bool wrapped(const std::string& address);
    BorderLine topBorder(const std::string& address);
    // The height of a row (1 for the first), in 1/100 mm.
    int rowHeight(int row);
    PageSetup page();
    // How many cells of the active sheet hold a formula.
    int formulaCount();
    // Ends the office, as a user closing it would.
    void endOffice();
    // The titles of the office's windows on screen, and of those it holds hidden.
    std::vector<std::string> shownWindows();
    int hiddenWindows();
    // Closes the first window on screen whose title holds this text, as the clerk's Ctrl+W does.
    bool closeWindow(const std::string& title);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace pamerol::testing
