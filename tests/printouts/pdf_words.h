// SPDX-License-Identifier: GPL-3.0-or-later
// What a person sees on a stored PDF: its words with their boxes, read with pdftotext (poppler-utils), and
// the faults a reader would notice.
#pragma once

#include <string>
#include <vector>

namespace pamerol::testing {

struct PdfWord {
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // points, from the page's top left corner
    std::string text;
};

struct PdfWords {
    std::vector<PdfWord> words;                   // in the order the pages draw them
    std::vector<std::pair<double, double>> pages; // width and height of each page
};

// The words of every page; empty (and a failed test) when pdftotext cannot read the file.
PdfWords ReadPdfWords(const std::string& pdf);

// What keeps a reader from seeing these texts whole: a word printed as "###", a word outside its page,
// two words printed over each other (a line hidden under the next row), and each line of each text that is
// not found exactly once, with its words in order and after the text's previous line. Empty when all is
// well.
std::vector<std::string> ReadingFaults(const PdfWords& pdf, const std::vector<std::string>& texts);

} // namespace pamerol::testing
