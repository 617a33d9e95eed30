#include "platform/qsettingsstore.h"

#include "core/common/error.h"

#include <QSettings>

using namespace Qt::Literals::StringLiterals;

namespace vespira::platform {

namespace {
QSettings open()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvane"_s, u"Vespira-HTML-LIGHT"_s);
}

void syncOrThrow(QSettings &settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Error(u"Die Einstellungen können nicht gespeichert werden: "_s + settings.fileName());
}
} // namespace

QString QSettingsStore::read(const QString &name) const
{
    QSettings settings = open();
    return settings.value(name).toString();
}

void QSettingsStore::write(const QString &name, const QString &value)
{
    QSettings settings = open();
    settings.setValue(name, value);
    syncOrThrow(settings);
}

void QSettingsStore::remove(const QString &name)
{
    QSettings settings = open();
    settings.remove(name);
    syncOrThrow(settings);
}

} // namespace vespira::platform
