#include "core/output/profilefile.h"

#include "core/common/text.h"

#include <QFile>
#include <QStringView>

namespace vespira::output {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s.at(b)))
        ++b;
    while (e > b && (isBlank(s.at(e - 1)) || s.at(e - 1) == u'\r'))
        --e;
    return s.mid(b, e - b);
}

QStringView unquote(QStringView value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

ProfileFile::ProfileFile(const QByteArray &bytes)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    m_text = bytes.startsWith(utf8Bom) ? text::fromUtf8Lenient(QByteArrayView(bytes).sliced(3))
                                       : text::fromAnsi(bytes);
}

ProfileFile ProfileFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ProfileFile(QByteArray());
    return ProfileFile(file.readAll());
}

QString ProfileFile::value(const QString &section, const QString &key, int maxLength) const
{
    const QStringView wantedSection = trimBlanks(section);
    const QStringView wantedKey = trimBlanks(key);
    bool inSection = false;
    const QStringView all(m_text);
    qsizetype pos = 0;
    while (pos <= all.size()) {
        qsizetype end = all.indexOf(u'\n', pos);
        if (end < 0)
            end = all.size();
        const QStringView line = trimBlanks(all.mid(pos, end - pos));
        pos = end + 1;

        if (line.startsWith(u'[')) {
            // Only the first section of a name is read, as the system reader does.
            if (inSection)
                return {};
            qsizetype close = line.indexOf(u']');
            if (close < 0)
                close = line.size();
            inSection = trimBlanks(line.mid(1, close - 1)).compare(wantedSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.isEmpty() || line.startsWith(u';'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (trimBlanks(line.left(eq)).compare(wantedKey, Qt::CaseInsensitive) != 0)
            continue;
        const QStringView value = unquote(trimBlanks(line.mid(eq + 1)));
        return value.left(qMax(0, maxLength)).toString();
    }
    return {};
}

QString readProfileString(const QString &path, const QString &section, const QString &key)
{
    return ProfileFile::load(path).value(section, key);
}

} // namespace vespira::output
