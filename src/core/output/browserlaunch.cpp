#include "core/output/browserlaunch.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::output {

QStringList browserPrograms(const QString &browserSetting)
{
    if (browserSetting.contains(u"standard"_s))
        return {};
    if (browserSetting.contains(u"firefox"_s))
        return {u"firefox"_s};
    if (browserSetting.contains(u"internet explorer"_s))
        return {u"iexplore"_s};
    if (browserSetting.contains(u"edge"_s))
        return {u"microsoft-edge"_s, u"microsoft-edge-stable"_s};
    if (browserSetting.contains(u"chrome"_s))
        return {u"google-chrome"_s, u"google-chrome-stable"_s, u"chromium"_s, u"chromium-browser"_s};
    return {};
}

void StarteInternetBrowser(const QString &address, app::Settings &settings, platform::Shell &shell,
                           platform::Dialogs &dialogs, QString *currentBrowser)
{
    QString browser = settings.read(QString::fromUtf16(app::names::Browser));
    if (browser.isEmpty()) {
        browser = u"standard"_s;
        settings.write(QString::fromUtf16(app::names::Browser), browser);
    }
    if (currentBrowser)
        *currentBrowser = browser;

    const QStringList programs = browserPrograms(browser);
    if (programs.isEmpty()) {
        shell.openUrl(address); // the default handler's failures are not reported
        return;
    }
    // The first candidate on PATH; when none is installed, the first name is tried so the
    // warning names the browser the user chose.
    QString program = shell.findExecutable(programs);
    if (program.isEmpty())
        program = programs.front();
    if (!shell.startDetached(program, {address}))
        dialogs.warning(u"Datei: "_s + program + u" kann nicht geöffnet werden"_s);
}

} // namespace vespira::output
