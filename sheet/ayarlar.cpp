// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/ayarlar.h"

#include <unistd.h>

#include "sheet/profile.h"

namespace pamerol {

std::string IniYolu(const std::string& programFolder) {
    if (programFolder.empty()) return "Pmrl.ini";
    if (programFolder.back() == '/') return programFolder + "Pmrl.ini";
    return programFolder + "/Pmrl.ini";
}

AyarYukleme AyarlariOku(Record& record, const std::string& iniYolu) {
    // The file is read once; each field then takes its key's value as a single read would give it.
    AyarYukleme result;
    std::string error;
    std::optional<ProfileText> read = LoadProfile(iniYolu, &error);
    if (!read) result.error = AyarOkumaHatasi(iniYolu, error);
    const ProfileText file = read.value_or(ProfileText());
    if (read && ::access(iniYolu.c_str(), F_OK) == 0) {
        result.loaded.emplace();
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i)
            (*result.loaded)[i] = file.read(kSettingKeys[i].section, kSettingKeys[i].key);
    }
    // Every settings field takes its key's value, whether or not the key is there; then the calculator
    // takes the bracket table as loaded.
    for (const SettingKey& k : kSettingKeys) record.write(k.field, file.read(k.section, k.key));
    CopyBracketsToCalculator(record);
    return result;
}

SettingTexts SettingsOf(const Record& record) {
    SettingTexts texts;
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) texts[i] = record.text(kSettingKeys[i].field);
    return texts;
}

std::optional<std::string> AyarlariYaz(const Record& record, const std::string& iniYolu,
                                       const LoadedSettings& loaded) {
    return AyarlariYaz(SettingsOf(record), iniYolu, loaded);
}

std::optional<std::string> AyarlariYaz(const SettingTexts& texts, const std::string& iniYolu,
                                       const LoadedSettings& loaded) {
    const auto change = [&](ProfileText& file) -> std::optional<std::string> {
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
            const SettingKey& k = kSettingKeys[i];
            if (loaded && (*loaded)[i] == texts[i]) continue;
            if (auto bad = file.write(k.section, k.key, texts[i])) return bad;
        }
        return std::nullopt;
    };
    if (auto bad = UpdateProfile(iniYolu, change)) return AyarKayitHatasi(iniYolu, *bad);
    return std::nullopt;
}

std::string AyarKayitHatasi(const std::string& iniYolu, const std::string& reason) {
    return "Ayarlar kaydedilemedi: " + iniYolu + " (" + reason + ")";
}

std::string AyarOkumaHatasi(const std::string& iniYolu, const std::string& reason) {
    return "Ayarlar okunamadı: " + iniYolu + " (" + reason + ")";
}

} // namespace pamerol
