#include "platform/windowsocket.h"

#include <QStandardPaths>

namespace vespira::platform {

QString windowSocketPath(const QString &windowClass)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    return runtime + u'/' + windowClass;
}

} // namespace vespira::platform
