#pragma once

#include <QString>
#include <QStringList>

namespace vespira::output {

// The web-search address file Adressen_Webseiten.txt in the program folder:
//   [Themen1] Liste=topic, topic, ...     [Themen2] Liste=more topics
//   [<topic>] Liste=address, address, ...
// Every read goes to the file, so an edit shows at the next topic choice.
class WebAddressFile
{
public:
    explicit WebAddressFile(QString path);

    [[nodiscard]] bool exists() const;
    // The topics in the order the topic box shows them (sorted).
    [[nodiscard]] QStringList topics() const;
    // The addresses of a topic in the order the address list shows them (sorted).
    [[nodiscard]] QStringList addresses(const QString &topic) const;

private:
    QString m_path;
};

// The topics of the two topic values, split at ",", in file order: pieces trimmed of blanks
// and control characters, empty ones dropped. The second value continues the first whether
// or not the first ends in ",".
QStringList splitTopics(const QString &themen1, const QString &themen2);

// The addresses of a topic value, written "address, address": split at ",", trimmed of
// blanks and control characters, empty ones dropped. A missing blank after a comma costs
// nothing ("a,b" gives a and b).
QStringList splitAddresses(const QString &value);

// The order of the owner-drawn topic box and address list: case-insensitive and
// locale-aware, duplicates kept.
void sortForList(QStringList &items);

// An address ending in "/" or "=" takes the search text at its end.
bool isQueryAddress(const QString &address);

// What the web search opens: a query address followed by the search text as typed (blanks
// at either end kept), any other address alone. The text is percent-encoded as one query
// component (UTF-8; blanks as %20; only letters, digits and "-._~" stay), so no character
// of it can change the address: "C++" and "C&A" reach the site as typed, and "Was ist das?"
// after a path address looks up the question, not "Was ist das" with an empty query.
QString webSearchAddress(const QString &address, const QString &searchText);

// The hint of the address list for the selected address.
QString addressHint(const QString &address);

} // namespace vespira::output
