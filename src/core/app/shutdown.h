#pragma once

#include "core/app/settings.h"

#include <QString>

namespace vespira::app {

// What the main window hands over when it closes.
struct CloseValues
{
    int selectedIndex = -1;        // -1: no entry selected
    int entryCount = 0;            // entries of the database list
    int viewerFontSize = 0;        // point size of the viewer memo's font; <= 0: unknown
    int height = 0;                // main window
    int width = 0;
    bool searchWindowMaximised = false; // as of the search window's last resize
    int searchHeight = 0;
    int searchWidth = 0;
};

// The Ausgewaehlte_Datenbank text written at close: no selection is "0" when the list
// has entries and "-1" when it is empty.
QString selectedIndexText(int selectedIndex, int entryCount);

// Writes the close-time values in their order: the selected index, Farbe when missing (or not a colour),
// the viewer font size, the main window size and, unless the search window was last
// maximised, its size.
void writeBackOnClose(Settings &settings, const CloseValues &values);

// Deletes everything in Datenbank/Temp (files and folders, ZipTemp included); failures
// are ignored.
void emptyTempFolder(const QString &programFolder);

} // namespace vespira::app
