// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation sheet's behaviour without a window: start, close, clearing, the small commands and the
// entry rules of its fields. The window forwards its events here and mirrors the record.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/files.h"
#include "calc/fields.h"
#include "calc/hesapla.h"
#include "calc/messages.h"
#include "calc/record.h"
#include "sheet/ayarlar.h"
#include "sheet/places.h"

namespace pamerol {

// What the sheet asks of the desktop: open an address in the system browser.
class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual void openAddress(const std::string& address) = 0;
};

enum class Link { Guncelleme, IsKanunu, Bilgi };

class Pamerol {
  public:
    explicit Pamerol(Messages& messages);
    Pamerol(const Pamerol&) = delete;
    Pamerol& operator=(const Pamerol&) = delete;

    Record& record() { return record_; }
    const Record& record() const { return record_; }

    // Sheet load: settings path in the settings folder, ESUCRET "0", settings load. The window centres
    // itself before this. The pages the links open are taken from the resources folder.
    void start(const Places& places);
    // The same for a program whose files all lie in one folder.
    void start(const std::string& programFolder) {
        start(Places{programFolder, programFolder, programFolder});
    }
    const std::string& iniYolu() const { return iniYolu_; }

    // Sheet unload: saves the settings (a failed save is reported, the program still ends).
    void close();

    // "&Hesapla". `takeFigures`, when given, writes the legal figures of the case's date into the sheet
    // first (see setYasalOtomatik); `to`, when given, receives the calculation's messages instead of the
    // sheet's own.
    void hesapla(const std::function<void(Record&, FigureOrigins&)>& takeFigures = {}, Messages* to = nullptr,
                 FigureOrigins origins = {});
    void bosalt(); // "&Boşalt"
    // "Yeni Personel": "&Boşalt", and the next employee starts afresh: the particulars empty, both
    // "İbranameye Dahil Et" boxes ticked and the standard release text, as the sheet opens.
    void yeniPersonel();
    void openLink(Link link, Desktop& desktop) const;
    std::string linkAddress(Link link) const; // a fixed address; never built from field texts

    // Loads the settings file. A file that exists but cannot be read gives empty fields and a message.
    void ayarlariOku();
    // Saves the settings fields changed since the last load (all of them when there was no file); a
    // failure is reported through the messages. Returns whether it worked.
    bool ayarlariYaz();

    // Puts a stored case on the sheet (`put` writes it into the record, exactly as stored). Its settings
    // fields (the legal figures and the employer) then hold the case's texts, which are not the clerk's
    // settings and are never saved: closing and leaving the stamp-duty field save the clerk's own settings,
    // with any field the clerk changes after the case was put up. "&Hesapla" first puts the clerk's figures
    // back (a new calculation uses today's figures); "&Boşalt" puts all of the clerk's settings back.
    void showStoredCase(const std::function<void(Record&)>& put);
    // Whether settings fields on the sheet may hold a stored case's texts.
    bool showsStoredSettings() const { return stored_.has_value(); }

    // Legal figures by case. While on, the legal figures on the sheet ("Sabitler") belong to the case:
    // each calculation first puts the clerk's own figures back and then writes those in force on the
    // case's date, except the ones typed by hand for this case (since the last "&Boşalt" or change of
    // the exit date), which are kept. None of them is ever saved: the settings file keeps the clerk's
    // figures as they were when the switch was turned on (or last taken with keepFiguresAsSettings).
    // Turning it off puts the clerk's figures back on the sheet.
    void setYasalOtomatik(bool on);
    bool yasalOtomatik() const { return otomatik_; }
    // The legal figures now on the sheet belong to this case and are not to be saved: the clerk's own are
    // kept aside until "&Boşalt" (or, with the switch on, for good).
    void holdClerkFigures();
    // The clerk typed into a field (the window reports every edit).
    void typed(Field f);
    // Whether a legal figure was typed by hand for this case.
    bool elleGirildi(Field f) const;
    // The legal figures on the sheet become the clerk's settings (and are saved with them).
    void keepFiguresAsSettings();

    // Entry rules.
    // Whether a typed character (a Unicode code point; control keys by their codes: 8 Backspace,
    // 3/22/24 Ctrl+C/V/X) is accepted by the field whose whole current text is given.
    static bool acceptsKey(Field f, char32_t ch, const std::string& currentText);
    // Enter in this field: where the focus goes, or nothing when Enter has no special meaning here.
    static std::optional<EnterTarget> enterTarget(Field f);
    static int maxLength(Field f); // 0: no limit
    static bool readOnly(Field f);
    // Focus gained: applies the field's formatting; returns whether the whole text is to be selected.
    bool focusIn(Field f);
    // Focus lost: formatting, or for DVOR the settings save and load.
    void focusOut(Field f);

  private:
    void installRules();
    // The clerk's settings: for each settings field, the sheet's text when the clerk changed it since a
    // stored case was put up, otherwise the text it held before.
    SettingTexts clerksSettings() const;
    // Puts the clerk's settings back on the sheet: the calculation's figures only, or all of them.
    void putBackClerksSettings(bool figuresOnly);
    // Puts the figures held aside by holdClerkFigures back on the sheet.
    void putBackClerkFigures();
    // The amount pattern applied to the field's text, and "0" for an empty one when asked.
    void format(Field f, bool zeroWhenEmpty);
    Record record_;
    Messages& messages_;
    std::string folder_;
    std::string iniYolu_;
    LoadedSettings loaded_; // the settings texts as the last load found them in the file
    struct StoredSettings {
        SettingTexts clerks; // the clerk's texts when the stored case was put up
        SettingTexts shown;  // the stored case's texts
    };
    std::optional<StoredSettings> stored_;
    bool otomatik_ = false;                    // legal figures taken by case
    std::optional<SettingTexts> clerkFigures_; // while the sheet's legal figures are the case's: the clerk's
    std::vector<Field> elle_;                  // legal figures typed by hand for this case
};

} // namespace pamerol
