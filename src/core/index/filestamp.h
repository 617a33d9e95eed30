#pragma once

// What an index remembers of its collected file to tell whether it still describes it: the
// size, the modification time and a digest of 32 samples of 4 KiB spread over the file
// (the whole file when it is smaller), so a rewrite that keeps size and time is caught
// where it changes a sample, without reading gigabytes at every search.

#include "core/index/format.h"

#include <QString>

#include <optional>

namespace vespira::index {

// nullopt when the file does not exist, is no regular file or cannot be read.
std::optional<FileStamp> stampOf(const QString &path);

} // namespace vespira::index
