#include "producer/sources.h"

#include <QList>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

namespace {

constexpr char FolderKey[] = "ORDNER=";
constexpr char KindsKey[] = "ARTEN=";

struct KindNames
{
    FileKind kind;
    const char *name;       // in ARTEN=
    const char *extensions; // in the header, and what a file name may end with
};

constexpr KindNames Kinds[] = {
    {FileKind::Html, "HTML", "htm;html;xhtml"},
    {FileKind::Mht, "MHT", "mht;mhtml"},
    {FileKind::Eml, "EML", "eml"},
};

void setKind(DocumentKinds &kinds, FileKind kind, bool on)
{
    switch (kind) {
    case FileKind::Html: kinds.html = on; break;
    case FileKind::Mht: kinds.mht = on; break;
    case FileKind::Eml: kinds.eml = on; break;
    }
}

std::optional<FileKind> kindOfExtension(QByteArrayView extension)
{
    for (const KindNames &k : Kinds) {
        for (const QByteArray &known : QByteArray(k.extensions).split(';')) {
            if (extension.compare(known, Qt::CaseInsensitive) == 0)
                return k.kind;
        }
    }
    return std::nullopt;
}

} // namespace

bool DocumentKinds::takes(FileKind kind) const
{
    switch (kind) {
    case FileKind::Html: return html;
    case FileKind::Mht: return mht;
    case FileKind::Eml: return eml;
    }
    return false;
}

std::optional<FileKind> fileKindOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return std::nullopt;
    return kindOfExtension(fileName.mid(dot + 1).toUtf8());
}

QByteArray extensionList(const DocumentKinds &kinds)
{
    QList<QByteArray> parts;
    for (const KindNames &k : Kinds) {
        if (kinds.takes(k.kind))
            parts.append(k.extensions);
    }
    return parts.join(';');
}

QByteArray encodeSources(const Sources &sources)
{
    QByteArray out;
    for (const QString &folder : sources.folders)
        out += FolderKey + folder.toUtf8() + "\r\n";
    QList<QByteArray> names;
    for (const KindNames &k : Kinds) {
        if (sources.kinds.takes(k.kind))
            names.append(k.name);
    }
    out += KindsKey + names.join(';') + "\r\n";
    return out;
}

std::optional<Sources> parseSources(QByteArrayView bytes)
{
    Sources sources;
    sources.kinds = {false, false, false};
    bool kindsSeen = false;
    for (QByteArrayView line : QByteArray::fromRawData(bytes.data(), bytes.size()).split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith(FolderKey)) {
            const QString folder = QString::fromUtf8(line.sliced(sizeof(FolderKey) - 1));
            if (!folder.isEmpty())
                sources.folders.append(folder);
        } else if (line.startsWith(KindsKey)) {
            kindsSeen = true;
            for (const QByteArray &name : line.sliced(sizeof(KindsKey) - 1).toByteArray().split(';')) {
                for (const KindNames &k : Kinds) {
                    if (name.trimmed().compare(k.name, Qt::CaseInsensitive) == 0)
                        setKind(sources.kinds, k.kind, true);
                }
            }
        }
    }
    if (!kindsSeen)
        sources.kinds = {};
    if (sources.folders.isEmpty() || !sources.kinds.any())
        return std::nullopt;
    return sources;
}

std::optional<Sources> sourcesFromHeader(const QString &headerText)
{
    QStringList parts = headerText.split(u';');
    Sources sources;
    sources.kinds = {false, false, false};
    // The extensions stand at the end; a folder name may hold a ";" itself.
    while (parts.size() > 1) {
        const auto kind = kindOfExtension(parts.last().trimmed().toUtf8());
        if (!kind)
            break;
        setKind(sources.kinds, *kind, true);
        parts.removeLast();
    }
    const QString folder = nativePathOf(parts.join(u';'));
    if (folder.isEmpty() || !sources.kinds.any())
        return std::nullopt;
    sources.folders = {folder};
    return sources;
}

QString nativePathOf(const QString &windowsPath)
{
    if (windowsPath.size() < 3 || windowsPath.at(0).toUpper() != u'Z' || windowsPath.mid(1, 2) != u":\\")
        return {};
    QString path = windowsPath.mid(2);
    path.replace(u'\\', u'/');
    return path;
}

} // namespace vespira::producer
