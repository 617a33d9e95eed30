#pragma once

// The version of the text extraction (HTML and MIME). It goes up whenever the same
// document can come out as different text, so that a database kept current by an update
// can tell that its stored texts stem from an older extraction and extract every
// document anew: an update then gives what a rebuild gives.
//
//   1  HTML through a document tree per document
//   2  HTML through libxml2's streaming parser

namespace vespira::producer {

inline constexpr int ExtractorVersion = 2;

} // namespace vespira::producer
