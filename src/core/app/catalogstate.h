#pragma once

#include <QString>

namespace vespira::app {

// What the main window's database list remembers between handlers.
struct CatalogState
{
    QString selectedDatabase;     // name of the entry last clicked or restored
    QString searchTimeDatabase;   // name when the search button was last used or a deletion offered
    int clickedIndex = 0;
    int lastSearchIndex = 0;
    bool runInProgress = false;   // shared with the search run
};

} // namespace vespira::app
