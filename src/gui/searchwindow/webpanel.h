#pragma once

#include "core/app/context.h"

#include <QFrame>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace vespira::gui {

// The web-search panel of the search window ("Panel2"): the topic box TntComboBox1, the
// web-address list TntListBox1 and the labels Label5 and TntLabel1, filled from
// Adressen_Webseiten.txt in the program folder. "Suche im Internet" sends the left search
// bar's text to the chosen address. Hidden until the first press of that button.
//
// Embedding in the search window:
//   m_web = new WebPanel(m_ctx, TntEdit2, PanelLinks);   // objectName "Panel2"
//   left->addWidget(m_web, 1);
//   Panel2 = m_web; Label5 = m_web->Label5; TntComboBox1 = m_web->TntComboBox1;
//   TntListBox1 = m_web->TntListBox1; TntLabel1 = m_web->TntLabel1;
//   connect(SuchImInternetBtn, &QPushButton::clicked, m_web, &WebPanel::SuchImInternetBtnClick);
//   first paint: m_web->fillTopics();
// The panel finds the window's ViewerMemo and TntListBox2 by name and the settings dialog's
// SuchtextInClipbrdCheckBox among the top-level windows; the setters below replace that.
class WebPanel : public QFrame
{
    Q_OBJECT
public:
    WebPanel(app::Context &context, QLineEdit *searchBar, QWidget *parent = nullptr);

    // Whether the search text goes to the clipboard before the page opens.
    void setCopySwitch(std::function<bool()> copySwitch) { m_copySwitch = std::move(copySwitch); }
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
    // Hides the search-term drop-down when it is shown (every address paint does).
    void hideSearchTermDropDown() const;

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
    QLineEdit *m_searchBar;
    std::function<bool()> m_copySwitch;
    std::function<void(const QString &)> m_launcher;
};

} // namespace vespira::gui
