#pragma once

// What a database is made of: its folders and the kinds of documents taken from them. Kept
// beside the database in "NAME_Quellen.txt", so that an update or a rebuild asks nothing:
//
//   ORDNER=/srv/texte/Dokumente      one line per folder, native absolute path
//   ARTEN=HTML;MHT;EML               the kinds taken
//
// UTF-8, CR LF, no byte-order mark. A database made before that file existed still names
// its first folder and its extensions in the header of its file list
// ("Z:\home\anna\Dokumente;htm;html;xhtml;mht;mhtml;eml"); sourcesFromHeader reads that.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace vespira::producer {

enum class FileKind { Html, Mht, Eml };

// Which kinds of documents a database takes; all at first.
struct DocumentKinds
{
    bool html = true; // .htm .html .xhtml
    bool mht = true;  // .mht .mhtml
    bool eml = true;  // .eml

    bool any() const { return html || mht || eml; }
    bool takes(FileKind kind) const;
    bool operator==(const DocumentKinds &) const = default;
};

struct Sources
{
    QStringList folders;
    DocumentKinds kinds;
};

// The kind of a document by its file name; nullopt for any other file.
std::optional<FileKind> fileKindOf(const QString &fileName);

// "htm;html;xhtml;mht;mhtml;eml" for all kinds, fewer for fewer.
QByteArray extensionList(const DocumentKinds &kinds);

QByteArray encodeSources(const Sources &sources);
// nullopt when the bytes name no folder or no kind.
std::optional<Sources> parseSources(QByteArrayView bytes);
// The first folder and the kinds named by a header text (the key already removed); nullopt
// unless it is a "Z:\" path followed by known extensions.
std::optional<Sources> sourcesFromHeader(const QString &headerText);

// "Z:\srv\texte\a.htm" -> "/srv/texte/a.htm"; the empty text for any other drive.
QString nativePathOf(const QString &windowsPath);

} // namespace vespira::producer
