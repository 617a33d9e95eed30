#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringEncoder>

namespace vespira::test {

// The bytes of a UTF-16LE collected text, with the byte-order mark FF FE unless mark is false.
inline QByteArray utf16le(const QString &text, bool mark = true)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return (mark ? QByteArray("\xFF\xFE", 2) : QByteArray()) + QByteArray(encoder.encode(text));
}

// Collation and number grouping as the program's German users have them, while the object lives.
class GermanLocale
{
public:
    GermanLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~GermanLocale() { QLocale::setDefault(QLocale::c()); }
    GermanLocale(const GermanLocale &) = delete;
    GermanLocale &operator=(const GermanLocale &) = delete;
};

} // namespace vespira::test
