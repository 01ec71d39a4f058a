// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh folder under the system's temporary folder, removed with everything in it at the end of a test.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

namespace pamerol::testing {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pamerol-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A user without privileges: this process's own when it is not the superuser, otherwise "nobody".
struct Clerk {
    uid_t uid;
    gid_t gid;
};

inline std::optional<Clerk> UnprivilegedUser() {
    if (::geteuid() != 0) return Clerk{::geteuid(), ::getegid()};
    const passwd* pw = ::getpwnam("nobody");
    if (!pw || pw->pw_uid == 0) return std::nullopt;
    return Clerk{pw->pw_uid, pw->pw_gid};
}

// Runs fn as the clerk and returns its text: in a child process that drops its privileges when this one
// is the superuser, directly otherwise.
inline std::string RunAs(const Clerk& clerk, const std::function<std::string()>& fn) {
    if (::geteuid() != 0) return fn();
    int out[2];
    if (::pipe(out) != 0) std::abort();
    const pid_t child = ::fork();
    if (child < 0) std::abort();
    if (child == 0) {
        ::close(out[0]);
        std::string text = "cannot drop privileges";
        if (::setgroups(0, nullptr) == 0 && ::setgid(clerk.gid) == 0 && ::setuid(clerk.uid) == 0) text = fn();
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(out[1], text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    return text;
}

} // namespace pamerol::testing
