#pragma once

#include "core/app/context.h"

#include <QColor>
#include <QFrame>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace vespira::gui {

// What the web panel asks of the window around it and of the program. Every method has a
// do-nothing default.
class WebPanelHost
{
public:
    virtual ~WebPanelHost() = default;
    // Whether the search text goes to the clipboard before the page opens (the settings
    // dialog's box); nullopt: the stored switch decides.
    virtual std::optional<bool> searchTextClipboardWanted() const { return std::nullopt; }
    // The main window's background; nullopt: the current colour text.
    virtual std::optional<QColor> mainWindowBackground() const { return std::nullopt; }
    // Hides the search-term drop-down when it is shown (every address paint does).
    virtual void hideSearchTermDropDown() {}
    // After a web search the view's memo mirror takes the focus back when it shows a selection.
    virtual void refocusViewerSelection() {}
};

// The web-search panel of the search window ("Panel2"): the topic box TntComboBox1, the
// web-address list TntListBox1 and the labels Label5 and TntLabel1, filled from
// Adressen_Webseiten.txt in the program folder. "Suche im Internet" sends the left search
// bar's text to the chosen address. Hidden until the first press of that button.
class WebPanel : public QFrame
{
    Q_OBJECT
public:
    WebPanel(app::Context &context, WebPanelHost &host, QLineEdit *searchBar, QWidget *parent = nullptr);

    // Opens an address; the browser launcher of the settings unless a test sets its own.
    void setLauncher(std::function<void(const QString &)> launcher) { m_launcher = std::move(launcher); }

    // Fills the topic box and restores the chosen topic and address (once, at the search
    // window's first show). Without the address file the address list is emptied.
    void fillTopics();

    // Handlers.
    void TntComboBox1Click();
    void TntListBox1Click();
    void TntListBox1MouseMove();
    void SuchImInternetBtnClick();

    // The fill of the selected entry: the main window's background darkened by 10 %.
    [[nodiscard]] QColor selectionColor() const;
    void hideSearchTermDropDown() const { m_host.hideSearchTermDropDown(); }

    QLabel *Label5 = nullptr;
    QComboBox *TntComboBox1 = nullptr;
    QListWidget *TntListBox1 = nullptr;
    QLabel *TntLabel1 = nullptr;

private:
    QString addressFilePath() const;
    void writeIndexes();
    bool copySwitchOn() const;
    void open(const QString &address);

    app::Context &m_ctx;
    WebPanelHost &m_host;
    QLineEdit *m_searchBar;
    std::function<void(const QString &)> m_launcher;
};

} // namespace vespira::gui
