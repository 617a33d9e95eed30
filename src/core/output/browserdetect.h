#pragma once

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
    std::optional<BrowserChoice> current;          // none when the value names no browser

    [[nodiscard]] bool offered(BrowserChoice choice) const { return !hints[static_cast<int>(choice)].isEmpty(); }
};

// Detection for the icon row. installedNames are the names of the installed browsers
// (desktop entries); each, lower-cased, offers the icons whose word it contains:
// "internet explorer" offers Internet Explorer and Edge, "chrome", "opera", "safari" and
// "firefox" their own. edgeInstalled offers Edge as well. The standard icon is always offered.
// The current choice is the last of the seven values, in row order, that browserSetting
// contains.
BrowserRow PruefeWelcheBrowserInstalliert(const QStringList &installedNames, bool edgeInstalled,
                                          const QString &browserSetting);

// The program names whose presence on PATH means Edge is installed.
QStringList edgeExecutables();

} // namespace vespira::output
