#pragma once

#include "core/app/catalogstate.h"
#include "core/app/searchrunstate.h"
#include "core/app/sortstate.h"
#include "core/app/viewstate.h"

#include <QString>

namespace vespira::app {

// The program-wide state the windows share. The main window creates one and passes it
// by reference; each group of flags is owned by the subsystem that names it.
struct AppState
{
    QString programFolder;           // ends with "/"
    QString adressenPath;            // program folder + "Adressen_Webseiten.txt"
    QString browser;                 // current browser choice
    QString colorText;               // current background colour text
    QString noticeColorText;         // current notice colour text
    QString controlFolder;           // Vespira_Control, used unchanged as a prefix
    bool controlFolderActive = false;
    QString handedOverSearchText;    // left by the sibling edition

    CatalogState catalog;
    SearchRunState run;
    SortState sort;
    ViewState view;
};

} // namespace vespira::app
