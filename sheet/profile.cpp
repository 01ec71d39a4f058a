// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/profile.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
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

// ---- Character set conversion ------------------------------------------------------------------------

// Length of the UTF-8 sequence starting at s[0], or 0 when it is not well formed (an overlong form, a
// surrogate, a code point above U+10FFFF, a stray or missing continuation byte).
std::size_t utf8SequenceLength(const char* s, std::size_t left) {
    const auto byte = [s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (n == 0 || n > left || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return n;
}

// The text with every byte that does not begin a well-formed UTF-8 sequence replaced.
std::string validUtf8(std::string_view in, std::string_view replacement) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        const std::size_t n = utf8SequenceLength(in.data() + i, in.size() - i);
        if (n == 0) {
            out += replacement;
            ++i;
        } else {
            out.append(in, i, n);
            i += n;
        }
    }
    return out;
}

bool isUtf8WithNonAscii(std::string_view in) {
    bool nonAscii = false;
    for (std::size_t i = 0; i < in.size();) {
        const std::size_t n = utf8SequenceLength(in.data() + i, in.size() - i);
        if (n == 0) return false;
        nonAscii = nonAscii || n > 1;
        i += n;
    }
    return nonAscii;
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
        const std::size_t skip = toCp ? std::max<std::size_t>(utf8SequenceLength(inPtr, inLeft), 1) : 1;
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

enum class LineKind { Blank, Comment, Section, Key, Other };

struct Parsed {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed
};

Parsed parse(std::string_view text) {
    Parsed p;
    const std::string_view t = trim(text);
    if (t.empty()) {
        p.kind = LineKind::Blank;
    } else if (t.front() == ';') {
        p.kind = LineKind::Comment;
    } else if (t.front() == '[' && t.find(']') != std::string_view::npos) {
        p.kind = LineKind::Section;
        p.name = trim(t.substr(1, t.find(']') - 1));
    } else if (const std::size_t eq = t.find('='); eq != std::string_view::npos) {
        p.kind = LineKind::Key;
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
        if (p.kind == LineKind::Section) {
            if (loc.section) break;
            if (sameName(p.name, section)) loc.section = loc.lastContent = line;
            continue;
        }
        if (!loc.section) continue;
        if (p.kind == LineKind::Key && sameName(p.name, key)) {
            loc.key = line;
            break;
        }
        if (p.kind != LineKind::Blank && p.kind != LineKind::Comment) loc.lastContent = line;
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

// The length of a stored value once cut to kIniValueMax characters: a character is one byte of a
// Windows-1254 file or one UTF-8 sequence of a UTF-8 file, and an escape (\n, \\) is two characters that
// are kept or dropped together, so a cut never leaves half of one.
std::size_t cutLength(std::string_view stored, bool utf8) {
    std::size_t chars = 0, i = 0;
    while (i < stored.size()) {
        std::size_t bytes = 1, width = 1;
        if (stored[i] == '\\' && i + 1 < stored.size() && (stored[i + 1] == 'n' || stored[i + 1] == '\\')) {
            bytes = width = 2;
        } else if (utf8) {
            bytes = std::max<std::size_t>(utf8SequenceLength(stored.data() + i, stored.size() - i), 1);
        }
        if (chars + width > kIniValueMax) break;
        chars += width;
        i += bytes;
    }
    return i;
}

// ---- Files -------------------------------------------------------------------------------------------

using Clock = std::chrono::steady_clock;

std::string errnoText(int err) {
    return std::strerror(err);
}

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads the whole file from its start; fails with EFBIG past kProfileSizeMax.
bool readAll(int fd, std::string& bytes) {
    bytes.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, static_cast<off_t>(bytes.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > kProfileSizeMax) {
            errno = EFBIG;
            return false;
        }
    }
}

std::string tooLarge() {
    return "dosya " + std::to_string(kProfileSizeMax >> 20) + " MiB'tan büyük";
}

// Opens a settings file without ever blocking (a FIFO would wait for a writer) and checks that it is a
// regular file of a sane size; the descriptor is then made blocking again. openErr is the error of the
// open itself, 0 when the file was opened.
std::optional<std::string> openRegular(const std::string& path, int flags, Fd& out, struct stat& st,
                                       int& openErr) {
    out.fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    openErr = out.fd < 0 ? errno : 0;
    if (out.fd < 0) return errnoText(openErr);
    if (::fstat(out.fd, &st) != 0) return errnoText(errno);
    if (!S_ISREG(st.st_mode)) return std::string("sıradan bir dosya değil");
    if (static_cast<std::uintmax_t>(st.st_size) > kProfileSizeMax) return tooLarge();
    const int fl = ::fcntl(out.fd, F_GETFL);
    if (fl < 0 || ::fcntl(out.fd, F_SETFL, fl & ~O_NONBLOCK) != 0) return errnoText(errno);
    return std::nullopt;
}

enum class Locked { Yes, Unsupported, Busy, Failed };

// An open-file-description lock on the whole file: it belongs to this descriptor, so it ends when the
// descriptor is closed or the process dies, and two descriptors of one process exclude each other.
Locked lockFile(int fd, short type, Clock::time_point deadline) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    auto pause = std::chrono::microseconds(500);
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return Locked::Yes;
        const int err = errno;
        // A file system without locks (an old network share) is used as before, without them.
        if (err == ENOLCK || err == EOPNOTSUPP || err == EINVAL) return Locked::Unsupported;
        if (err != EAGAIN && err != EACCES && err != EINTR) return Locked::Failed;
        const auto now = Clock::now();
        if (now >= deadline) return Locked::Busy;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
}

std::optional<std::string> lockError(Locked l) {
    if (l == Locked::Busy) return std::string("dosya başka bir işlemin kaydı için kilitli");
    if (l == Locked::Failed) return "kilitlenemedi: " + errnoText(errno);
    return std::nullopt;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary files are named ".<name>.tmp<pid>-<n>".
std::string tempPrefix(const std::string& target) {
    return "." + baseOf(target) + ".tmp";
}

bool isTempName(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) return false;
    name.remove_prefix(prefix.size());
    const std::size_t dash = name.find('-');
    const auto digits = [](std::string_view s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

// Only a save that holds the file's lock makes a temporary file, so under the lock every temporary file
// of this settings file is a leftover of a save that was interrupted (killed, or a power loss).
void removeLeftovers(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir))
        if (isTempName(e->d_name, prefix)) ::unlinkat(::dirfd(dir), e->d_name, 0);
    ::closedir(dir);
}

bool hasAccessList(int fd) {
    return ::fgetxattr(fd, "system.posix_acl_access", nullptr, 0) > 0;
}

enum class Replaced { Yes, No, Failed };

// Replaces the file through a synced temporary file renamed over it. Replaced::No when the folder
// refuses a temporary file or the new file could not take the old one's owner, group and mode (the
// caller then rewrites in place); Replaced::Failed (with the reason) leaves the old file as it was.
Replaced replaceFile(const std::string& target, const struct stat& old, const std::string& bytes,
                     std::string& reason) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp =
            folder + "/" + tempPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return Replaced::No;
    }
    if (fd < 0) return Replaced::No;
    Fd guard(fd);
    const auto discard = [&] {
        ::unlink(temp.c_str());
        return Replaced::No;
    };
    const auto fail = [&](const char* what) {
        reason = std::string(what) + ": " + errnoText(errno);
        ::unlink(temp.c_str());
        return Replaced::Failed;
    };
    // The owner first: a change of owner clears the set-id bits that the mode then sets.
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        [[maybe_unused]] const int changed = ::fchown(fd, old.st_uid, old.st_gid);
    }
    [[maybe_unused]] const int moded = ::fchmod(fd, old.st_mode & 07777);
    struct stat now {};
    if (::fstat(fd, &now) != 0 || now.st_uid != old.st_uid || now.st_gid != old.st_gid ||
        (now.st_mode & 07777) != (old.st_mode & 07777))
        return discard();

    if (!writeAllAt(fd, bytes, 0)) return fail("yazılamadı");
    if (::fsync(fd) != 0) return fail("diske aktarılamadı");
    guard.fd = -1;
    if (::close(fd) != 0) return fail("kapatılamadı");
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail("yerine konamadı");

    // The rename itself becomes durable once the folder is synced; a failure here no longer endangers
    // the file, which holds either the old or the new text.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Replaced::Yes;
}

// Rewrites the file through its own descriptor: the new text from its first byte, then the length, then
// a sync. Room for a longer text is reserved first, so a full disk is found before anything is written;
// a write that fails all the same puts the old text back.
std::optional<std::string> rewriteInPlace(int fd, const std::string& old, const std::string& bytes) {
    if (bytes.size() > old.size() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        return "yer ayrılamadı: " + errnoText(errno);
    const auto restore = [&](const char* what) {
        const int err = errno;
        if (writeAllAt(fd, old, 0) && ::ftruncate(fd, static_cast<off_t>(old.size())) == 0) ::fsync(fd);
        return std::optional<std::string>(std::string(what) + ": " + errnoText(err));
    };
    if (!writeAllAt(fd, bytes, 0)) return restore("yazılamadı");
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return restore("kısaltılamadı");
    if (::fsync(fd) != 0) return "diske aktarılamadı: " + errnoText(errno);
    return std::nullopt;
}

// The file a path names: a link is followed, so that the file it points to is replaced and the link
// stays.
std::optional<std::string> resolve(const std::string& path, std::string& target) {
    target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) return "bağlantı çözülemedi: " + errnoText(errno);
        target = real;
        std::free(real);
    }
    return std::nullopt;
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
            out += n == 'n' ? "\r\n" : "\\";
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string WithCrLfLineBreaks(std::string_view text) {
    return UnescapeIniValue(EscapeIniValue(text));
}

ProfileText::ProfileText(std::string bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (std::string_view(bytes).substr(0, kBom.size()) == kBom) {
        bom_ = utf8_ = true;
        body_ = bytes.substr(kBom.size());
    } else {
        body_ = std::move(bytes);
        utf8_ = isUtf8WithNonAscii(body_);
    }
}

std::string ProfileText::bytes() const {
    return bom_ ? "\xEF\xBB\xBF" + body_ : body_;
}

std::string ProfileText::encode(std::string_view utf8) const {
    return utf8_ ? validUtf8(utf8, "?") : Utf8ToCp1254(utf8);
}

std::string ProfileText::decode(std::string_view stored) const {
    return utf8_ ? validUtf8(stored, "\xEF\xBF\xBD") : Cp1254ToUtf8(stored);
}

std::string ProfileText::read(std::string_view section, std::string_view key) const {
    const Location loc = locate(body_, encode(section), encode(key));
    if (!loc.key) return "";
    std::string_view value = unquote(parse(textOf(body_, *loc.key)).value);
    value = value.substr(0, cutLength(value, utf8_));
    return UnescapeIniValue(decode(value));
}

Expected<void> ProfileText::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionBytes = encode(section);
    const std::string keyBytes = encode(key);
    if (decode(sectionBytes) != section || decode(keyBytes) != key)
        return Failure("ad dosyanın kodlamasıyla yazılamıyor: [" + std::string(section) + "] " +
                       std::string(key));
    if (auto bad = checkNames(section, key)) return Failure(*bad);

    const Location loc = locate(body_, sectionBytes, keyBytes);
    // A value that already reads back as it is stays byte for byte, whatever its spelling in the file.
    if (loc.key && read(section, key) == value) return {};

    const std::string stored = encode(EscapeIniValue(value));
    const std::string_view eol = lineEnding(body_);
    if (loc.key) {
        // The key keeps the file's spelling of its name; the rest of the line is rewritten.
        const Line& l = *loc.key;
        const std::string name(parse(textOf(body_, l)).name);
        body_.replace(l.begin, l.end - l.begin, name + "=" + stored);
        return {};
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
        at = body_.size();
        if (!body_.empty()) {
            const Line last = lastLine(body_);
            if (!last.terminated()) added += eol;
            if (parse(textOf(body_, last)).kind != LineKind::Blank)
                added += eol; // a blank line between sections
        }
        added += "[" + sectionBytes + "]";
        added += eol;
        added += keyBytes + "=" + stored;
        added += eol;
    }
    body_.insert(at, added);
    return {};
}

Expected<ProfileText> LoadProfile(const std::string& path) {
    const auto failed = [](std::string why) { return Failure(std::move(why)); };
    Fd fd(-1);
    struct stat st {};
    int openErr = 0;
    if (auto bad = openRegular(path, O_RDONLY, fd, st, openErr)) {
        if (openErr == ENOENT) return ProfileText();
        return failed(*bad);
    }
    // A save rewriting the file in place holds its lock until the file is whole again.
    if (auto bad = lockError(lockFile(fd.fd, F_RDLCK, Clock::now() + kProfileLockWait))) return failed(*bad);
    std::string bytes;
    if (!readAll(fd.fd, bytes)) return failed(errno == EFBIG ? tooLarge() : errnoText(errno));
    return ProfileText(std::move(bytes));
}

Expected<void> UpdateProfile(const std::string& path, const ProfileChange& change,
                             std::chrono::milliseconds lockWait) {
    std::string target;
    if (auto bad = resolve(path, target)) return Failure(*bad);
    const auto deadline = Clock::now() + lockWait;
    for (;;) {
        // The file is created empty when missing, so that it can be locked like any other; a save that
        // fails then removes it again.
        Fd fd(-1);
        struct stat st {};
        bool created = false;
        int openErr = 0;
        auto bad = openRegular(target, O_RDWR, fd, st, openErr);
        if (openErr == ENOENT) {
            bad = openRegular(target, O_RDWR | O_CREAT | O_EXCL, fd, st, openErr);
            if (openErr == EEXIST && Clock::now() < deadline) continue;
            created = openErr == 0;
        }
        if (bad) {
            if (created) ::unlink(target.c_str());
            return Failure(openErr != 0 ? "yazmak için açılamadı: " + *bad : *bad);
        }
        const auto forget = [&] {
            if (created) ::unlink(target.c_str());
        };

        const Locked locked = lockFile(fd.fd, F_WRLCK, deadline);
        if (auto lockBad = lockError(locked)) {
            forget();
            return Failure(*lockBad);
        }
        // A save that held the lock before may have renamed a new file over the one locked here.
        struct stat current {};
        if (::stat(target.c_str(), &current) != 0 || current.st_ino != st.st_ino ||
            current.st_dev != st.st_dev) {
            if (Clock::now() >= deadline) return Failure(*lockError(Locked::Busy));
            continue;
        }

        std::string old;
        if (!readAll(fd.fd, old)) {
            const std::string why = errno == EFBIG ? tooLarge() : "okunamadı: " + errnoText(errno);
            forget();
            return Failure(why);
        }
        ProfileText text(old);
        if (auto changed = change(text); !changed) {
            forget();
            return changed;
        }
        const std::string bytes = text.bytes();
        if (bytes == old) {
            if (bytes.empty()) forget();
            return {}; // already stored: the file is not touched
        }

        if (locked == Locked::Yes) removeLeftovers(folderOf(target), tempPrefix(target));
        // A file with several names or an access list would lose them to a replacement.
        if (st.st_nlink == 1 && !hasAccessList(fd.fd)) {
            std::string reason;
            const Replaced r = replaceFile(target, st, bytes, reason);
            if (r == Replaced::Yes) return {};
            if (r == Replaced::Failed) {
                forget();
                return Failure(reason);
            }
        }
        if (auto bad = rewriteInPlace(fd.fd, old, bytes)) {
            forget();
            return Failure(*bad);
        }
        return {};
    }
}

std::string IniOku(const std::string& path, std::string_view section, std::string_view key) {
    const Expected<ProfileText> file = LoadProfile(path);
    return file ? file->read(section, key) : std::string();
}

Expected<void> IniYaz(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value) {
    return UpdateProfile(path, [&](ProfileText& file) { return file.write(section, key, value); });
}

} // namespace pamerol
