#pragma once

// The plain text of an HTML document, for a block of a collected file.
//
//   const Extracted e = extractHtml(bytes);            // charset found in the document
//   const Extracted p = extractHtml(partBytes, "iso-8859-1");  // a MIME part's charset
//   if (!e.error.isEmpty()) skip(e.error); else append(e.text);
//
// The text is UTF-8 lines ending in CR LF: the title first, then the text of the body.
// Scripts, styles, templates and noscript are dropped, block elements and <br> end lines,
// entities are decoded, runs of white space collapse, empty lines are dropped.

#include <QByteArrayView>
#include <QString>

#include <string>

namespace vespira::producer {

class TextBuilder;

struct Extracted
{
    std::string text;
    QString error; // German reason when the document is not usable text
};

Extracted extractHtml(QByteArrayView bytes, QByteArrayView charsetHint = {});

// Appends title and body text of already decoded UTF-8 HTML to a builder.
void appendHtmlText(const std::string &utf8, TextBuilder &out);

} // namespace vespira::producer
