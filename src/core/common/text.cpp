#include "core/common/text.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

namespace vespira::text {

QString trimControl(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

QString trimControlLeft(const QString &s)
{
    qsizetype b = 0;
    while (b < s.size() && s.at(b).unicode() <= 0x20)
        ++b;
    return b == 0 ? s : s.mid(b);
}

QString fromAnsi(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

QByteArray toAnsi(const QString &s)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(s);
}

unsigned char ansiLower(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: return 0x9A; // Š
    case 0x8C: return 0x9C; // Œ
    case 0x8E: return 0x9E; // Ž
    case 0x9F: return 0xFF; // Ÿ
    default: return c;
    }
}

QString fromUtf8Lenient(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

QString groupedNumber(qint64 n)
{
    return QLocale().toString(n);
}

QString lowerUnits(const QString &s)
{
    QString lower = s;
    for (QChar &ch : lower)
        ch = ch.toLower();
    return lower;
}

} // namespace vespira::text
