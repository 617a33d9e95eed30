#include "core/app/settings.h"

#include "core/common/error.h"
#include "core/common/text.h"

#include <limits>

namespace vespira::app {

Settings::Settings(platform::SettingsStore &store, platform::Dialogs &dialogs)
    : m_store {store}
    , m_dialogs {dialogs}
{
}

QString Settings::LeseRegKey(const QString &key, const QString &name) const
{
    Q_UNUSED(key);
    return m_store.read(name);
}

void Settings::SchreibeRegKey(const QString &key, const QString &name, const QString &text)
{
    Q_UNUSED(key);
    try {
        m_store.write(name, text);
    } catch (const Error &e) {
        // Settings only remember the user's choices; losing them must not cost the start-up
        // steps or the handler that wrote them, nor a box on every click.
        if (m_writeFailureReported)
            return;
        m_writeFailureReported = true;
        m_dialogs.error(e.message());
    }
}

std::optional<qint64> Settings::readNumber(const QString &name) const
{
    const QString value = text::trimControl(read(name));
    if (value.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 n = value.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

int Settings::readInt(const QString &name, int whenMissing) const
{
    const auto n = readNumber(name);
    if (!n || *n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
        return whenMissing;
    return static_cast<int>(*n);
}

} // namespace vespira::app
