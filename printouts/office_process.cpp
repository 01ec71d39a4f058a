// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/office_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "base/files.h"

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

// What the watchdog needs, prepared before it is forked: after the fork it only makes system calls.
struct WatchdogPlan {
    std::string needle;                                     // in the command line of the profile's office
    std::string socket;                                     // the pipe's socket
    std::vector<std::string> remove;                        // rm -rf -- PROFILE
    std::vector<char*> removeArgs;                          // the same, for execv
    std::vector<char> cmdline = std::vector<char>(1 << 16); // room to read one command line into
};

// Sends the signal to the process group of every process whose command line holds the needle (to the
// process alone when it shares this process's group); returns how many it found. Only system calls.
int SignalOffice(WatchdogPlan& plan, int signal) {
    const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (proc < 0) return 0;
    int found = 0;
    char entries[4096];
    for (ssize_t n; (n = ::getdents64(proc, entries, sizeof entries)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const dirent64*>(entries + at);
            at += e->d_reclen;
            pid_t pid = 0;
            const char* c = e->d_name;
            for (; *c >= '0' && *c <= '9'; ++c) pid = pid * 10 + (*c - '0');
            if (*c != '\0' || pid <= 1 || pid == ::getpid()) continue;
            char path[48] = "/proc/";
            char* end = path + 6;
            end = std::strcpy(end, e->d_name) + std::strlen(e->d_name);
            std::strcpy(end, "/cmdline");
            const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            ssize_t got = 0;
            for (ssize_t r; got < static_cast<ssize_t>(plan.cmdline.size()) &&
                            (r = ::read(fd, plan.cmdline.data() + got, plan.cmdline.size() - got)) > 0;)
                got += r;
            ::close(fd);
            if (got <= 0 || !::memmem(plan.cmdline.data(), static_cast<size_t>(got), plan.needle.data(),
                                      plan.needle.size()))
                continue;
            ++found;
            const pid_t group = ::getpgid(pid);
            if (group > 1 && group != ::getpgrp())
                ::kill(-group, signal);
            else
                ::kill(pid, signal);
        }
    }
    ::close(proc);
    return found;
}

void Pause(long milliseconds) {
    timespec t{milliseconds / 1000, (milliseconds % 1000) * 1000000};
    while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

// The watchdog's life after the fork: wait for the pipe to close, end the office, remove what it left.
[[noreturn]] void Watch(int pipe, WatchdogPlan& plan) {
    ::setsid();
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (pipe != 0) {
        ::dup2(pipe, 0);
        ::close(pipe);
    }
    const int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
    }
    ::close_range(3, ~0u, 0);
    // Nothing is ever written: the read returns when every writing end is closed.
    for (char byte;;) {
        const ssize_t r = ::read(0, &byte, 1);
        if (r == 0 || (r < 0 && errno != EINTR)) break;
    }
    if (SignalOffice(plan, SIGTERM) > 0) {
        for (int i = 0; i < 100 && SignalOffice(plan, 0) > 0; ++i) Pause(50);
        if (SignalOffice(plan, SIGKILL) > 0)
            for (int i = 0; i < 40 && SignalOffice(plan, 0) > 0; ++i) Pause(50);
    }
    ::unlink(plan.socket.c_str());
    ::execv(plan.removeArgs[0], plan.removeArgs.data());
    ::_exit(127);
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
    const auto stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return ::kill(pid, 0) == 0;
    const std::string& line = *stat;
    size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) return true;
    return line[close + 2] != 'Z' && line[close + 2] != 'X';
}

std::string PipeSocketPath(const std::string& name) {
    // The office's pipes are sockets in the temporary folder, named after the user and the pipe.
    return "/tmp/OSL_PIPE_" + std::to_string(::getuid()) + "_" + name;
}

bool PipeListening(const std::string& name) {
    const std::string path = PipeSocketPath(name);
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

OfficeWatchdog::OfficeWatchdog(const std::string& folder) {
    // The office's pipe is named after the profile's absolute path, as the office is started with it.
    std::error_code ec;
    const std::string profile = std::filesystem::absolute(folder, ec).lexically_normal().string();
    // Prepared before the fork: the watchdog makes system calls only.
    auto plan = std::make_unique<WatchdogPlan>();
    plan->needle = "pipe,name=" + PipeNameFor(profile) + ";";
    plan->socket = PipeSocketPath(PipeNameFor(profile));
    plan->remove = {"/bin/rm", "-rf", "--", profile};
    for (auto& a : plan->remove) plan->removeArgs.push_back(a.data());
    plan->removeArgs.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[1]);
        Watch(fds[0], *plan);
    }
    ::close(fds[0]);
    if (pid < 0) {
        ::close(fds[1]);
        return;
    }
    pid_ = pid;
    pipe_ = fds[1];
}

OfficeWatchdog::~OfficeWatchdog() {
    if (pipe_ >= 0) ::close(pipe_);
    if (pid_ > 0)
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
}

} // namespace pamerol
