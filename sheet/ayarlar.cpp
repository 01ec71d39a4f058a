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
    const Expected<ProfileText> read = LoadProfile(iniYolu);
    if (!read) result.error = AyarOkumaHatasi(iniYolu, read.error().message);
    const ProfileText file = read ? *read : ProfileText();
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

Expected<void> AyarlariYaz(const Record& record, const std::string& iniYolu, const LoadedSettings& loaded) {
    return AyarlariYaz(SettingsOf(record), iniYolu, loaded);
}

Expected<void> AyarlariYaz(const SettingTexts& texts, const std::string& iniYolu,
                           const LoadedSettings& loaded) {
    const auto change = [&](ProfileText& file) -> Expected<void> {
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
            const SettingKey& k = kSettingKeys[i];
            if (loaded && (*loaded)[i] == texts[i]) continue;
            if (auto written = file.write(k.section, k.key, texts[i]); !written) return written;
        }
        return {};
    };
    if (auto saved = UpdateProfile(iniYolu, change); !saved)
        return Failure(AyarKayitHatasi(iniYolu, saved.error().message));
    return {};
}

std::string AyarKayitHatasi(const std::string& iniYolu, const std::string& reason) {
    return "Ayarlar kaydedilemedi: " + iniYolu + " (" + reason + ")";
}

std::string AyarOkumaHatasi(const std::string& iniYolu, const std::string& reason) {
    return "Ayarlar okunamadı: " + iniYolu + " (" + reason + ")";
}

} // namespace pamerol
