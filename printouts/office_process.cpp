// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/office_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace pamerol {

namespace {

bool WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Reads exactly size bytes; false on end of file or error.
bool ReadAll(int fd, void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

Spawned SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) return {-1, EINVAL};
    // Everything the children need is prepared before forking: only async-signal-safe calls after it.
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // pids: the intermediate child reports the grandchild's pid. failed: the grandchild reports the errno
    // of a failed exec; a successful exec closes it unwritten.
    int pids[2], failed[2];
    if (::pipe2(pids, O_CLOEXEC) != 0) return {-1, errno};
    if (::pipe2(failed, O_CLOEXEC) != 0) {
        int e = errno;
        ::close(pids[0]);
        ::close(pids[1]);
        return {-1, e};
    }

    pid_t child = ::fork();
    if (child == 0) {
        // The intermediate child starts the grandchild and leaves at once, so that the office is adopted
        // by init and never waits as a zombie of this program.
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setsid();
            int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                ::dup2(devnull, 0);
                ::dup2(devnull, 1);
                ::dup2(devnull, 2);
                if (devnull > 2) ::close(devnull);
            }
            ::execvp(args[0], args.data());
            int e = errno;
            WriteAll(failed[1], &e, sizeof e);
            ::_exit(127);
        }
        WriteAll(pids[1], &grandchild, sizeof grandchild);
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int forkError = child < 0 ? errno : 0;
    ::close(pids[1]);
    ::close(failed[1]);
    Spawned out;
    if (child > 0) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (!ReadAll(pids[0], &out.pid, sizeof out.pid) || out.pid < 0) out = {-1, ECHILD};
        int e = 0;
        if (out.pid > 0 && ReadAll(failed[0], &e, sizeof e)) out = {-1, e};
    } else {
        out = {-1, forkError};
    }
    ::close(pids[0]);
    ::close(failed[0]);
    return out;
}

bool ProcessRunning(pid_t pid) {
    if (pid <= 0) return false;
    if (::kill(pid, 0) != 0 && errno == ESRCH) return false;
    // A process that ended stays a zombie until its parent (init, or whatever reaps orphans) collects it.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return true;
    std::string line;
    std::getline(stat, line);
    size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) return true;
    return line[close + 2] != 'Z' && line[close + 2] != 'X';
}

bool PipeListening(const std::string& name) {
    // The office's pipes are sockets in the temporary folder, named after the user and the pipe.
    const std::string path = "/tmp/OSL_PIPE_" + std::to_string(::getuid()) + "_" + name;
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool accepted = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return accepted;
}

std::string PipeNameFor(const std::string& profile) {
    // FNV-1a: stable from run to run, unlike std::hash.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : profile) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return "pamerol-" + std::to_string(::getuid()) + "-" + buf;
}

} // namespace pamerol
