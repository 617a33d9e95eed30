#include "gui/output/browsericons.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

using output::BrowserChoice;

namespace {

struct Look
{
    QStringList themeNames;
    QColor fill;
    QString letters;
};

Look lookOf(BrowserChoice choice)
{
    switch (choice) {
    case BrowserChoice::Standard:
        return {{u"web-browser"_s, u"internet-web-browser"_s, u"applications-internet"_s}, QColor(90, 110, 140), u"www"_s};
    case BrowserChoice::InternetExplorer:
        return {{u"internet-explorer"_s, u"iexplore"_s}, QColor(30, 110, 200), u"ie"_s};
    case BrowserChoice::Edge:
        return {{u"microsoft-edge"_s, u"microsoft-edge-stable"_s}, QColor(20, 150, 140), u"e"_s};
    case BrowserChoice::Chrome:
        return {{u"google-chrome"_s, u"chromium"_s, u"chromium-browser"_s}, QColor(220, 70, 50), u"C"_s};
    case BrowserChoice::Opera:
        return {{u"opera"_s}, QColor(200, 20, 40), u"O"_s};
    case BrowserChoice::Safari:
        return {{u"safari"_s}, QColor(40, 140, 230), u"S"_s};
    case BrowserChoice::Firefox:
        return {{u"firefox"_s, u"firefox-esr"_s}, QColor(240, 120, 20), u"F"_s};
    }
    return {};
}

// An Icon= value as the desktop resolves it: an absolute file, a name in the icon theme, or
// as the last resort a file of that name in the legacy pixmaps folder.
QIcon entryPicture(const QString &value)
{
    if (value.isEmpty())
        return {};
    if (QDir::isAbsolutePath(value)) {
        const QPixmap pixmap(value);
        return pixmap.isNull() ? QIcon {} : QIcon(value);
    }
    if (QIcon::hasThemeIcon(value))
        return QIcon::fromTheme(value);
    for (const QString &suffix : {u".png"_s, u".svg"_s, u".xpm"_s}) {
        const QString file = u"/usr/share/pixmaps/"_s + value + suffix;
        if (QFileInfo(file).isFile())
            return QIcon(file);
    }
    return {};
}

QPixmap badge(const Look &look)
{
    QPixmap pixmap(BrowserIconSize, BrowserIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.fill.darker(140), 1.5));
    painter.setBrush(look.fill);
    painter.drawEllipse(QRectF(1.5, 1.5, BrowserIconSize - 3, BrowserIconSize - 3));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(look.letters.size() > 2 ? 10 : 15);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, look.letters);
    return pixmap;
}

} // namespace

QIcon browserIcon(BrowserChoice choice, const QString &entryIcon)
{
    const QIcon fromEntry = entryPicture(entryIcon);
    if (!fromEntry.isNull())
        return fromEntry;
    const Look look = lookOf(choice);
    for (const QString &name : look.themeNames) {
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    return QIcon(badge(look));
}

QPixmap emptyBrowserPixmap()
{
    QPixmap pixmap(BrowserIconSize, BrowserIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace vespira::gui
