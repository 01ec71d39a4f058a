// SPDX-License-Identifier: GPL-3.0-or-later
#include "figures/ayar_surumu.h"

#include <unistd.h>

#include <filesystem>

#include "sheet/ayarlar.h"
#include "sheet/profile.h"

namespace pamerol {

Expected<std::optional<std::string>> AyarDosyasiniYukselt(const std::string& path, const YasalDegerler* table,
                                                          int today) {
    std::error_code ec;
    // No file yet, or one the administrator keeps read-only: nothing to bring up to date here.
    if (!std::filesystem::is_regular_file(path, ec) || ::access(path.c_str(), W_OK) != 0)
        return std::optional<std::string>();
    std::vector<Field> added;
    bool upgraded = false;
    auto saved = UpdateProfile(path, [&](ProfileText& text) -> Expected<void> {
        const std::string stored = text.read("Pamerol", "Surum");
        const int version = stored.empty() ? 1 : std::atoi(stored.c_str());
        if (version >= kAyarSurumu) return Failure("güncel"); // nothing to do: cancels the save
        upgraded = true;
        for (const SettingKey& k : kSettingKeys) {
            if (Info(k.field).tab != Tab::Sabitler || !text.read(k.section, k.key).empty() || !table)
                continue;
            const YasalDeger* row = table->inForce(k.field, today);
            if (!row || row->value.empty()) continue;
            if (auto written = text.write(k.section, k.key, row->value); !written) return written;
            added.push_back(k.field);
        }
        return text.write("Pamerol", "Surum", std::to_string(kAyarSurumu));
    });
    if (!upgraded) return std::optional<std::string>();
    if (!saved) return Problem{"", path, AyarKayitHatasi(path, saved.error().message)};
    if (added.empty()) return std::optional<std::string>();
    std::string names;
    for (Field f : added) names += (names.empty() ? "" : ", ") + YasalBaslik(f);
    return std::optional<std::string>("Ayar dosyası (" + path + ") programın bu sürümüne göre güncellendi. " +
                                      DateText(today) + " tarihinde geçerli yasal değerlerden eklenenler: " +
                                      names + ". \"Sabitler\" sekmesinde kontrol edin.");
}

} // namespace pamerol
