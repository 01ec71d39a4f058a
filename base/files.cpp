// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

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

} // namespace pamerol
