// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace pamerol {

std::string FileUrl(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string ProgramFolder() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        ::close(fd);
        if (n < 0) return std::nullopt;
        return out;
    }
}

std::vector<int> RunningProcessIds() {
    std::vector<int> ids;
    DIR* proc = ::opendir("/proc");
    if (!proc) return ids;
    while (const dirent* e = ::readdir(proc)) {
        int id = 0;
        const char* c = e->d_name;
        for (; *c >= '0' && *c <= '9'; ++c) id = id * 10 + (*c - '0');
        if (*c == '\0' && c != e->d_name) ids.push_back(id);
    }
    ::closedir(proc);
    return ids;
}

std::optional<unsigned long long> ProcessStart(int pid) {
    if (pid <= 0) return std::nullopt;
    const auto stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) {
        if (::kill(pid, 0) != 0 && errno == ESRCH) return std::nullopt;
        return 0;
    }
    // After the name in parentheses: the state (field 3) and, 19 fields on, the start (field 22).
    const size_t close = stat->rfind(')');
    if (close == std::string::npos || close + 2 >= stat->size()) return 0;
    if ((*stat)[close + 2] == 'Z' || (*stat)[close + 2] == 'X') return std::nullopt;
    size_t at = close + 2;
    for (int field = 3; field < 22 && at != std::string::npos; ++field) {
        at = stat->find(' ', at);
        if (at != std::string::npos) ++at;
    }
    if (at == std::string::npos) return 0;
    return std::strtoull(stat->c_str() + at, nullptr, 10);
}

namespace {

// The process's umask, read without changing it where the system tells it (/proc/self/status).
mode_t Umask() {
    if (const auto status = ReadWholeFile("/proc/self/status")) {
        const size_t at = status->find("\nUmask:");
        if (at != std::string::npos)
            return static_cast<mode_t>(std::strtoul(status->c_str() + at + 8, nullptr, 8));
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

FileMode UsualModeFor(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return {st.st_mode & 0777, st.st_gid};
    FileMode usual{static_cast<mode_t>(0666 & ~Umask()), static_cast<gid_t>(-1)};
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    if (::stat(folder.c_str(), &st) == 0 && (st.st_mode & S_ISGID)) usual.group = st.st_gid;
    return usual;
}

void GiveMode(int fd, const FileMode& mode) {
    // Best effort: a group this user may not give, or a mode a file system does not keep, leaves the file as
    // it was made.
    if (mode.group != static_cast<gid_t>(-1)) {
        [[maybe_unused]] const int grouped = ::fchown(fd, static_cast<uid_t>(-1), mode.group);
    }
    [[maybe_unused]] const int moded = ::fchmod(fd, mode.mode);
}

void GiveMode(const std::string& path, const FileMode& mode) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    GiveMode(fd, mode);
    ::close(fd);
}

} // namespace pamerol
