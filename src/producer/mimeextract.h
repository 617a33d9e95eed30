#pragma once

// The plain text of an MHT or EML document, for a block of a collected file.
//
//   const Extracted e = extractMime(bytes);
//
// Subject, From and Date open the text, one line each; then every text/html part in
// document order through the HTML extractor and every text/plain part line by line,
// transfer encodings and part charsets decoded. UTF-8 lines ending in CR LF.

#include "producer/htmlextract.h"

#include <QByteArrayView>

namespace vespira::producer {

Extracted extractMime(QByteArrayView bytes);

} // namespace vespira::producer
