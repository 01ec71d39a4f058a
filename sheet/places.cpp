// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/places.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sheet/profile.h"

namespace pamerol {

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Whether this process (its effective user) may write the path.
bool Writable(const std::string& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// An XDG base folder: the variable when it holds an absolute path, otherwise the default under home.
std::string BaseFolder(const std::string& variable, const std::string& home, const char* fallback) {
    if (!variable.empty() && variable.front() == '/') return variable;
    return home + "/" + fallback;
}

// Makes a folder and the folders above it, each new one with mode 0700.
std::optional<std::string> MakeFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return part + " oluşturulamadı: " + std::strerror(errno);
    }
    return std::nullopt;
}

} // namespace

PlaceEnvironment PlaceEnvironment::FromProcess() {
    return {Env("HOME"), Env("XDG_CONFIG_HOME"), Env("XDG_DATA_HOME")};
}

Places ChoosePlaces(const std::string& programFolder, const PlaceEnvironment& env) {
    const std::string ownIni = programFolder + "/Pmrl.ini";
    const std::string shared = programFolder + "/../share/pamerol";
    const bool installedLayout = !Exists(ownIni) && Exists(shared + "/Pmrl.ini");
    const bool beside = (Exists(ownIni) && Writable(ownIni)) || (Writable(programFolder) && !installedLayout);
    if (beside) return {programFolder, programFolder, programFolder, false};

    Places p;
    p.resources = Exists(shared) ? shared : programFolder;
    p.settings = BaseFolder(env.xdgConfigHome, env.home, ".config") + "/pamerol";
    p.work = BaseFolder(env.xdgDataHome, env.home, ".local/share") + "/pamerol";
    p.perUser = true;
    return p;
}

Expected<void> PreparePlaces(const Places& places) {
    if (!places.perUser) return {};
    for (const std::string& folder : {places.settings, places.work})
        if (auto error = MakeFolders(folder)) return Failure(*error);
    const std::string ini = places.settings + "/Pmrl.ini";
    const std::string sample = places.resources + "/Pmrl.ini";
    if (Exists(ini) || !Exists(sample)) return {};
    auto text = LoadProfile(sample);
    if (!text) return Failure(sample + " okunamadı: " + text.error().message);
    const auto copy = [&](ProfileText& file) -> Expected<void> {
        file = *text;
        return {};
    };
    if (auto copied = UpdateProfile(ini, copy); !copied)
        return Failure(ini + " yazılamadı: " + copied.error().message);
    return {};
}

} // namespace pamerol
