#include "core/app/startup.h"

#include "core/app/colortext.h"
#include "core/common/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace vespira::app {

namespace {
QString name(const char16_t *n)
{
    return QString::fromUtf16(n);
}
} // namespace

int defaultWindowWidth(int screenWidth)
{
    return screenWidth > 0 && screenWidth <= 1024 ? screenWidth : 900;
}

bool writeFirstStartValues(Settings &settings, AppState &state)
{
    if (!settings.read(name(names::AusgewaehlteDatenbank)).isEmpty())
        return false;
    state.colorText = color::formatColorText(color::clHighlight);
    state.noticeColorText = color::formatColorText(color::clWhite);
    settings.write(name(names::AusgewaehlteDatenbank), u"-1"_s);
    settings.write(name(names::ThemenWebseite), u"0"_s);
    settings.write(name(names::AusgewaehlteWebseite), u"0"_s);
    settings.write(name(names::Farbe), state.colorText);
    settings.write(name(names::HinweistextFarbe), state.noticeColorText);
    settings.write(name(names::Hoehe), u"420"_s);
    settings.write(name(names::Weite), u"700"_s);
    settings.write(name(names::SHoehe), u"500"_s);
    settings.write(name(names::SWeite), u"900"_s);
    settings.write(name(names::Browser), u"standard"_s);
    settings.write(name(names::SuchwortInZwischenablage), u"1"_s);
    settings.write(name(names::KurzhinweisImViewer), u"1"_s);
    return true;
}

WindowSizes readWindowSizes(const Settings &settings, int defaultWidth)
{
    WindowSizes sizes;
    sizes.height = settings.readInt(name(names::Hoehe), 506);
    sizes.width = settings.readInt(name(names::Weite), defaultWidth);
    sizes.searchHeight = settings.readInt(name(names::SHoehe), 500);
    sizes.searchWidth = settings.readInt(name(names::SWeite), defaultWidth);
    return sizes;
}

void createDataFolders(const QString &programFolder, platform::Dialogs &dialogs)
{
    for (const char16_t *relative : {paths::Datenbank, paths::Suchwoerterlisten, paths::Temp}) {
        QString folder = name(relative);
        folder.chop(1); // the constants end with "/"; the message names the folder without it
        const QString full = programFolder + folder;
        if (QFileInfo(full).isDir())
            continue;
        if (!QDir().mkdir(full))
            dialogs.warning(u"Kann das Verzeichnis "_s + full + u" nicht anlegen!"_s);
    }
}

ControlFolder controlFolderState(const QString &value, const QString &programFolder)
{
    ControlFolder control;
    control.folder = value;
    control.active = !value.isEmpty() && programFolder.toLower().contains(value.toLower());
    return control;
}

void provideSharedFiles(const QString &programFolder, const QString &sharedFolder)
{
    for (const char16_t *file : {paths::Adressen, paths::Manual}) {
        const QFileInfo shared(paths::withSlash(sharedFolder) + name(file));
        const QFileInfo own(programFolder + name(file));
        if (!shared.isFile())
            continue;
        const bool refresh = file == paths::Manual && own.isFile() && shared.lastModified() > own.lastModified();
        if (own.exists() && !refresh)
            continue;
        // Copied under a temporary name first, so a failed copy never removes a manual.
        const QString temporary = own.filePath() + u".neu"_s;
        QFile::remove(temporary);
        if (QFile::copy(shared.filePath(), temporary)) {
            QFile::remove(own.filePath());
            QFile::rename(temporary, own.filePath());
        }
        QFile::remove(temporary);
    }
}

WindowSizes prepareStart(Context &context)
{
    AppState &state = context.state;
    writeFirstStartValues(context.settings, state);
    const int defaultWidth = defaultWindowWidth(context.services.system.screenWidth());

    state.catalog.clickedIndex = 0;
    state.catalog.lastSearchIndex = 0;
    state.handedOverSearchText.clear();

    state.programFolder = paths::withSlash(state.programFolder);
    state.adressenPath = state.programFolder + name(paths::Adressen);
    createDataFolders(state.programFolder, context.services.dialogs);

    const ControlFolder control = controlFolderState(context.settings.read(name(names::VespiraControl)),
                                                     state.programFolder);
    state.controlFolder = control.folder;
    state.controlFolderActive = control.active;

    return readWindowSizes(context.settings, defaultWidth);
}

int viewerFontSize(const Settings &settings)
{
    const int size = settings.readInt(name(names::SchriftsizeTextViewer), 10);
    return size > 0 && size <= 500 ? size : 10;
}

} // namespace vespira::app
