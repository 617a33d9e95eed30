#pragma once

#include <QByteArray>
#include <QString>

namespace vespira::text {

// Removes leading and trailing characters up to U+0020 (blanks and control characters).
// Unlike QString::trimmed() it removes U+0001 and keeps U+00A0.
QString trimControl(const QString &s);
QString trimControlLeft(const QString &s);

// Lower case unit by unit (QChar::toLower), so an index into the result is the same index
// into s; the case-blind comparisons of the search and the result pages use it.
QString lowerUnits(const QString &s);

// The system 8-bit code page is windows-1252.
QString fromAnsi(const QByteArray &bytes);
QByteArray toAnsi(const QString &s);

// Lower case of one windows-1252 byte: A-Z, À-Þ except ×, and Š Œ Ž Ÿ.
unsigned char ansiLower(unsigned char c);

// UTF-8 decoding that never fails: invalid bytes become U+FFFD.
QString fromUtf8Lenient(QByteArrayView bytes);

// "%.0n" of the user's locale: a whole number with the locale's group separators
// (German: 1.234.567).
QString groupedNumber(qint64 n);

} // namespace vespira::text
