// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf_words.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace pamerol::testing {

namespace {

std::string Unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"},   {"&gt;", ">"},  {"&quot;", "\""},
                                                            {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (auto [from, to] : entities)
        for (size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += std::string(to).size())
            s.replace(p, std::string(from).size(), to);
    return s;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string Describe(const PdfWord& w) {
    char where[96];
    std::snprintf(where, sizeof where, " (page %d at %.0f,%.0f)", w.page + 1, w.xMin, w.yMin);
    return "\"" + w.text + "\"" + where;
}

// Two words printed over each other. Boxes of consecutive lines of one text touch by a point or two; a
// hidden line lies across the next one.
bool Overlap(const PdfWord& a, const PdfWord& b) {
    const double x = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
    const double y = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
    return a.page == b.page && x > 1 && y > 0.3 * std::min(a.yMax - a.yMin, b.yMax - b.yMin);
}

} // namespace

PdfWords ReadPdfWords(const std::string& pdf) {
    PdfWords out;
    const std::string html = pdf + ".words.html";
    const std::string command = "pdftotext -bbox '" + pdf + "' '" + html + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command << " (pdftotext from poppler-utils)";
    std::ifstream in(html);
    const std::regex page(R"re(<page width="([0-9.]+)" height="([0-9.]+)")re");
    const std::regex word(
        R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">(.*)</word>)re");
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, m, page)) {
            out.pages.emplace_back(std::stod(m[1]), std::stod(m[2]));
        } else if (std::regex_search(line, m, word) && !out.pages.empty()) {
            out.words.push_back({static_cast<int>(out.pages.size()) - 1, std::stod(m[1]), std::stod(m[2]),
                                 std::stod(m[3]), std::stod(m[4]), Unescape(m[5])});
        }
    }
    ::unlink(html.c_str());
    return out;
}

PdfWords InReadingOrder(const PdfWords& pdf) {
    PdfWords out = pdf;
    auto& words = out.words;
    std::stable_sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        return a.page != b.page ? a.page < b.page : a.yMin < b.yMin;
    });
    // Each line: the words from the first one down to 2 points below its top, then from the left.
    for (size_t from = 0; from < words.size();) {
        size_t to = from + 1;
        while (to < words.size() && words[to].page == words[from].page &&
               words[to].yMin - words[from].yMin < 2)
            ++to;
        std::stable_sort(words.begin() + static_cast<std::ptrdiff_t>(from),
                         words.begin() + static_cast<std::ptrdiff_t>(to),
                         [](const PdfWord& a, const PdfWord& b) { return a.xMin < b.xMin; });
        from = to;
    }
    return out;
}

std::vector<std::string> ReadingFaults(const PdfWords& pdf, const std::vector<std::string>& texts) {
    std::vector<std::string> faults;
    const auto& words = pdf.words;
    for (size_t i = 0; i < words.size(); ++i) {
        const PdfWord& w = words[i];
        if (w.text.find("###") != std::string::npos) faults.push_back("a number hidden: " + Describe(w));
        const auto [width, height] = pdf.pages[static_cast<size_t>(w.page)];
        if (w.xMin < 0 || w.yMin < 0 || w.xMax > width || w.yMax > height)
            faults.push_back("off the page: " + Describe(w));
        for (size_t j = i + 1; j < words.size() && words[j].page == w.page; ++j)
            if (Overlap(w, words[j]))
                faults.push_back("printed over each other: " + Describe(w) + " and " + Describe(words[j]));
    }
    auto runAt = [&](const std::vector<std::string>& run, size_t at) {
        if (at + run.size() > words.size()) return false;
        for (size_t k = 0; k < run.size(); ++k)
            if (words[at + k].text != run[k]) return false;
        return true;
    };
    for (const std::string& text : texts) {
        size_t after = 0; // each line of a text comes after the one before it
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            const std::vector<std::string> run = Words(line);
            if (run.empty()) continue;
            std::vector<size_t> found;
            for (size_t at = 0; at < words.size(); ++at)
                if (runAt(run, at)) found.push_back(at);
            if (found.size() != 1) {
                faults.push_back("seen " + std::to_string(found.size()) + " times: \"" + line + "\"");
            } else if (found[0] < after) {
                faults.push_back("out of order: \"" + line + "\"");
            } else {
                after = found[0] + run.size();
            }
        }
    }
    return faults;
}

PdfWords BodyWords(const PdfWords& pdf, const PdfBox& body, const std::string& continued,
                   std::vector<std::string>& faults) {
    PdfWords out;
    out.pages = pdf.pages;
    const std::vector<std::string> continuedWords = Words(continued);
    for (int page = 0; page < static_cast<int>(pdf.pages.size()); ++page) {
        std::vector<PdfWord> inBody;
        std::string footer;
        for (const PdfWord& w : pdf.words) {
            if (w.page != page) continue;
            if (w.yMin >= body.bottom - 0.5) {
                footer += " " + w.text;
                continue;
            }
            if (w.yMax > body.bottom + 1)
                faults.push_back("across the footer's edge: " + Describe(w));
            else if (w.xMin < body.left - 1 || w.xMax > body.right + 1 || w.yMin < body.top - 1)
                faults.push_back("outside the page body: " + Describe(w));
            inBody.push_back(w);
        }
        const std::string number =
            " Sayfa " + std::to_string(page + 1) + " / " + std::to_string(pdf.pages.size());
        if (footer.find(number) == std::string::npos)
            faults.push_back("page " + std::to_string(page + 1) + " lacks \"" + number.substr(1) + "\"");
        if (page > 0 && !inBody.empty()) {
            // The first line of a later page: the words as high as the topmost one.
            double top = inBody.front().yMin;
            for (const PdfWord& w : inBody) top = std::min(top, w.yMin);
            std::vector<std::string> first;
            std::vector<PdfWord> rest;
            for (const PdfWord& w : inBody) {
                if (w.yMin < top + 2)
                    first.push_back(w.text);
                else
                    rest.push_back(w);
            }
            if (first != continuedWords)
                faults.push_back("page " + std::to_string(page + 1) + " does not begin with \"" + continued +
                                 "\"");
            inBody = std::move(rest);
        }
        out.words.insert(out.words.end(), inBody.begin(), inBody.end());
    }
    return out;
}

std::vector<std::string> RenderedFaults(const std::string& pdf, const PdfWords& all, const PdfBox& body) {
    std::vector<std::string> faults;
    const std::string prefix = pdf + ".seite";
    const std::string command = "pdftoppm -r 72 -gray '" + pdf + "' '" + prefix + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const int pages = static_cast<int>(all.pages.size());
    const int digits = static_cast<int>(std::to_string(pages).size());
    for (int page = 0; page < pages; ++page) {
        char name[32];
        std::snprintf(name, sizeof name, "-%0*d.pgm", digits, page + 1);
        const std::string file = prefix + name;
        std::ifstream in(file, std::ios::binary);
        std::string magic;
        int width = 0, height = 0, maxval = 0;
        in >> magic >> width >> height >> maxval;
        in.get();
        std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
        in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
        ::unlink(file.c_str());
        if (magic != "P5" || !in) {
            faults.push_back("page " + std::to_string(page + 1) + " could not be rendered");
            continue;
        }
        auto dark = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < width && y < height &&
                   pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] < 128;
        };
        auto inked = [&](const PdfWord& w) {
            for (int y = static_cast<int>(w.yMin); y <= static_cast<int>(w.yMax); ++y)
                for (int x = static_cast<int>(w.xMin); x <= static_cast<int>(w.xMax); ++x)
                    if (dark(x, y)) return true;
            return false;
        };
        std::vector<const PdfWord*> footer;
        for (const PdfWord& w : all.words) {
            if (w.page != page) continue;
            if (w.yMin >= body.bottom - 0.5)
                footer.push_back(&w);
            else if (!inked(w))
                faults.push_back("not printed (clipped): " + Describe(w));
        }
        // Below the body only the footer's own words may leave ink.
        for (int y = static_cast<int>(body.bottom) + 1; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (!dark(x, y)) continue;
                const bool own = std::any_of(footer.begin(), footer.end(), [&](const PdfWord* w) {
                    return x >= w->xMin - 2 && x <= w->xMax + 2 && y >= w->yMin - 2 && y <= w->yMax + 2;
                });
                if (!own) {
                    faults.push_back("ink under the body at " + std::to_string(x) + "," + std::to_string(y) +
                                     " on page " + std::to_string(page + 1));
                    y = height; // one fault per page is enough
                    break;
                }
            }
    }
    return faults;
}

} // namespace pamerol::testing
