#include "core/app/shutdown.h"

#include "core/app/colortext.h"
#include "core/common/paths.h"
#include "core/common/textfile.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::app {

QString selectedIndexText(int selectedIndex, int entryCount)
{
    if (selectedIndex < 0)
        return entryCount > 0 ? u"0"_s : u"-1"_s;
    return QString::number(selectedIndex);
}

void writeBackOnClose(Settings &settings, const CloseValues &values)
{
    auto write = [&settings](const char16_t *name, const QString &text) {
        settings.write(QString::fromUtf16(name), text);
    };
    write(names::AusgewaehlteDatenbank, selectedIndexText(values.selectedIndex, values.entryCount));
    if (!color::parseColorText(settings.read(QString::fromUtf16(names::Farbe))))
        write(names::Farbe, color::formatColorText(color::clHighlight));
    // A font given in pixels has no point size; writing -1 would break the next start.
    if (values.viewerFontSize > 0)
        write(names::SchriftsizeTextViewer, QString::number(values.viewerFontSize));
    write(names::Hoehe, QString::number(values.height));
    write(names::Weite, QString::number(values.width));
    if (!values.searchWindowMaximised) {
        write(names::SHoehe, QString::number(values.searchHeight));
        write(names::SWeite, QString::number(values.searchWidth));
    }
}

void emptyTempFolder(const QString &programFolder)
{
    emptyFolder(programFolder + QString::fromUtf16(paths::Temp));
}

} // namespace vespira::app
