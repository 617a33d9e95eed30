#pragma once

#include "core/app/context.h"
#include "gui/common/windowlinks.h"

#include <memory>

namespace vespira::gui {

class TEinstellform;
class TMainForm_Vespira_HTML;
class TSuchForm;

// The program's three windows, made once in the order the program has always made them
// (the main window, whose creation prepares the data folders and the first-start values,
// then the settings dialog and the search window as its children) and kept for the whole
// run. Each window is made with this object and asks the others for what it needs through
// it; nothing looks a window up.
class Program final : public WindowLinks
{
public:
    explicit Program(app::Context &context);
    ~Program() override;
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    app::Context &context() { return m_ctx; }
    TMainForm_Vespira_HTML &mainWindow() { return *m_main; }
    TEinstellform &settingsDialog() { return *m_settings; }
    TSuchForm &searchWindow() { return *m_search; }

    // WindowLinks
    void showSettingsDialog() override;
    search::SearchRunUi *mainWindowRunUi() override;
    void stopBusyIndicator() override;
    std::optional<QColor> mainWindowBackground() const override;
    void restoreMainWindowSize(QSize size) override;
    void repaintMainWindow() override;
    int execSettingsDialog() override;
    std::optional<bool> searchTextClipboardWanted() const override;
    void showStoredSwitches(std::optional<bool> clipboard, std::optional<bool> hints) override;
    bool hasSearchWindow() const override;
    bool searchWindowShown() const override;
    int execSearchWindow() override;
    void prepareSearchWindow(const SearchWindowOpening &opening) override;
    QString searchWindowText() const override;
    void forgetSearchView() override;
    void showSearchTexts(const QStringList &texts, bool general) override;
    QStringList searchTexts() const override;
    bool generalSearchTextsShown() const override;
    std::optional<SearchWindowFrame> searchWindowFrame() const override;
    void resizeSearchWindow(QSize size) override;
    std::optional<int> viewerFontSize() const override;
    void applyViewerFontSize(int points) override;
    void showViewerHints(bool shown) override;
    void openSortPanel() override;
    void applyBackgroundColour(const std::optional<QColor> &chosen) override;
    void applyNoticeColour(const QColor &color) override;
    void rejectModalWindows() override;

private:
    app::Context &m_ctx;
    // Made one after another; a window may ask for another before that one exists.
    std::unique_ptr<TMainForm_Vespira_HTML> m_main;
    TEinstellform *m_settings = nullptr; // children of the main window
    TSuchForm *m_search = nullptr;
};

} // namespace vespira::gui
