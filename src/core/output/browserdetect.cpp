#include "core/output/browserdetect.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::output {

namespace {

struct BrowserInfo
{
    const char16_t *value;
    const char16_t *hint;
};

constexpr std::array<BrowserInfo, BrowserChoiceCount> Browsers {{
    {u"standard", u"Standard Browser"},
    {u"internet explorer", u"Microsoft Internet Explorer"},
    {u"edge", u"Microsoft Edge"},
    {u"chrome", u"Google Chrome"},
    {u"opera", u"Opera"},
    {u"safari", u"Safari"},
    {u"firefox", u"FireFox"},
}};

void offer(BrowserRow &row, BrowserChoice choice)
{
    row.hints[static_cast<int>(choice)] = browserHint(choice);
}

} // namespace

QString browserValue(BrowserChoice choice)
{
    return QString::fromUtf16(Browsers[static_cast<int>(choice)].value);
}

QString browserHint(BrowserChoice choice)
{
    return QString::fromUtf16(Browsers[static_cast<int>(choice)].hint);
}

BrowserRow PruefeWelcheBrowserInstalliert(const QStringList &installedNames, bool edgeInstalled,
                                          const QString &browserSetting)
{
    BrowserRow row;
    offer(row, BrowserChoice::Standard);
    if (edgeInstalled)
        offer(row, BrowserChoice::Edge);

    for (const QString &name : installedNames) {
        const QString lower = name.toLower();
        if (lower.contains(u"internet explorer")) {
            offer(row, BrowserChoice::InternetExplorer);
            offer(row, BrowserChoice::Edge);
        }
        if (lower.contains(u"chrome"))
            offer(row, BrowserChoice::Chrome);
        if (lower.contains(u"opera"))
            offer(row, BrowserChoice::Opera);
        if (lower.contains(u"safari"))
            offer(row, BrowserChoice::Safari);
        if (lower.contains(u"firefox"))
            offer(row, BrowserChoice::Firefox);
    }

    for (int i = 0; i < BrowserChoiceCount; ++i) {
        if (browserSetting.contains(QString::fromUtf16(Browsers[i].value)))
            row.current = static_cast<BrowserChoice>(i);
    }
    return row;
}

QStringList edgeExecutables()
{
    return {u"microsoft-edge"_s, u"microsoft-edge-stable"_s};
}

} // namespace vespira::output
