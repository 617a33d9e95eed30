#include "core/app/settings.h"

#include "core/common/text.h"

#include <limits>

namespace vespira::app {

Settings::Settings(platform::SettingsStore &store)
    : m_store {store}
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
    m_store.write(name, text);
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
