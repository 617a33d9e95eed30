#pragma once

// StarteInternetBrowser: opens a file path or a web address in the browser chosen in the
// settings value "Browser". The first of "standard", "firefox", "internet explorer",
// "edge", "chrome" that the value contains (letter case counts) decides; any other value
// opens with the desktop's default handler, as "standard" does. A named browser that does
// not start shows the warning "Datei: <program> kann nicht geöffnet werden" and nothing
// else happens (no fall-back to the default handler).
//
//   StarteInternetBrowser(pagePath, ctx.settings, ctx.services.shell, ctx.services.dialogs,
//                         &ctx.state.browser);

#include "core/app/settings.h"
#include "core/platform/dialogs.h"
#include "core/platform/shell.h"

#include <QString>
#include <QStringList>

namespace vespira::output {

// The programs tried for a named browser, in order; empty for the default handler.
QStringList browserPrograms(const QString &browserSetting);

// A missing or empty "Browser" value is taken as "standard" and written back at once.
// currentBrowser, when given, receives the value in effect. The address is handed over
// unchanged (no 8-bit conversion, so no character is lost).
void StarteInternetBrowser(const QString &address, app::Settings &settings, platform::Shell &shell,
                           platform::Dialogs &dialogs, QString *currentBrowser = nullptr);

} // namespace vespira::output
