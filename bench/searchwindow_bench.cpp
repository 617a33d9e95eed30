// The search window's run without its window: the same SearchRun, with the window's event
// pump in its progress callback and a shown widget in an offscreen application, so events
// are really handled while the run scans. Writes the result pages like the window and
// prints nothing but the hit count, so it can be timed beside `vespira search`.
//   searchwindow_bench PROGRAM_FOLDER DATABASE TEXT
// The window's designed 200 ms pause before the scan (the main window's MachPause1) is
// left out: it is a wait, not work, and would hide what the scan costs.

#include "core/app/context.h"
#include "core/search/searchrun.h"
#include "gui/common/eventpump.h"
#include "platform/qsettingsstore.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

class QuietDialogs final : public platform::Dialogs
{
public:
    void information(const QString &) override {}
    void warning(const QString &) override {}
    void error(const QString &text) override { QTextStream(stderr) << text << u'\n'; }
    bool confirm(const QString &) override { return false; }
};

class NoShell final : public platform::Shell
{
public:
    bool openUrl(const QString &) override { return true; }
    bool startDetached(const QString &, const QStringList &) override { return true; }
    QString findExecutable(const QStringList &) const override { return {}; }
};

class NoClipboard final : public platform::Clipboard
{
public:
    void setText(const QString &) override {}
    QString text() const override { return {}; }
};

class NoSystem final : public platform::System
{
public:
    int screenWidth() const override { return 0; }
    bool isAdministrator() const override { return false; }
    bool windowClassExists(const QString &) const override { return false; }
    QList<platform::BrowserEntry> installedBrowsers() const override { return {}; }
};

// The search window's part of the run, as far as it costs time: the status and caption
// texts on a label, the event pump in the progress callback.
class WindowUi final : public search::SearchRunUi
{
public:
    explicit WindowUi(QLabel &label)
        : m_label {label}
    {
    }
    void setStatus(const QString &text) override { m_label.setText(text); }
    void setCaption(const QString &text) override { m_label.setWindowTitle(text); }
    void progress(qint64, qint64) override { m_pump(); }

private:
    QLabel &m_label;
    gui::EventPump m_pump;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        QTextStream(stderr) << "usage: searchwindow_bench PROGRAM_FOLDER DATABASE TEXT\n";
        return 2;
    }
    QLabel label;
    label.show();

    QuietDialogs dialogs;
    NoShell shell;
    NoClipboard clipboard;
    platform::QSettingsStore settings;
    NoSystem system;
    app::Context ctx(platform::Services {dialogs, shell, clipboard, settings, system});
    ctx.state.programFolder = QDir(args.at(1)).absolutePath() + u'/';
    ctx.state.catalog.searchTimeDatabase = args.at(2);

    WindowUi ui(label);
    search::SearchRun run(ctx, ui);
    run.setOpenBrowser(false);
    search::SearchRequest request;
    request.searchText = args.at(3);
    request.databaseName = args.at(2);
    const search::SearchOutcome outcome = run.run(request);
    QTextStream(stdout) << outcome.hitCount << u'\n';
    return outcome.hitCount > 0 ? 0 : 1;
}
