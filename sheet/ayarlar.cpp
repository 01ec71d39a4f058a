#include "sheet/ayarlar.h"

#include <unistd.h>

#include "sheet/profile.h"

namespace pamerol {

const std::array<SettingKey, 22> kSettingKeys{{
    {Field::DVOR, "Oranlar", "Oran1"},
    {Field::KGN, "Oranlar", "Oran2"},
    {Field::TAV, "Oranlar", "Oran3"},
    {Field::O1, "GV", "Oran1"},
    {Field::O2, "GV", "Oran2"},
    {Field::O3, "GV", "Oran3"},
    {Field::O4, "GV", "Oran4"},
    {Field::O5, "GV", "Oran5"},
    {Field::VD1, "GV", "Dilim1"},
    {Field::VD2, "GV", "Dilim2"},
    {Field::VD3, "GV", "Dilim3"},
    {Field::VD4, "GV", "Dilim4"},
    {Field::VD5, "GV", "Dilim5"},
    {Field::DL1, "IhbarTazminati", "0-6"},
    {Field::DL2, "IhbarTazminati", "7-18"},
    {Field::DL3, "IhbarTazminati", "19-36"},
    {Field::DL4, "IhbarTazminati", "37"},
    {Field::txtUnvani, "Isveren", "Unvani"},
    {Field::txtSSkNoIsv, "Isveren", "SSKNO"},
    {Field::txtAdresi, "Isveren", "Adresi"},
    {Field::txtVergiDairesi, "Isveren", "VDairesi"},
    {Field::txtVergiNo, "Isveren", "VNo"},
}};

namespace {

const SettingKey& keyOf(Field f) {
    for (const SettingKey& k : kSettingKeys)
        if (k.field == f) return k;
    return kSettingKeys.front(); // every caller passes a settings field
}

constexpr std::array<Field, 5> kRates{Field::O1, Field::O2, Field::O3, Field::O4, Field::O5};
constexpr std::array<Field, 5> kLimits{Field::VD1, Field::VD2, Field::VD3, Field::VD4, Field::VD5};

} // namespace

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
    const auto load = [&](Field f) {
        const SettingKey& k = keyOf(f);
        record.write(f, file.read(k.section, k.key));
    };

    load(Field::DVOR);
    for (Field f : kRates) load(f);
    for (Field f : kLimits) load(f);
    CopyBracketsToCalculator(record);
    load(Field::KGN);
    load(Field::TAV);
    for (Field f : {Field::DL1, Field::DL2, Field::DL3, Field::DL4}) load(f);
    for (Field f :
         {Field::txtUnvani, Field::txtSSkNoIsv, Field::txtAdresi, Field::txtVergiDairesi, Field::txtVergiNo})
        load(f);
    return result;
}

std::optional<std::string> AyarlariYaz(const Record& record, const std::string& iniYolu,
                                       const LoadedSettings& loaded) {
    const auto change = [&](ProfileText& file) -> std::optional<std::string> {
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
            const SettingKey& k = kSettingKeys[i];
            if (loaded && (*loaded)[i] == record.text(k.field)) continue;
            if (auto bad = file.write(k.section, k.key, record.text(k.field))) return bad;
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
