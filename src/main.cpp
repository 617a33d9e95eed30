#include "core/app/context.h"
#include "core/common/error.h"
#include "core/common/paths.h"
#include "gui/app/databasedialog.h"
#include "gui/app/mainform.h"
#include "gui/output/einstellform.h"
#include "gui/searchwindow/suchform.h"
#include "platform/desktopshell.h"
#include "platform/instanceserver.h"
#include "platform/qsettingsstore.h"
#include "platform/qtdialogs.h"
#include "platform/qtfolderchooser.h"
#include "platform/qtsystem.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStringList>
#include <QStyleFactory>

#include <cstdio>
#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace {

// The last net under every handler: an exception that got past a handler's own guard is
// shown in an error box instead of ending the program.
class Application final : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const vespira::Error &e) {
            report(e.message());
        } catch (const std::exception &e) {
            report(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            report(u"Unbekannter Fehler"_s);
        }
        return false;
    }

private:
    void report(const QString &message)
    {
        if (m_reporting) // a failure inside the box itself: do not stack boxes
            return;
        m_reporting = true;
        QMessageBox::critical(QApplication::activeWindow(), applicationName(), message);
        m_reporting = false;
    }

    bool m_reporting = false;
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

    // Created in this order and kept for the whole run; the dialogs are the main
    // window's children, so they go with it.
    vespira::gui::TMainForm_Vespira_HTML mainForm(context);
    auto *einstellform = new vespira::gui::TEinstellform(context, &mainForm);
    auto *suchForm = new vespira::gui::TSuchForm(context, &mainForm);
    mainForm.setWindows(einstellform, suchForm);
    mainForm.setDatabaseForm(new vespira::gui::TDatenbankForm(context, folderChooser, &mainForm));

    vespira::platform::InstanceServer closeRequests(
        mainForm.objectName(), [&mainForm](int message, int wParam) {
            mainForm.ApplicationEvents1Message(message, wParam);
        });

    mainForm.show();
    return QApplication::exec();
}
