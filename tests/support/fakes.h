#pragma once

#include "support/printers.h"

#include "core/platform/clipboard.h"
#include "core/platform/dialogs.h"
#include "core/platform/folderchooser.h"
#include "core/platform/settingsstore.h"
#include "core/platform/shell.h"
#include "core/platform/system.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <deque>

namespace vespira::test {

// Records every box shown and answers confirmations from a queue; an unexpected question
// fails the test.
class ScriptedDialogs final : public platform::Dialogs
{
public:
    struct Shown
    {
        QString kind; // "information", "warning", "error", "confirm"
        QString text;
    };

    void information(const QString &text) override { shown.append({QStringLiteral("information"), text}); }
    void warning(const QString &text) override { shown.append({QStringLiteral("warning"), text}); }
    void error(const QString &text) override { shown.append({QStringLiteral("error"), text}); }
    bool confirm(const QString &text) override;

    void answer(bool yes) { m_answers.push_back(yes); }
    QStringList texts() const;
    // Every box shown as "kind: text".
    QStringList log() const;

    QList<Shown> shown;

private:
    std::deque<bool> m_answers;
};

// Settings held in memory; failWrites makes every write throw, like a store that cannot be written.
class MemorySettings final : public platform::SettingsStore
{
public:
    QString read(const QString &name) const override { return values.value(name); }
    void write(const QString &name, const QString &value) override;
    void remove(const QString &name) override { values.remove(name); }
    // "name=value" for every write, in the order of the writes, with the value held now.
    QStringList writes() const;

    QMap<QString, QString> values;
    QStringList writeOrder;
    bool failWrites = false;
};

// Answers the folder chooser from a queue (an empty queue cancels) and records the captions.
class ScriptedFolderChooser final : public platform::FolderChooser
{
public:
    QString chooseFolder(const QString &caption, const QString &) override
    {
        asked << caption;
        if (answers.empty())
            return {};
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<QString> answers;
    QStringList asked;
};

class FakeShell final : public platform::Shell
{
public:
    bool openUrl(const QString &pathOrAddress) override
    {
        opened << pathOrAddress;
        return openSucceeds;
    }
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        started << (program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
        return startSucceeds;
    }
    QString findExecutable(const QStringList &names) const override
    {
        for (const QString &name : names)
            if (onPath.contains(name))
                return name;
        return {};
    }

    QStringList opened;
    QStringList started;
    QStringList onPath;
    bool openSucceeds = true;
    bool startSucceeds = true;
};

class FakeClipboard final : public platform::Clipboard
{
public:
    void setText(const QString &text) override { m_text = text; }
    QString text() const override { return m_text; }

private:
    QString m_text;
};

class FakeSystem final : public platform::System
{
public:
    int screenWidth() const override { return width; }
    bool isAdministrator() const override { return administrator; }
    bool windowClassExists(const QString &windowClass) const override { return windows.contains(windowClass); }
    QList<platform::BrowserEntry> installedBrowsers() const override { return browsers; }

    int width = 1280;
    bool administrator = false;
    QStringList windows;
    QList<platform::BrowserEntry> browsers;
};

} // namespace vespira::test
