#include "core/output/webaddresses.h"

#include "core/common/text.h"
#include "core/output/profilefile.h"

#include <QCollator>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace vespira::output {

namespace {

const QString ListeKey = u"Liste"_s;

void addTrimmed(QStringList &out, const QString &piece)
{
    const QString trimmed = text::trimControl(piece);
    if (!trimmed.isEmpty())
        out << trimmed;
}

} // namespace

WebAddressFile::WebAddressFile(QString path)
    : m_path {std::move(path)}
{
}

bool WebAddressFile::exists() const
{
    return QFileInfo(m_path).isFile();
}

QStringList WebAddressFile::topics() const
{
    const ProfileFile file = ProfileFile::load(m_path);
    QStringList result = splitTopics(file.value(u"Themen1"_s, ListeKey), file.value(u"Themen2"_s, ListeKey));
    sortForList(result);
    return result;
}

QStringList WebAddressFile::addresses(const QString &topic) const
{
    QStringList result = splitAddresses(readProfileString(m_path, topic, ListeKey));
    sortForList(result);
    return result;
}

QStringList splitTopics(const QString &themen1, const QString &themen2)
{
    // A first list without a closing comma must not run its last topic and the first one of
    // the second list together into a topic that has no section.
    QStringList result;
    const QStringList pieces = QString(themen1 + u',' + themen2).split(u',');
    for (const QString &piece : pieces)
        addTrimmed(result, piece);
    return result;
}

QStringList splitAddresses(const QString &value)
{
    // The separator is ", "; the blank goes with the trim. Skipping whatever character follows
    // the comma would cut the first letter off an address written after a bare comma.
    QStringList result;
    const QStringList pieces = value.split(u',');
    for (const QString &piece : pieces)
        addTrimmed(result, piece);
    return result;
}

void sortForList(QStringList &items)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
}

bool isQueryAddress(const QString &address)
{
    return address.endsWith(u'/') || address.endsWith(u'=');
}

QString webSearchAddress(const QString &address, const QString &searchText)
{
    if (!isQueryAddress(address))
        return address;
    return address + QString::fromLatin1(QUrl::toPercentEncoding(searchText));
}

QString addressHint(const QString &address)
{
    if (isQueryAddress(address))
        return u"Grünes Symbol: [>] Webseite sucht selbständig nach dem Suchtext."_s;
    return u"Weißes Symbol: [+] Sie müssen den Suchtext auf der Webseite\r\n"
           u"mit Hilfe der Zwischenablage einfügen bzw. eintippen."_s;
}

} // namespace vespira::output
