#pragma once

#include <QString>

namespace vespira::platform {

// The folder chooser behind an interface, so tests answer it instead of a person; the real
// implementation is the toolkit's folder dialog.
class FolderChooser
{
public:
    virtual ~FolderChooser() = default;
    // The folder chosen, starting at `start`; the empty text when the choice was cancelled.
    [[nodiscard]] virtual QString chooseFolder(const QString &caption, const QString &start) = 0;
};

} // namespace vespira::platform
