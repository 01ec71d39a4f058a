// SPDX-License-Identifier: GPL-3.0-or-later
#include "kitap_gorunumu.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "base/markup.h"

namespace pamerol {

namespace {

std::uint32_t Get(std::string_view b, size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return v;
}

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}

// One part of the archive, as its central directory lists it.
struct Part {
    std::string name;
    std::uint16_t version = 20, method = 0, time = 0, date = 0;
    std::uint32_t crc = 0, external = 0;
    std::string data; // as stored (compressed when method is 8)
    std::uint32_t size = 0;
};

std::optional<std::string> Inflated(const Part& p) {
    if (p.method == 0) return p.data;
    if (p.method != 8) return std::nullopt;
    std::string out(p.size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(p.data.data()));
    z.avail_in = static_cast<uInt>(p.data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int r = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (r != Z_STREAM_END || z.total_out != p.size) return std::nullopt;
    return out;
}

// The part holds this text now, stored as it is.
void Replace(Part& p, const std::string& text) {
    p.data = text;
    p.method = 0;
    p.size = static_cast<std::uint32_t>(text.size());
    p.crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

std::optional<std::vector<Part>> Parts(std::string_view b) {
    // The end of the central directory: the last signature within its largest comment's reach.
    if (b.size() < 22) return std::nullopt;
    size_t end = std::string_view::npos;
    for (size_t at = b.size() - 22;; --at) {
        if (Get(b, at, 4) == 0x06054b50) {
            end = at;
            break;
        }
        if (at == 0 || b.size() - at > 22 + 0xFFFF) break;
    }
    if (end == std::string_view::npos) return std::nullopt;
    const size_t count = Get(b, end + 10, 2);
    size_t at = Get(b, end + 16, 4);
    std::vector<Part> parts;
    for (size_t i = 0; i < count; ++i) {
        if (at + 46 > b.size() || Get(b, at, 4) != 0x02014b50) return std::nullopt;
        Part p;
        p.version = static_cast<std::uint16_t>(Get(b, at + 6, 2));
        p.method = static_cast<std::uint16_t>(Get(b, at + 10, 2));
        p.time = static_cast<std::uint16_t>(Get(b, at + 12, 2));
        p.date = static_cast<std::uint16_t>(Get(b, at + 14, 2));
        p.crc = Get(b, at + 16, 4);
        const size_t packed = Get(b, at + 20, 4);
        p.size = Get(b, at + 24, 4);
        const size_t nameLength = Get(b, at + 28, 2), extra = Get(b, at + 30, 2),
                     comment = Get(b, at + 32, 2);
        p.external = Get(b, at + 38, 4);
        const size_t local = Get(b, at + 42, 4);
        if (packed == 0xFFFFFFFF || p.size == 0xFFFFFFFF || local == 0xFFFFFFFF) return std::nullopt; // zip64
        if (at + 46 + nameLength > b.size()) return std::nullopt;
        p.name = std::string(b.substr(at + 46, nameLength));
        if (local + 30 > b.size() || Get(b, local, 4) != 0x04034b50) return std::nullopt;
        const size_t data = local + 30 + Get(b, local + 26, 2) + Get(b, local + 28, 2);
        if (data + packed > b.size()) return std::nullopt;
        p.data = std::string(b.substr(data, packed));
        parts.push_back(std::move(p));
        at += 46 + nameLength + extra + comment;
    }
    return parts;
}

std::string Archive(const std::vector<Part>& parts) {
    std::string out, directory;
    for (const Part& p : parts) {
        const auto header = [&](std::string& to, bool central) {
            Put(to, central ? 0x02014b50 : 0x04034b50, 4);
            if (central) Put(to, 20, 2);
            Put(to, p.version, 2);
            Put(to, 0, 2); // no data descriptor: the sizes are in the header
            Put(to, p.method, 2);
            Put(to, p.time, 2);
            Put(to, p.date, 2);
            Put(to, p.crc, 4);
            Put(to, static_cast<std::uint32_t>(p.data.size()), 4);
            Put(to, p.size, 4);
            Put(to, static_cast<std::uint32_t>(p.name.size()), 2);
            Put(to, 0, 2);
            if (central) {
                Put(to, 0, 2); // comment
                Put(to, 0, 2); // disk
                Put(to, 0, 2); // internal attributes
                Put(to, p.external, 4);
                Put(to, static_cast<std::uint32_t>(out.size()), 4);
            }
            to += p.name;
        };
        header(directory, true);
        header(out, false);
        out += p.data;
    }
    const size_t start = out.size();
    out += directory;
    Put(out, 0x06054b50, 4);
    Put(out, 0, 4);
    Put(out, static_cast<std::uint32_t>(parts.size()), 2);
    Put(out, static_cast<std::uint32_t>(parts.size()), 2);
    Put(out, static_cast<std::uint32_t>(directory.size()), 4);
    Put(out, static_cast<std::uint32_t>(start), 4);
    Put(out, 0, 2);
    return out;
}

std::string Column(int n) { // 0 -> "A"
    std::string s;
    for (++n; n > 0; n = (n - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (n - 1) % 26));
    return s;
}

} // namespace

Expected<std::string> DonukBolmeler(std::string_view book, bool xlsx, const std::string& sheet, int columns,
                                    int rows) {
    const Problem notAWorkbook = Failure("çalışma kitabı ofisin yazdığı bir zip arşivi değil");
    auto parts = Parts(book);
    if (!parts) return notAWorkbook;
    const std::string corner = Column(columns) + std::to_string(rows + 1);
    for (Part& p : *parts) {
        if (xlsx && p.name == "xl/worksheets/sheet1.xml") {
            auto xml = Inflated(p);
            if (!xml) return notAWorkbook;
            // The sheet's view: the frozen pane, and the selection in the pane below and right of it.
            const size_t view = xml->find("<sheetView ");
            const size_t close = view == std::string::npos ? view : xml->find('>', view);
            const size_t end = close == std::string::npos ? close : xml->find("</sheetView>", close);
            if (end == std::string::npos || (*xml)[close - 1] == '/') return notAWorkbook;
            const std::string pane = "<pane xSplit=\"" + std::to_string(columns) + "\" ySplit=\"" +
                                     std::to_string(rows) + "\" topLeftCell=\"" + corner +
                                     "\" activePane=\"bottomRight\" state=\"frozen\"/><selection "
                                     "pane=\"bottomRight\" activeCell=\"" +
                                     corner + "\" sqref=\"" + corner + "\"/>";
            xml->replace(close + 1, end - close - 1, pane);
            Replace(p, *xml);
        } else if (!xlsx && p.name == "settings.xml") {
            const auto item = [](const char* name, const char* type, const std::string& value) {
                return std::string("<config:config-item config:name=\"") + name + "\" config:type=\"" + type +
                       "\">" + value + "</config:config-item>";
            };
            const std::string c = std::to_string(columns), r = std::to_string(rows);
            Replace(
                p,
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<office:document-settings xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\" office:version=\"1.2\">"
                "<office:settings><config:config-item-set config:name=\"ooo:view-settings\">"
                "<config:config-item-map-indexed config:name=\"Views\"><config:config-item-map-entry>" +
                    item("ViewId", "string", "view1") +
                    "<config:config-item-map-named config:name=\"Tables\">"
                    "<config:config-item-map-entry config:name=\"" +
                    MarkupText(sheet, ControlCharacters::LeftOut) + "\">" +
                    item("HorizontalSplitMode", "short", "2") + item("VerticalSplitMode", "short", "2") +
                    item("HorizontalSplitPosition", "int", c) + item("VerticalSplitPosition", "int", r) +
                    item("ActiveSplitRange", "short", "2") + item("PositionLeft", "int", "0") +
                    item("PositionRight", "int", c) + item("PositionTop", "int", "0") +
                    item("PositionBottom", "int", r) + item("CursorPositionX", "int", c) +
                    item("CursorPositionY", "int", r) +
                    "</config:config-item-map-entry></config:config-item-map-named>" +
                    item("ActiveTable", "string", MarkupText(sheet, ControlCharacters::LeftOut)) +
                    "</config:config-item-map-entry></config:config-item-map-indexed>"
                    "</config:config-item-set></office:settings></office:document-settings>\n");
        }
    }
    return Archive(*parts);
}

} // namespace pamerol
