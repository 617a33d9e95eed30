#pragma once

#include <QString>

namespace vespira::platform {

// The local socket that stands for a window class, in the user's own runtime folder
// ($XDG_RUNTIME_DIR): a bare name would land in the shared temporary folder, where the
// first user to start the program takes the name from every other user and anyone can
// pose as the sibling edition. Empty when the user has no runtime folder.
QString windowSocketPath(const QString &windowClass);

} // namespace vespira::platform
