// The settings file Pmrl.ini beside the program: the 22 settings fields of the sheet (rates, income-tax
// brackets, notice days, employer particulars), loaded at start and when the stamp-duty field is left,
// saved at close and when the stamp-duty field is left.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calc/record.h"

namespace pamerol {

struct SettingKey {
    Field field;
    std::string_view section;
    std::string_view key;
};

// The 22 keys in the order a save writes them; a file the program creates holds them in this order.
extern const std::array<SettingKey, 22> kSettingKeys;

// The settings file's path: the program's folder followed by "/Pmrl.ini".
std::string IniYolu(const std::string& programFolder);

// Loads every settings field from the file (a missing key, or a missing or unreadable file, empties the
// field) and then refreshes the income-tax calculator's copy of the bracket table. Nothing else ever
// refreshes that copy. The hidden sixth bracket row is left alone.
void AyarlariOku(Record& record, const std::string& iniYolu);

// Saves every settings field to the file in one atomic replace, keeping everything else in it. Returns
// nothing on success, or the message for the user: "Ayarlar kaydedilemedi: " with the path and reason.
std::optional<std::string> AyarlariYaz(const Record& record, const std::string& iniYolu);

// The message shown when the settings cannot be saved.
std::string AyarKayitHatasi(const std::string& iniYolu, const std::string& reason);

} // namespace pamerol
