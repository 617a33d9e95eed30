#pragma once

// The line around a byte position of a collected text file, as the hidden viewer selects
// it for the search: from just after the nearest CR or LF before the position to just
// before the nearest CR or LF at or after it, at most MaxUnits units each way. A position
// on the LF of a CR LF, or at or beyond the end of the file, gives an empty line. Reads only
// the bytes around the position: from the search's own mapped window when it has one (the
// line around a match is nearly always in it), else from a stream. A file that shrank ends
// where its bytes end.

#include "core/common/mappedfile.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace vespira::search {

class LineReader final
{
public:
    static constexpr qint64 MaxUnits = 2048;

    struct Span
    {
        qint64 start = 0;
        qint64 length = 0; // bytes
    };

    // charSize 1 (8-bit or UTF-8 bytes) or 2 (UTF-16, big endian when bigEndian).
    LineReader(QIODevice &stream, int charSize, bool bigEndian = false);
    // Reads through file, whose size it takes as the file's owner last took it.
    LineReader(MappedFile &file, int charSize, bool bigEndian = false);

    // Throws Error("Read error at offset ...") when the bytes cannot be read.
    Span selectLine(qint64 position);

    // The selected bytes, and for UTF-16 the selected text.
    QByteArray bytes(Span span);
    QString text(Span span);

    QByteArray lineBytes(qint64 position) { return bytes(selectLine(position)); }
    QString lineText(qint64 position) { return text(selectLine(position)); }

private:
    // The bytes [offset, offset + length): from the mapped file, or from the last read when
    // it holds them. Valid until the next call.
    QByteArrayView read(qint64 offset, qint64 length);
    char16_t unitAt(QByteArrayView data, qint64 index) const;
    qint64 fileSize() const { return m_mapped ? m_mapped->size() : m_size; }

    QIODevice *m_stream = nullptr;
    MappedFile *m_mapped = nullptr;
    int m_charSize;
    bool m_bigEndian;
    qint64 m_size = 0;          // taken once; a file that shrank later gives fewer bytes
    QByteArray m_cache;         // the last bytes read, from m_cacheBase on
    qint64 m_cacheBase = 0;
};

} // namespace vespira::search
