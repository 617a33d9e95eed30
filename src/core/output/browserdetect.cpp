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

BrowserRow PruefeWelcheBrowserInstalliert(const QList<platform::BrowserEntry> &installed, bool edgeInstalled,
                                          const QString &browserSetting)
{
    // Words of the entry names and the icon each offers. Chromium offers Chrome because the
    // launcher starts chromium when Google Chrome is missing; "chrome" comes first, as
    // google-chrome does in the launcher, so Chrome's own entry gives the picture when both
    // are installed.
    struct Word
    {
        const char16_t *word;
        BrowserChoice choice;
    };
    static constexpr Word Words[] {
        {u"internet explorer", BrowserChoice::InternetExplorer},
        {u"chrome", BrowserChoice::Chrome},
        {u"chromium", BrowserChoice::Chrome},
        {u"opera", BrowserChoice::Opera},
        {u"safari", BrowserChoice::Safari},
        {u"firefox", BrowserChoice::Firefox},
    };

    BrowserRow row;
    offer(row, BrowserChoice::Standard);
    if (edgeInstalled)
        offer(row, BrowserChoice::Edge);

    auto iconOf = [&row](BrowserChoice choice) -> QString & { return row.icons[static_cast<int>(choice)]; };
    for (const Word &word : Words) {
        const QString text = QString::fromUtf16(word.word);
        for (const platform::BrowserEntry &entry : installed) {
            if (!entry.name.toLower().contains(text))
                continue;
            offer(row, word.choice);
            if (word.choice == BrowserChoice::InternetExplorer)
                offer(row, BrowserChoice::Edge);
            if (iconOf(word.choice).isEmpty())
                iconOf(word.choice) = entry.icon;
        }
    }
    // Edge is offered by the program on PATH or along with Internet Explorer; its picture
    // comes from its own entry when it has one.
    for (const platform::BrowserEntry &entry : installed) {
        if (iconOf(BrowserChoice::Edge).isEmpty() && entry.name.toLower().contains(u"microsoft edge"))
            iconOf(BrowserChoice::Edge) = entry.icon;
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
