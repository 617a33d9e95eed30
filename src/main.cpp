#include "core/app/context.h"
#include "core/common/paths.h"
#include "gui/app/databasedialog.h"
#include "gui/app/mainform.h"
#include "gui/app/program.h"
#include "gui/common/lastresort.h"
#include "platform/desktopshell.h"
#include "platform/instanceserver.h"
#include "platform/qsettingsstore.h"
#include "platform/qtdialogs.h"
#include "platform/qtfolderchooser.h"
#include "platform/qtsystem.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QStyleFactory>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Delivers every event through the last net under the handlers.
class Application final : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        return m_lastResort.deliver([&] { return QApplication::notify(receiver, event); });
    }

private:
    vespira::platform::QtDialogs m_dialogs;
    vespira::gui::LastResort m_lastResort {m_dialogs};
};

// Whether the windows have a screen to appear on: an X11 or Wayland display, or a
// platform that needs none (offscreen, vnc, ...).
bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs("Vespira-HTML-Dodad braucht eine grafische Oberfläche: kein Bildschirm gefunden "
                   "(weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt).\n",
                   stderr);
        return 1;
    }

    // Qt takes its own options (-platform, -style, ...) out of argv while it starts; the
    // program folder rule asks whether any first argument was given at all.
    QStringList givenArguments;
    for (int i = 0; i < argc; ++i)
        givenArguments << QString::fromLocal8Bit(argv[i]);

    Application application(argc, argv);
    QApplication::setApplicationName(u"Vespira-HTML-Dodad"_s);
    QApplication::setApplicationVersion(QStringLiteral(VESPIRA_VERSION));
    QApplication::setOrganizationName(u"Korvane"_s);
    QApplication::setWindowIcon(QIcon(u":/vespira-html.svg"_s));
    QApplication::setDesktopFileName(u"vespira-html"_s);
    if (QStyle *style = QStyleFactory::create(u"Fusion"_s))
        QApplication::setStyle(style);

    vespira::platform::QtDialogs dialogs;
    vespira::platform::DesktopShell shell;
    vespira::platform::QtClipboard clipboard;
    vespira::platform::QSettingsStore settings;
    vespira::platform::QtSystem system;
    vespira::platform::QtFolderChooser folderChooser;
    vespira::app::Context context(vespira::platform::Services {dialogs, shell, clipboard, settings, system});
    context.state.programFolder = vespira::paths::decideProgramFolder(
        givenArguments, QCoreApplication::applicationDirPath(), QDir::currentPath());

    // Documents, pages and programs started from here see the program folder as the
    // working folder, whichever way the program folder was decided.
    QDir::setCurrent(context.state.programFolder);

    vespira::gui::Program program(context);
    vespira::gui::TMainForm_Vespira_HTML &mainForm = program.mainWindow();
    mainForm.setDatabaseForm(new vespira::gui::TDatenbankForm(context, folderChooser, &mainForm));

    vespira::platform::InstanceServer closeRequests(
        mainForm.objectName(), [&mainForm](int message, int wParam) {
            mainForm.ApplicationEvents1Message(message, wParam);
        });

    mainForm.show();
    return QApplication::exec();
}
