#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace vespira::search {
class SearchRunUi;
}

namespace vespira::gui {

// What the main window hands the search window as it opens it.
struct SearchWindowOpening
{
    QString searchText;               // the left search bar
    std::optional<QString> caption;   // Label8; nullopt keeps it
    bool clearFindText = false;       // another database: the right search bar starts empty
};

// What the main window writes back at close about the search window.
struct SearchWindowFrame
{
    QSize size;
    bool maximised = false;
    int viewerFontSize = 10;
};

// What one window of the program asks of the others. The program's Program object answers
// for the windows it holds and makes each window with it; a window made alone (a test)
// gets none(), whose answers say that no other window exists.
class WindowLinks
{
public:
    virtual ~WindowLinks() = default;

    static WindowLinks &none();

    // ---- the main window
    // The settings dialog, modally, as the main window's own button opens it.
    virtual void showSettingsDialog() {}
    // The main window's part of a search run: Label1, the busy indicator, the pause.
    virtual search::SearchRunUi *mainWindowRunUi() { return nullptr; }
    // A cancelled run: the busy timer stops and Label1 is emptied.
    virtual void stopBusyIndicator() {}
    virtual std::optional<QColor> mainWindowBackground() const { return std::nullopt; }
    // Resized and centred on its screen.
    virtual void restoreMainWindowSize(QSize size) { Q_UNUSED(size); }
    // Makes everything on the main window repaint.
    virtual void repaintMainWindow() {}

    // ---- the settings dialog
    virtual int execSettingsDialog() { return 0; }
    // Its "Suchtext nach Suche in Zwischenablage kopieren" as it stands; nullopt without it.
    virtual std::optional<bool> searchTextClipboardWanted() const { return std::nullopt; }
    // The stored switches at first show; nullopt leaves a box as designed.
    virtual void showStoredSwitches(std::optional<bool> clipboard, std::optional<bool> hints)
    {
        Q_UNUSED(clipboard);
        Q_UNUSED(hints);
    }

    // ---- the search window
    virtual bool hasSearchWindow() const { return false; }
    virtual bool searchWindowShown() const { return false; }
    virtual int execSearchWindow() { return 0; }
    virtual void prepareSearchWindow(const SearchWindowOpening &opening) { Q_UNUSED(opening); }
    // The left search bar's text.
    virtual QString searchWindowText() const { return {}; }
    // Closes the view's file and empties its captions; the sorted list is offered again only
    // after a load.
    virtual void forgetSearchView() {}
    // The drop-down of earlier search texts; general: the list of no kind (shown grey).
    virtual void showSearchTexts(const QStringList &texts, bool general) { Q_UNUSED(texts); Q_UNUSED(general); }
    virtual QStringList searchTexts() const { return {}; }
    virtual bool generalSearchTextsShown() const { return false; }
    virtual std::optional<SearchWindowFrame> searchWindowFrame() const { return std::nullopt; }
    virtual void resizeSearchWindow(QSize size) { Q_UNUSED(size); }
    // The viewers' font size in points; nullopt without the search window.
    virtual std::optional<int> viewerFontSize() const { return std::nullopt; }
    virtual void applyViewerFontSize(int points) { Q_UNUSED(points); }
    virtual void showViewerHints(bool shown) { Q_UNUSED(shown); }
    // Shows the sorted-list panel in place of the web panel.
    virtual void openSortPanel() {}

    // ---- every window
    // The window background: a chosen colour goes to every window and panel; without one
    // (nullopt) clHighlight goes to the windows and the search window's panels keep theirs.
    virtual void applyBackgroundColour(const std::optional<QColor> &chosen) { Q_UNUSED(chosen); }
    // The font colour of the notice texts and option captions.
    virtual void applyNoticeColour(const QColor &color) { Q_UNUSED(color); }
    // A confirmed close request: the modal windows close as by "Abbrechen".
    virtual void rejectModalWindows() {}
};

} // namespace vespira::gui
