#pragma once

#include "core/platform/folderchooser.h"

namespace vespira::platform {

// The toolkit's folder dialog, over the active window.
class QtFolderChooser final : public FolderChooser
{
public:
    QString chooseFolder(const QString &caption, const QString &start) override;
};

} // namespace vespira::platform
