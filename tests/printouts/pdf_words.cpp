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

} // namespace pamerol::testing
