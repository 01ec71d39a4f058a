// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <string_view>

namespace pamerol {

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndRecord = 0x06054b50;
constexpr std::uint32_t kZip64EndRecord = 0x06064b50;
constexpr std::uint32_t kZip64Locator = 0x07064b50;
constexpr size_t kEndRecordSize = 22, kLocatorSize = 20, kZip64EndSize = 56, kCentralSize = 46;

// Little-endian numbers of n bytes at offset; the caller has checked that they are there.
std::uint64_t Le(std::string_view bytes, size_t offset, int n) {
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

// Reads n bytes at offset; nothing when the file is shorter.
std::optional<std::string> ReadAt(std::ifstream& in, std::uint64_t offset, std::uint64_t n) {
    std::string bytes(n, '\0');
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(bytes.data(), static_cast<std::streamsize>(n));
    if (!in || static_cast<std::uint64_t>(in.gcount()) != n) return std::nullopt;
    return bytes;
}

} // namespace

Expected<std::optional<ZipDirectory>> ReadZipDirectory(const std::string& path) {
    const auto damaged = [](const char* why) {
        return Failure(std::string("sıkıştırılmış dosyanın içindekiler dizini okunamadı (") + why + ")");
    };
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return Failure(std::string("okunamadı (") + std::strerror(errno) + ")");
    const auto size = static_cast<std::uint64_t>(in.tellg());
    const auto head = ReadAt(in, 0, std::min<std::uint64_t>(size, 4));
    const bool beginsAsZip = head && head->size() == 4 && Le(*head, 0, 4) == kLocalHeader;

    // The end record: the last 22 bytes, or before them a comment of up to 65535 bytes that it counts.
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, kEndRecordSize + 0xFFFF);
    const auto tail = ReadAt(in, size - tailSize, tailSize);
    if (!tail) return Failure("okunamadı");
    std::optional<std::uint64_t> end; // where the end record begins in the file
    for (size_t i = tail->size() >= kEndRecordSize ? tail->size() - kEndRecordSize + 1 : 0; i-- > 0;) {
        if (Le(*tail, i, 4) == kEndRecord && i + kEndRecordSize + Le(*tail, i + 20, 2) == tail->size()) {
            end = size - tailSize + i;
            break;
        }
    }
    if (!end) {
        if (!beginsAsZip) return std::optional<ZipDirectory>();
        return damaged("dosyanın sonu eksik");
    }
    const std::string_view record = std::string_view(*tail).substr(*end - (size - tailSize), kEndRecordSize);
    std::uint64_t entries = Le(record, 10, 2);
    std::uint64_t directorySize = Le(record, 12, 4);
    std::uint64_t directoryOffset = Le(record, 16, 4);
    std::uint64_t directoryEnd = *end; // the directory ends where the next record begins
    if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        // Zip64: a locator right before the end record points to the zip64 end record.
        if (*end < kLocatorSize) return damaged("zip64 kaydı yok");
        const auto locator = ReadAt(in, *end - kLocatorSize, kLocatorSize);
        if (!locator || Le(*locator, 0, 4) != kZip64Locator) return damaged("zip64 kaydı yok");
        const std::uint64_t at = Le(*locator, 8, 8);
        const auto zip64 = at < size ? ReadAt(in, at, kZip64EndSize) : std::nullopt;
        if (!zip64 || Le(*zip64, 0, 4) != kZip64EndRecord) return damaged("zip64 kaydı bozuk");
        entries = Le(*zip64, 32, 8);
        directorySize = Le(*zip64, 40, 8);
        directoryOffset = Le(*zip64, 48, 8);
        directoryEnd = at;
    }
    if (directoryOffset > directoryEnd || directorySize > directoryEnd - directoryOffset ||
        entries > directorySize / kCentralSize)
        return damaged("dizinin yeri ya da boyu dosyaya uymuyor");
    const auto directory = ReadAt(in, directoryOffset, directorySize);
    if (!directory) return damaged("dizin okunamadı");

    ZipDirectory zip;
    const std::string_view d = *directory;
    size_t at = 0;
    for (std::uint64_t n = 0; n < entries; ++n) {
        if (d.size() - at < kCentralSize || Le(d, at, 4) != kCentralHeader)
            return damaged("dizindeki bir kayıt bozuk");
        const size_t nameLength = Le(d, at + 28, 2), extraLength = Le(d, at + 30, 2),
                     commentLength = Le(d, at + 32, 2);
        if (d.size() - at - kCentralSize < nameLength + extraLength + commentLength)
            return damaged("dizindeki bir kayıt bozuk");
        std::uint64_t unpacked = Le(d, at + 24, 4);
        if (unpacked == 0xFFFFFFFF) {
            // The real size is the first number of the zip64 extra field (id 1).
            const std::string_view extra = d.substr(at + kCentralSize + nameLength, extraLength);
            bool found = false;
            for (size_t e = 0; e + 4 <= extra.size();) {
                const size_t length = Le(extra, e + 2, 2);
                if (e + 4 + length > extra.size()) break;
                if (Le(extra, e, 2) == 1 && length >= 8) {
                    unpacked = Le(extra, e + 4, 8);
                    found = true;
                    break;
                }
                e += 4 + length;
            }
            if (!found) return damaged("zip64 boyutu yok");
        }
        zip.unpacked = unpacked > std::numeric_limits<std::uint64_t>::max() - zip.unpacked
                           ? std::numeric_limits<std::uint64_t>::max()
                           : zip.unpacked + unpacked;
        ++zip.entries;
        at += kCentralSize + nameLength + extraLength + commentLength;
    }
    return std::optional<ZipDirectory>(zip);
}

} // namespace pamerol
