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

// The words as a person reads them, whatever order the pages draw them in: page by page, line by line from
// the top (words whose tops are within 2 points share a line), each line from the left.
PdfWords InReadingOrder(const PdfWords& pdf);

// A box on a page, in points from the page's top left corner.
struct PdfBox {
    double left = 0, top = 0, right = 0, bottom = 0;
};

// The words the page body prints, without the page footer (every word below the body's box) and without the
// first line of each later page, the continuation line `continued`. Each continuation line that does not
// read `continued` is a fault, as is a word that crosses the body's lower edge, a word of the body outside
// its box, and a page footer without "Sayfa X / Y" for its page.
PdfWords BodyWords(const PdfWords& pdf, const PdfBox& body, const std::string& continued,
                   std::vector<std::string>& faults);

// What the rendered pages show: each word of the body with no ink in its box (clipped away), and ink in the
// footer's area that belongs to no word of the footer (something printed over the signatures). The pages
// are rendered with pdftoppm at 72 dpi.
std::vector<std::string> RenderedFaults(const std::string& pdf, const PdfWords& all, const PdfBox& body);

} // namespace pamerol::testing
