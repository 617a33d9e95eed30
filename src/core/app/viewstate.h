#pragma once

#include <QString>

#include <QtGlobal>

namespace vespira::app {

enum class DocumentKind { None, Ansi, Utf8, Mht };

// The search window's view flags.
struct ViewState
{
    bool viewerPainted = false;
    bool mirrorSuspended = false;  // a running search stops the viewers mirroring
    bool sortedListShown = false;  // the sorted-list view was the last one chosen
    bool pathOpened = false;       // the search field holds a document to open directly
    DocumentKind activeKind = DocumentKind::None;
    // How painted lines reach the memo mirror: Ansi, Utf8 or Mht (as UTF-16); None before
    // the first load.
    DocumentKind mirrorKind = DocumentKind::None;
    DocumentKind lastLoadedKind = DocumentKind::None;
    QString lastCaptionPrefix;     // caption prefix of the text last loaded ("ANSI-", ...)
    qint64 viewPosition = 0;       // first painted line of the view, a byte offset
};

} // namespace vespira::app
