#pragma once

#include "core/platform/dialogs.h"
#include "core/platform/settingsstore.h"

#include <QString>

#include <optional>

namespace vespira::app {

// The key every caller names; the store behind it is the program's one settings store.
inline constexpr char16_t RegKey[] = u"Software\\Korvane\\Vespira-HTML-LIGHT\\";

// The names of the settings values.
namespace names {
inline constexpr char16_t AusgewaehlteDatenbank[] = u"Ausgewaehlte_Datenbank";
inline constexpr char16_t ThemenWebseite[] = u"Themen-Webseite";
inline constexpr char16_t AusgewaehlteWebseite[] = u"Ausgewaehlte_Webseite";
inline constexpr char16_t Farbe[] = u"Farbe";
inline constexpr char16_t HinweistextFarbe[] = u"HinweistextFarbe";
inline constexpr char16_t Hoehe[] = u"Hoehe";
inline constexpr char16_t Weite[] = u"Weite";
inline constexpr char16_t SHoehe[] = u"SHoehe";
inline constexpr char16_t SWeite[] = u"SWeite";
inline constexpr char16_t SchriftsizeTextViewer[] = u"SchriftsizeTextViewer";
inline constexpr char16_t Browser[] = u"Browser";
inline constexpr char16_t SuchwortInZwischenablage[] = u"Suchwort_in_Zwischenablage_kopieren";
inline constexpr char16_t KurzhinweisImViewer[] = u"Kurzhinweis_imViewer_anzeigen";
inline constexpr char16_t SplitterPos[] = u"SplitterPos";
// The search window's options beyond case and whole words: "1" ticked, "0" not; missing: not.
inline constexpr char16_t AlleWoerterSuchen[] = u"Alle_Woerter_suchen";
inline constexpr char16_t UmlauteGleichwertig[] = u"Umlaute_gleichwertig";
inline constexpr char16_t FundstellenZaehlen[] = u"Fundstellen_zaehlen";
inline constexpr char16_t InAllenDatenbankenSuchen[] = u"In_allen_Datenbanken_suchen";
inline constexpr char16_t VespiraControl[] = u"Vespira_Control";
inline constexpr char16_t LesezeichenAnsi[] = u"Lesezeichen_Ansi_";
inline constexpr char16_t LesezeichenUtf8[] = u"Lesezeichen_Utf8_";
inline constexpr char16_t LesezeichenUnicode[] = u"Lesezeichen_Unicode_";
} // namespace names

// LeseRegKey / SchreibeRegKey over the settings store, and the typed reads callers need.
// Holds no copy of any value: every read asks the store.
class Settings
{
public:
    // A store that cannot be written (owned by another user, a read-only home, a folder
    // where the file belongs) is reported to dialogs once; the program works on without it.
    Settings(platform::SettingsStore &store, platform::Dialogs &dialogs);

    // The value's text, or "" when missing. key is RegKey for every caller.
    QString LeseRegKey(const QString &key, const QString &name) const;
    // Writes the text, replacing any earlier value. A write the store refuses does not
    // throw: the first such failure of the run shows its message in an error box, later
    // ones pass silently, and the caller goes on as if the value were written.
    void SchreibeRegKey(const QString &key, const QString &name, const QString &text);

    QString read(const QString &name) const { return LeseRegKey(QString::fromUtf16(RegKey), name); }
    void write(const QString &name, const QString &text) { SchreibeRegKey(QString::fromUtf16(RegKey), name, text); }

    // A decimal number; nullopt when the value is missing or does not parse (a stored
    // value that is not a number is treated as missing).
    std::optional<qint64> readNumber(const QString &name) const;
    int readInt(const QString &name, int whenMissing) const;

    platform::SettingsStore &store() { return m_store; }

private:
    platform::SettingsStore &m_store;
    platform::Dialogs &m_dialogs;
    bool m_writeFailureReported = false;
};

} // namespace vespira::app
