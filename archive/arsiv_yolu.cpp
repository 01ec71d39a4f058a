// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/arsiv_yolu.h"

#include <filesystem>

#include "sheet/profile.h"

namespace pamerol {

std::string ArsivYolu(const std::string& iniYolu) {
    const std::filesystem::path folder = std::filesystem::path(iniYolu).parent_path();
    const std::string setting = IniOku(iniYolu, kArsivBolumu, kArsivAnahtari);
    const std::filesystem::path file =
        setting.empty() ? std::filesystem::path("arsiv.db") : std::filesystem::path(setting);
    return (file.is_absolute() ? file : folder / file).string();
}

} // namespace pamerol
