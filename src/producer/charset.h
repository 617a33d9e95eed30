#pragma once

// Turns the bytes of a document into UTF-8 that is valid throughout.
//
//   const Decoded d = decodeDocument(bytes, {}, true);
//   if (d.binary) skip(...); else parse(d.utf8);
//
// The charset comes from a byte-order mark, else from the given hint (a MIME part's
// charset), else for HTML from <meta charset>, the http-equiv Content-Type or the XML
// declaration, else valid UTF-8 is taken as such and anything else goes to the detector.
// Bytes that do not decode become U+FFFD; nothing here throws.

#include <QByteArray>
#include <QByteArrayView>

#include <string>

namespace vespira::producer {

struct Decoded
{
    std::string utf8;
    QByteArray charset; // the name that was used, for messages and tests
    bool binary = false; // NUL bytes that are not UTF-16: not a text document
};

Decoded decodeDocument(QByteArrayView bytes, QByteArrayView hint, bool html);

// The charset an HTML document declares in its first bytes; empty when none.
QByteArray declaredCharset(QByteArrayView bytes);

bool isValidUtf8(QByteArrayView bytes);

} // namespace vespira::producer
