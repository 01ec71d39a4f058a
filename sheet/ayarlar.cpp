#include "sheet/ayarlar.h"

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

void AyarlariOku(Record& record, const std::string& iniYolu) {
    // The file is read once; each field then takes its key's value as a single read would give it.
    const ProfileText file = LoadProfile(iniYolu).value_or(ProfileText());
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
}

std::optional<std::string> AyarlariYaz(const Record& record, const std::string& iniYolu) {
    std::string error;
    std::optional<ProfileText> file = LoadProfile(iniYolu, &error);
    if (!file) return AyarKayitHatasi(iniYolu, "dosya okunamadı: " + error);
    const std::string before = file->bytes();
    for (const SettingKey& k : kSettingKeys)
        if (auto bad = file->write(k.section, k.key, record.text(k.field)))
            return AyarKayitHatasi(iniYolu, *bad);
    // When every key already holds its field's text, the file is left untouched.
    if (file->bytes() == before) return std::nullopt;
    if (auto bad = ReplaceFileAtomically(iniYolu, file->bytes())) return AyarKayitHatasi(iniYolu, *bad);
    return std::nullopt;
}

std::string AyarKayitHatasi(const std::string& iniYolu, const std::string& reason) {
    return "Ayarlar kaydedilemedi: " + iniYolu + " (" + reason + ")";
}

} // namespace pamerol
