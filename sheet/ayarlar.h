// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file Pmrl.ini beside the program: the settings fields of the sheet (rates, income-tax
// brackets, notice days, employer particulars), loaded at start and when the stamp-duty field is left,
// saved at close and when the stamp-duty field is left.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/problem.h"
#include "calc/fields.h"
#include "calc/record.h"

namespace pamerol {

struct SettingKey {
    Field field;
    std::string_view section;
    std::string_view key;
};

// The settings keys, taken from the field table, in the order a save writes them; a file the program
// creates holds them in this order.
inline constexpr std::array<SettingKey, kSettingCount> kSettingKeys = [] {
    std::array<SettingKey, kSettingCount> keys{};
    for (std::size_t i = 0; i < kSettingCount; ++i)
        keys[i] = {kSettingFields[i], Info(kSettingFields[i]).section, Info(kSettingFields[i]).key};
    return keys;
}();

// The settings file's path: the program's folder followed by "/Pmrl.ini".
std::string IniYolu(const std::string& programFolder);

// The settings fields' texts as a load found them, in the order of kSettingKeys; nothing when the load
// found no file to read.
using SettingTexts = std::array<std::string, kSettingCount>;
using LoadedSettings = std::optional<SettingTexts>;

// The settings fields' texts on the sheet, in the order of kSettingKeys.
SettingTexts SettingsOf(const Record& record);

struct AyarYukleme {
    LoadedSettings loaded;
    std::optional<std::string> error; // the message for the user when the file exists but cannot be read
};

// Loads every settings field from the file (a missing key, or a missing or unreadable file, empties the
// field) and then refreshes the income-tax calculator's copy of the bracket table. The hidden sixth bracket
// row is left alone. A file that exists but cannot be read (no permission, not a regular file, larger than 16
// MiB, a link loop) gives the message "Ayarlar okunamadı: " with the path and reason.
AyarYukleme AyarlariOku(Record& record, const std::string& iniYolu);

// Saves the settings fields to the file in one locked read-modify-write, keeping everything else in it.
// Given what the sheet loaded from this file, only the fields changed since then are written, so that a
// figure another clerk saved meanwhile is not put back to its old value; without it (no file at the load,
// or another file) every field is written. When it fails, a Problem with the message for the user:
// "Ayarlar kaydedilemedi: " with the path and reason.
Expected<void> AyarlariYaz(const Record& record, const std::string& iniYolu,
                           const LoadedSettings& loaded = std::nullopt);
// The same for settings texts that are not (all) the sheet's, in the order of kSettingKeys.
Expected<void> AyarlariYaz(const SettingTexts& texts, const std::string& iniYolu,
                           const LoadedSettings& loaded = std::nullopt);

// The messages shown when the settings cannot be saved or read.
std::string AyarKayitHatasi(const std::string& iniYolu, const std::string& reason);
std::string AyarOkumaHatasi(const std::string& iniYolu, const std::string& reason);

} // namespace pamerol
