#include "support/fakes.h"

#include "core/common/error.h"

#include <gtest/gtest.h>

namespace vespira::test {

bool ScriptedDialogs::confirm(const QString &text)
{
    shown.append({QStringLiteral("confirm"), text});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result << s.text;
    return result;
}

QStringList ScriptedDialogs::log() const
{
    QStringList result;
    for (const Shown &s : shown)
        result << s.kind + QStringLiteral(": ") + s.text;
    return result;
}

void MemorySettings::write(const QString &name, const QString &value)
{
    if (failWrites)
        throw Error(QStringLiteral("Die Einstellungen können nicht gespeichert werden."));
    values.insert(name, value);
    writeOrder << name;
}

QStringList MemorySettings::writes() const
{
    QStringList result;
    for (const QString &name : writeOrder)
        result << name + QLatin1Char('=') + values.value(name);
    return result;
}

} // namespace vespira::test
