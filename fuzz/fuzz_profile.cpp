// SPDX-License-Identifier: GPL-3.0-or-later
// Random settings files for the profile reader. Every key of the program, and a few odd names, are read
// from the file; then one key is written. The written key must read back (when its value survives the
// trimming, unquoting and length cut of a read) and every other key must read exactly as before.
// The file may be Windows-1254 or UTF-8 (with or without a byte-order mark); a write keeps its encoding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "sheet/ayarlar.h"
#include "sheet/profile.h"

namespace {

using namespace pamerol;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_profile: %s\n", what);
    std::abort();
}

// A private folder, on memory-backed storage when there is one, so that the syncs of a save cost little.
// It is removed when the fuzzer ends normally.
std::string folder() {
    static std::string made;
    for (const char* base : {"/dev/shm", "/tmp"}) {
        std::string pattern = std::string(base) + "/pamerol-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) continue;
        made = pattern;
        std::atexit([] { std::filesystem::remove_all(made); });
        return made;
    }
    std::abort();
}

struct Name {
    std::string section;
    std::string key;
};

std::vector<Name> names() {
    std::vector<Name> list;
    for (const SettingKey& k : kSettingKeys) list.push_back({std::string(k.section), std::string(k.key)});
    list.push_back({"S", "k"});
    list.push_back({"a b", "c d"});
    list.push_back({"\xC4\xB0\xC5\x9F", "\xC3\xA7"}); // Turkish letters in both names
    return list;
}

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

// Letters a value is built from: the ones that matter to the file's syntax, and two Turkish ones.
const char* const kAlphabet[] = {"a", "7", " ",  "\t", "\"", "'",  "=",        ";",
                                 "[", "]", "\\", "n",  "\n", "\r", "\xC5\x9F", "\xE2\x82\xAC"};

// A stored line break comes back as CR LF, whatever it was written as: CR LF and lone CRs become LFs,
// then every LF becomes CR LF.
std::string withCrLf(std::string text) {
    const auto replaceAll = [&text](const std::string& from, const std::string& to) {
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
            text.replace(at, from.size(), to);
    };
    replaceAll("\r\n", "\n");
    replaceAll("\r", "\n");
    replaceAll("\n", "\r\n");
    return text;
}

// Every letter of the alphabet is one character of the file in either of its encodings, so the stored
// length in characters is the number of UTF-8 sequences of the escaped value.
bool readsBackExactly(const std::string& value) {
    const std::string stored = EscapeIniValue(value);
    if (stored.empty()) return true;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (blank(stored.front()) || blank(stored.back())) return false;
    if (stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') &&
        stored.back() == stored.front())
        return false;
    std::size_t characters = 0;
    for (unsigned char c : stored) characters += (c & 0xC0) != 0x80;
    return characters <= kIniValueMax;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = folder() + "/Pmrl.ini";
    static const std::vector<Name> all = names();
    if (size < 2) return 0;

    // Byte 0 picks the key to write, byte 1 the length of its value, the bytes after it spell the value,
    // and the rest is the file.
    const Name& target = all[data[0] % all.size()];
    std::size_t valueLength = data[1] % 48;
    if (valueLength > size - 2) valueLength = size - 2;
    std::string value;
    for (std::size_t i = 0; i < valueLength; ++i)
        value += kAlphabet[data[2 + i] % (sizeof kAlphabet / sizeof kAlphabet[0])];
    const std::string file(reinterpret_cast<const char*>(data) + 2 + valueLength, size - 2 - valueLength);

    check(UnescapeIniValue(EscapeIniValue(file)) == withCrLf(file), "escapes do not round-trip");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << file;
    }
    const ProfileText inMemory(file);
    std::vector<std::string> before;
    for (const Name& n : all) {
        before.push_back(IniOku(path, n.section, n.key));
        check(before.back() == inMemory.read(n.section, n.key), "file and memory reads differ");
        check(before.back().size() <= 4 * kIniValueMax, "a read is longer than the cut allows");
    }

    check(IniYaz(path, target.section, target.key, value).has_value(), "a write to a writable file failed");
    if (readsBackExactly(value))
        check(IniOku(path, target.section, target.key) == withCrLf(value), "written value lost");
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (sameName(all[i].section, target.section) && sameName(all[i].key, target.key)) continue;
        check(IniOku(path, all[i].section, all[i].key) == before[i], "a write changed another key");
    }
    return 0;
}
