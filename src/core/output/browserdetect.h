#pragma once

#include "core/platform/system.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vespira::output {

// The browsers the settings dialog offers, in the order of its icon row.
enum class BrowserChoice { Standard, InternetExplorer, Edge, Chrome, Opera, Safari, Firefox };
inline constexpr int BrowserChoiceCount = 7;

// The settings value written for a choice ("standard", "internet explorer", "edge", ...).
QString browserValue(BrowserChoice choice);
// The designed hint of the choice's icon ("Standard Browser", "Microsoft Edge", ...).
QString browserHint(BrowserChoice choice);

// What the icon row shows after detection: per icon either the browser (its hint) or an
// empty placeholder (empty hint, does nothing when clicked), and the current choice.
struct BrowserRow
{
    std::array<QString, BrowserChoiceCount> hints; // empty = placeholder
    std::array<QString, BrowserChoiceCount> icons; // Icon= of the entry matched, may be empty
    std::optional<BrowserChoice> current;          // none when the value names no browser

    [[nodiscard]] bool offered(BrowserChoice choice) const { return !hints[static_cast<int>(choice)].isEmpty(); }
};

// Detection for the icon row. installed are the desktop entries of the installed browsers;
// each name, lower-cased, offers the icons whose word it contains: "internet explorer" offers
// Internet Explorer and Edge, "chrome" and "chromium" Chrome (the launcher starts either),
// "opera", "safari" and "firefox" their own. edgeInstalled offers Edge as well. The standard
// icon is always offered. An offered icon's picture is the Icon= of the first entry with a
// picture that matched its word, "chrome" before "chromium"; Edge's is that of an entry
// named "Microsoft Edge". Where no entry gives one, the icon stays empty.
// The current choice is the last of the seven values, in row order, that browserSetting
// contains.
BrowserRow PruefeWelcheBrowserInstalliert(const QList<platform::BrowserEntry> &installed, bool edgeInstalled,
                                          const QString &browserSetting);

// The program names whose presence on PATH means Edge is installed.
QStringList edgeExecutables();

} // namespace vespira::output
