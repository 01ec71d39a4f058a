// SPDX-License-Identifier: GPL-3.0-or-later
#include "calisma_kilidi.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "archive/archive.h"
#include "archive/export.h"
#include "base/files.h"

namespace pamerol {

namespace {

constexpr const char* kFirstLine = "Pamerol toplu hesap kilidi";

// Who holds a lock, as its file names them.
struct Sahip {
    std::string topluAdi, kullanici, makine, baslangic;
    long pid = 0;
    unsigned long long surec = 0; // the process's start (ProcessStart); 0 unknown
};

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

std::string Text(const Sahip& s) {
    return std::string(kFirstLine) + "\ntopluAdi=" + OneLine(s.topluAdi) +
           "\nkullanici=" + OneLine(s.kullanici) + "\nmakine=" + OneLine(s.makine) +
           "\npid=" + std::to_string(s.pid) + "\nsurec=" + std::to_string(s.surec) +
           "\nbaslangic=" + OneLine(s.baslangic) + "\n";
}

// The holder the text names; nothing when it is not a lock of this program's.
std::optional<Sahip> Read(const std::string& text) {
    if (text.rfind(kFirstLine, 0) != 0) return std::nullopt;
    Sahip s;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "topluAdi") s.topluAdi = value;
        if (key == "kullanici") s.kullanici = value;
        if (key == "makine") s.makine = value;
        if (key == "baslangic") s.baslangic = value;
        if (key == "pid") s.pid = std::atol(value.c_str());
        if (key == "surec") s.surec = std::strtoull(value.c_str(), nullptr, 10);
    }
    return s;
}

// Whether the run that the lock names may still run: its process runs on this machine (and is the one
// that wrote it, not a later one given the same id), or it ran on another machine.
bool MayRun(const Sahip& s) {
    if (s.makine != HostName()) return true;
    const auto start = ProcessStart(static_cast<int>(s.pid));
    if (!start) return false;
    return s.surec == 0 || *start == 0 || *start == s.surec;
}

std::string Held(const std::string& what, const std::string& path, const std::optional<Sahip>& s) {
    if (!s)
        return what + " başka bir toplu hesabın kullanımında (\"" + path +
               "\"). O hesap bitince yeniden deneyin.";
    std::string text = what + " başka bir toplu hesabın kullanımında: \"" + s->topluAdi + "\" (kullanıcı " +
                       s->kullanici + ", bilgisayar " + s->makine + ", süreç " + std::to_string(s->pid) +
                       ", başlangıç " + s->baslangic + "). O hesap bitince yeniden deneyin.";
    if (s->makine != HostName())
        text += " O hesap artık çalışmıyorsa (" + s->makine +
                " kapandıysa ya da hesap yarıda kesildiyse) \"" + path + "\" dosyasını silin.";
    return text;
}

std::string ReadFd(int fd) {
    std::string text;
    char buffer[1024];
    off_t at = 0;
    for (ssize_t n; (n = ::pread(fd, buffer, sizeof buffer, at)) > 0 || (n < 0 && errno == EINTR);)
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
            at += n;
        }
    return text;
}

// Whether the open file is still the one the path names (a run letting go removes it).
bool StillThere(int fd, const std::string& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

} // namespace

std::string DokumKlasoruKilidi(const std::string& folder) {
    return folder + "/.pamerol-kilit";
}

std::string ArsivKilidi(const std::string& archive) {
    return archive + ".kilit";
}

Expected<std::unique_ptr<CalismaKilidi>> CalismaKilidi::Al(const std::string& path, const std::string& what,
                                                           const std::string& topluAdi) {
    std::optional<Sahip> holder;
    for (int attempt = 0; attempt < 20; ++attempt) {
        bool writable = true;
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        int error = errno;
        if (fd < 0 && error == EACCES) {
            // Another clerk's lock in a shared folder: read to see whether its run still runs.
            writable = false;
            fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 && errno != ENOENT) error = errno;
        }
        if (fd < 0) {
            if (error == ELOOP)
                return Failure("\"" + path +
                               "\" bir sembolik bağlantı; kilit dosyası bir bağlantının yerine yazılmaz");
            return Failure(what + " için kilit dosyası \"" + path + "\" oluşturulamadı (" +
                           FileErrorText(error) + ")");
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            // Held: the holder writes its name a moment after taking it.
            std::string text;
            for (int i = 0; i < 50 && (text = ReadFd(fd)).empty(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::close(fd);
            holder = Read(text);
            if (holder) break;
            continue; // a look that held it for a moment, or a run that has just let go
        }
        // Taken (or kept by no file-system lock here): the name in it decides.
        if (!StillThere(fd, path)) {
            ::close(fd);
            continue;
        }
        holder = Read(ReadFd(fd));
        if (holder && MayRun(*holder)) {
            ::close(fd);
            break;
        }
        holder.reset();
        if (!writable) {
            // A run that is gone left it: made anew, as this user's.
            ::unlink(path.c_str());
            ::close(fd);
            continue;
        }
        Sahip self{topluAdi, SystemUserName(), HostName(), ArchiveTimeText(std::time(nullptr)), ::getpid(),
                   0};
        self.surec = ProcessStart(::getpid()).value_or(0);
        const std::string text = Text(self);
        if (::ftruncate(fd, 0) != 0 ||
            ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
            const int error = errno;
            ::unlink(path.c_str());
            ::close(fd);
            return Failure(what + " için kilit dosyası \"" + path + "\" yazılamadı (" + FileErrorText(error) +
                           ")");
        }
        return std::unique_ptr<CalismaKilidi>(new CalismaKilidi(path, fd));
    }
    return Failure(Held(what, path, holder));
}

CalismaKilidi::~CalismaKilidi() {
    if (StillThere(fd_, path_)) ::unlink(path_.c_str());
    ::close(fd_);
}

std::optional<std::string> KilitTutuluyor(const std::string& path, const std::string& what) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    const std::optional<Sahip> holder = Read(ReadFd(fd));
    ::close(fd);
    if (held || (holder && MayRun(*holder))) return Held(what, path, holder);
    return std::nullopt;
}

} // namespace pamerol
