#pragma once

// Character references written without their ";", which browsers still read for the
// few dozen names of the Latin-1 set ("&auml" for "ä", "&copy2024" for "©2024").
//
//   std::string ch;
//   const std::size_t n = legacyReference("copy2024", ch);  // n == 4, ch == "©"

#include <string>
#include <string_view>

namespace vespira::producer {

// Length of the longest such name that `text` starts with, its character in `utf8`;
// 0 when it starts with none.
std::size_t legacyReference(std::string_view text, std::string &utf8);

} // namespace vespira::producer
