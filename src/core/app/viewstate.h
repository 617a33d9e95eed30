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
    QString lastCaptionPrefix;     // caption prefix of the text last loaded ("ANSI-", ...)
    qint64 bookmarkPosition = 0;
};

} // namespace vespira::app
