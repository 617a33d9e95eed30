#include "gui/app/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace {

constexpr QRgb logoGrey = 0xFFBBBBBB;

void drawMagnifier(QPainter &p, QPointF centre, qreal radius, const QColor &rim, qreal width)
{
    p.setBrush(QColor(255, 255, 255, 150));
    p.setPen(QPen(rim, width));
    p.drawEllipse(centre, radius, radius);
    const qreal d = radius * 0.7071;
    p.setPen(QPen(rim, width * 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + radius * 0.9, d + radius * 0.9));
}

} // namespace

QImage databaseGlyphImage()
{
    QImage image(24, 21, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A stack of three discs: a database.
    const QColor body(31, 78, 140);
    const QColor light(120, 170, 225);
    for (int i = 2; i >= 0; --i) {
        const int top = 3 + i * 5;
        QLinearGradient g(3, 0, 21, 0);
        g.setColorAt(0, light);
        g.setColorAt(1, body);
        p.setPen(body.darker(130));
        p.setBrush(g);
        p.drawRect(3, top + 2, 17, 5);
        p.setBrush(light.lighter(115));
        p.drawEllipse(3, top, 17, 5);
    }
    return image;
}

QPixmap withColorTransparent(const QImage &image, QRgb color)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = color | 0xFF000000;
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] | 0xFF000000) == key)
                line[x] = 0;
        }
    }
    return QPixmap::fromImage(result);
}

QPixmap withRedTransparent(const QImage &image)
{
    return withColorTransparent(image, qRgb(255, 0, 0));
}

QImage logoImage()
{
    QImage image(220, 64, QImage::Format_RGB32);
    image.fill(logoGrey);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // A page with lines, the magnifier over it, then the name.
    p.setPen(QPen(QColor(31, 78, 140), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 6, 34, 46), 4, 4);
    p.setPen(QPen(QColor(31, 78, 140), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(14, 16 + i * 8), QPointF(i == 2 ? 28 : 36, 16 + i * 8));
    drawMagnifier(p, QPointF(38, 38), 9, QColor(217, 130, 43), 4);
    QFont name(u"Arial Unicode MS"_s);
    name.setPixelSize(24);
    name.setBold(true);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(62, 4, 156, 32), Qt::AlignLeft | Qt::AlignVCenter, u"Vespira"_s);
    QFont sub = name;
    sub.setPixelSize(13);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(255, 240, 200));
    p.drawText(QRectF(62, 34, 156, 22), Qt::AlignLeft | Qt::AlignVCenter, u"HTML-Suchmaschine"_s);
    return image;
}

QIcon settingsIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    QPainterPath gear;
    constexpr int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = i * std::numbers::pi / teeth;
        const qreal r = (i % 2 == 0) ? 14 : 10.5;
        const QPointF a(r * std::cos(angle - 0.2), r * std::sin(angle - 0.2));
        const QPointF b(r * std::cos(angle + 0.2), r * std::sin(angle + 0.2));
        if (i == 0)
            gear.moveTo(a);
        else
            gear.lineTo(a);
        gear.lineTo(b);
    }
    gear.closeSubpath();
    gear.addEllipse(QPointF(0, 0), 4.5, 4.5);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(QColor(235, 235, 240));
    p.drawPath(gear);
    return QIcon(pixmap);
}

QIcon searchIcon()
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawMagnifier(p, QPointF(10, 10), 6.5, QColor(31, 78, 140), 2.5);
    return QIcon(pixmap);
}

} // namespace vespira::gui
