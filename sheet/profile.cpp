#include "sheet/profile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <vector>

namespace pamerol {

namespace {

// ---- Text helpers ------------------------------------------------------------------------------------

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Case folding of ASCII letters only: the standard tolower follows the process locale, and under a
// Turkish single-byte locale it turns 'I' into the dotless i, so "Isveren" would not match "isveren".
char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

std::string errnoText(int err) {
    return std::strerror(err);
}

// ---- Character set conversion ------------------------------------------------------------------------

// Length of the UTF-8 sequence starting at s[0] if it is well formed, otherwise 1.
std::size_t utf8SequenceLength(const char* s, std::size_t left) {
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    if (n > left) return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    return n;
}

enum class Direction { ToCp1254, FromCp1254 };

std::string convert(std::string_view in, Direction dir) {
    const bool toCp = dir == Direction::ToCp1254;
    // One converter per direction and thread, opened on first use: opening one costs far more than a
    // short conversion. Its shift state is reset before each use.
    struct Converter {
        iconv_t cd;
        explicit Converter(bool encode)
            : cd(encode ? iconv_open("CP1254", "UTF-8") : iconv_open("UTF-8", "CP1254")) {}
        ~Converter() {
            if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
        }
    };
    thread_local const Converter toCp1254(true);
    thread_local const Converter fromCp1254(false);
    iconv_t cd = toCp ? toCp1254.cd : fromCp1254.cd;
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in); // no converter: ASCII still works
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::string_view replacement = toCp ? "?" : "\xEF\xBF\xBD";

    std::string out;
    std::vector<char> buf(in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data()); // iconv's interface is not const-correct
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
        char* outPtr = buf.data();
        std::size_t outLeft = buf.size();
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const int err = errno;
        out.append(buf.data(), buf.size() - outLeft);
        if (rc != static_cast<std::size_t>(-1)) break;
        if (err == E2BIG) continue;
        // An invalid or unrepresentable character (EILSEQ), or an incomplete one at the end (EINVAL).
        const std::size_t skip = toCp ? utf8SequenceLength(inPtr, inLeft) : 1;
        out.append(replacement);
        inPtr += skip;
        inLeft -= skip;
    }
    return out;
}

// ---- Lines of the file -------------------------------------------------------------------------------

struct Line {
    std::size_t begin = 0; // first byte of the line
    std::size_t end = 0;   // end of its text, before the line ending
    std::size_t next = 0;  // first byte after the line ending
    bool terminated() const { return next > end; }
};

// The line that starts at pos.
Line lineAt(std::string_view bytes, std::size_t pos) {
    Line l;
    l.begin = pos;
    const std::size_t lf = bytes.find('\n', pos);
    if (lf == std::string_view::npos) {
        l.end = l.next = bytes.size();
    } else {
        l.end = (lf > pos && bytes[lf - 1] == '\r') ? lf - 1 : lf;
        l.next = lf + 1;
    }
    return l;
}

// The file's last line; the file must not be empty.
Line lastLine(std::string_view bytes) {
    const std::size_t textEnd = bytes.back() == '\n' ? bytes.size() - 1 : bytes.size();
    const std::size_t lf = textEnd == 0 ? std::string_view::npos : bytes.rfind('\n', textEnd - 1);
    return lineAt(bytes, lf == std::string_view::npos ? 0 : lf + 1);
}

std::string_view textOf(std::string_view bytes, const Line& l) {
    return bytes.substr(l.begin, l.end - l.begin);
}

// The line ending of the file's first line; CR LF for a file that has none yet.
std::string_view lineEnding(std::string_view bytes) {
    const std::size_t lf = bytes.find('\n');
    if (lf != std::string_view::npos && (lf == 0 || bytes[lf - 1] != '\r')) return "\n";
    return "\r\n";
}

enum class Kind { Blank, Comment, Section, Key, Other };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed
};

Parsed parse(std::string_view text) {
    Parsed p;
    const std::string_view t = trim(text);
    if (t.empty()) {
        p.kind = Kind::Blank;
    } else if (t.front() == ';') {
        p.kind = Kind::Comment;
    } else if (t.front() == '[' && t.find(']') != std::string_view::npos) {
        p.kind = Kind::Section;
        p.name = trim(t.substr(1, t.find(']') - 1));
    } else if (const std::size_t eq = t.find('='); eq != std::string_view::npos) {
        p.kind = Kind::Key;
        p.name = trim(t.substr(0, eq));
        p.value = trim(t.substr(eq + 1));
    }
    return p;
}

// Where a key stands in the file: its section's header line (if any) and the key's line (if any).
struct Location {
    std::optional<Line> section;
    std::optional<Line> key;
    Line lastContent; // last line of the section that is neither blank nor a comment
};

// Only the first section of the name counts, and in it only the first key of the name.
Location locate(std::string_view bytes, std::string_view section, std::string_view key) {
    Location loc;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Line line = lineAt(bytes, pos);
        pos = line.next;
        const Parsed p = parse(textOf(bytes, line));
        if (p.kind == Kind::Section) {
            if (loc.section) break;
            if (sameName(p.name, section)) loc.section = loc.lastContent = line;
            continue;
        }
        if (!loc.section) continue;
        if (p.kind == Kind::Key && sameName(p.name, key)) {
            loc.key = line;
            break;
        }
        if (p.kind != Kind::Blank && p.kind != Kind::Comment) loc.lastContent = line;
    }
    return loc;
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Names are stored as given; one that would not read back as the same name is refused.
std::optional<std::string> checkNames(std::string_view section, std::string_view key) {
    if (section.empty() || trim(section).size() != section.size() ||
        section.find_first_of("]\r\n") != std::string_view::npos)
        return "geçersiz bölüm adı \"" + std::string(section) + "\"";
    if (key.empty() || trim(key).size() != key.size() ||
        key.find_first_of("=\r\n") != std::string_view::npos || key.front() == '[' || key.front() == ';')
        return "geçersiz anahtar adı \"" + std::string(key) + "\"";
    return std::nullopt;
}

// ---- Files -------------------------------------------------------------------------------------------

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace

// ---- Public interface --------------------------------------------------------------------------------

std::string Utf8ToCp1254(std::string_view utf8) {
    return convert(utf8, Direction::ToCp1254);
}
std::string Cp1254ToUtf8(std::string_view bytes) {
    return convert(bytes, Direction::FromCp1254);
}

std::string EscapeIniValue(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // A line break (CR LF, LF or a lone CR) is stored as the two characters "\n": the file keeps one line
    // per key, and only "\n" and "\\" have a meaning when the value is read back.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeIniValue(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        const char n = i + 1 < stored.size() ? stored[i + 1] : '\0';
        if (c == '\\' && (n == '\\' || n == 'n')) {
            out += n == 'n' ? '\n' : '\\';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string ProfileText::read(std::string_view section, std::string_view key) const {
    const std::string sectionBytes = Utf8ToCp1254(section);
    const std::string keyBytes = Utf8ToCp1254(key);
    const Location loc = locate(bytes_, sectionBytes, keyBytes);
    if (!loc.key) return "";
    std::string_view value = unquote(parse(textOf(bytes_, *loc.key)).value);
    if (value.size() > kIniValueMax) value = value.substr(0, kIniValueMax);
    return UnescapeIniValue(Cp1254ToUtf8(value));
}

std::optional<std::string> ProfileText::write(std::string_view section, std::string_view key,
                                              std::string_view value) {
    const std::string sectionBytes = Utf8ToCp1254(section);
    const std::string keyBytes = Utf8ToCp1254(key);
    if (Cp1254ToUtf8(sectionBytes) != section || Cp1254ToUtf8(keyBytes) != key)
        return "ad Windows-1254 ile yazılamıyor: [" + std::string(section) + "] " + std::string(key);
    if (auto bad = checkNames(section, key)) return bad;

    const std::string stored = Utf8ToCp1254(EscapeIniValue(value));
    const std::string_view eol = lineEnding(bytes_);
    const Location loc = locate(bytes_, sectionBytes, keyBytes);

    if (loc.key) {
        // The key keeps the file's spelling of its name; the rest of the line is rewritten.
        const Line& l = *loc.key;
        const std::string name(parse(textOf(bytes_, l)).name);
        bytes_.replace(l.begin, l.end - l.begin, name + "=" + stored);
        return std::nullopt;
    }
    std::string added;
    std::size_t at = 0;
    if (loc.section) {
        // After the section's last key (or its header), so that blank lines and comments that lead to
        // the next section stay in front of it.
        const Line& after = loc.lastContent;
        at = after.next;
        if (!after.terminated()) added += eol;
        added += keyBytes + "=" + stored;
        added += eol;
    } else {
        at = bytes_.size();
        if (!bytes_.empty()) {
            const Line last = lastLine(bytes_);
            if (!last.terminated()) added += eol;
            if (parse(textOf(bytes_, last)).kind != Kind::Blank)
                added += eol; // a blank line between sections
        }
        added += "[" + sectionBytes + "]";
        added += eol;
        added += keyBytes + "=" + stored;
        added += eol;
    }
    bytes_.insert(at, added);
    return std::nullopt;
}

std::optional<ProfileText> LoadProfile(const std::string& path, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return ProfileText();
        if (error) *error = errnoText(errno);
        return std::nullopt;
    }
    std::string bytes;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (error) *error = errnoText(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ProfileText(std::move(bytes));
}

std::optional<std::string> ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    // A link is followed, so that the file it points to is replaced and the link stays.
    std::string target = path;
    struct stat old {};
    bool existed = ::lstat(path.c_str(), &old) == 0;
    if (existed && S_ISLNK(old.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) return "bağlantı çözülemedi: " + errnoText(errno);
        target = real;
        std::free(real);
        existed = ::stat(target.c_str(), &old) == 0;
    }
    if (existed && !S_ISREG(old.st_mode)) return "sıradan bir dosya değil";

    const std::string folder = folderOf(target);
    const std::string base =
        target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return "geçici dosya oluşturulamadı: " + errnoText(errno);

    const auto fail = [&](const std::string& what) {
        const int err = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return std::optional<std::string>(what + ": " + errnoText(err));
    };
    if (existed) {
        if (::fchmod(fd, old.st_mode & 07777) != 0) return fail("izinler aktarılamadı");
        // The owner is kept where the process may do so; otherwise the file becomes the writer's.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] const int kept = ::fchown(fd, old.st_uid, old.st_gid);
        }
    }
    if (!writeAll(fd, bytes)) return fail("yazılamadı");
    if (::fsync(fd) != 0) return fail("diske aktarılamadı");
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("kapatılamadı");
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail("yerine konamadı");

    // The rename itself becomes durable once the folder is synced; a failure here no longer endangers
    // the file, which holds either the old or the new text.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

std::string IniOku(const std::string& path, std::string_view section, std::string_view key) {
    const std::optional<ProfileText> file = LoadProfile(path);
    return file ? file->read(section, key) : std::string();
}

std::optional<std::string> IniYaz(const std::string& path, std::string_view section, std::string_view key,
                                  std::string_view value) {
    std::string error;
    std::optional<ProfileText> file = LoadProfile(path, &error);
    if (!file) return "okunamadı: " + error;
    const std::string before = file->bytes();
    if (auto bad = file->write(section, key, value)) return bad;
    if (file->bytes() == before) return std::nullopt; // already stored: the file is not touched
    return ReplaceFileAtomically(path, file->bytes());
}

} // namespace pamerol
