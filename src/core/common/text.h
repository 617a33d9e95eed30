#pragma once

#include <QByteArray>
#include <QString>

namespace vespira::text {

// Removes leading and trailing characters up to U+0020 (blanks and control characters).
// Unlike QString::trimmed() it removes U+0001 and keeps U+00A0.
QString trimControl(const QString &s);
QString trimControlLeft(const QString &s);

// The system 8-bit code page is windows-1252.
QString fromAnsi(const QByteArray &bytes);
QByteArray toAnsi(const QString &s);

// Lower case of one windows-1252 byte: A-Z, À-Þ except ×, and Š Œ Ž Ÿ.
unsigned char ansiLower(unsigned char c);

// Lower case UTF-16 unit by unit, so every position in the result is the same position in
// s (QString::toLower() may change the length, as for a dotted capital I).
QString lowerEachUnit(const QString &s);

// UTF-8 decoding that never fails: invalid bytes become U+FFFD.
QString fromUtf8Lenient(QByteArrayView bytes);

// "%.0n" of the user's locale: a whole number with the locale's group separators
// (German: 1.234.567).
QString groupedNumber(qint64 n);

} // namespace vespira::text
