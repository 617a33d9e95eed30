#pragma once

#include "core/app/context.h"
#include "core/db/titlepositions.h"
#include "core/search/searchrun.h"
#include "core/searchwindow/findinviewer.h"
#include "gui/common/windowlinks.h"
#include "gui/searchwindow/mirrormemo.h"
#include "gui/searchwindow/sortpanel.h"
#include "gui/searchwindow/webpanel.h"

#include <QDialog>
#include <QLineEdit>
#include <QStringList>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTimer;
class QWheelEvent;
class QToolButton;

namespace vespira::gui {

class TMachPause;
class TTextViewer;

// The search window: the left search bar with its options and drop-down of earlier search
// texts, the document view with its title display and the command buttons. Created once by
// the program and shown modally by the main window's search button; it keeps its state
// (view, drop-down, options) from one showing to the next. What it needs of the other
// windows it asks through the links it is made with.
class TSuchForm : public QDialog, public SortPanelHost, public WebPanelHost
{
    Q_OBJECT
public:
    explicit TSuchForm(app::Context &context, WindowLinks &links = WindowLinks::none(), QWidget *parent = nullptr);
    ~TSuchForm() override;

    // Controls, named as the program's design names them; objectName() is the same name.
    QWidget *ToolBar1 = nullptr;
    QToolButton *SpeedButton3 = nullptr;  // title
    QWidget *ToolButton1 = nullptr;       // spacer
    QToolButton *SpeedButton1 = nullptr;  // "?"
    QToolButton *SpeedButton2 = nullptr;  // settings
    QSplitter *Splitter1 = nullptr;
    QFrame *PanelLinks = nullptr;
    QLineEdit *TntEdit2 = nullptr;        // left search bar
    QPushButton *Button1 = nullptr;
    QListWidget *TntListBox2 = nullptr;   // search-term drop-down
    QCheckBox *GrossKleinBeachten = nullptr;
    QCheckBox *NurGanzeWoerterCheckBox = nullptr;
    // The options beyond one literal text, under the two above; each is stored in the
    // settings when clicked and restored at the first paint.
    QCheckBox *AlleWoerterCheckBox = nullptr;
    QCheckBox *UmlauteGleichwertigCheckBox = nullptr;
    QCheckBox *FundstellenZaehlenCheckBox = nullptr;
    QCheckBox *AlleDatenbankenCheckBox = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *Panel2 = nullptr;             // frame of the web search controls
    QLabel *Label5 = nullptr;
    QComboBox *TntComboBox1 = nullptr;
    QListWidget *TntListBox1 = nullptr;
    QLabel *TntLabel1 = nullptr;
    QFrame *SortPanelPlace = nullptr;     // holds the sorted-list controls
    SortPanel *sortPanel = nullptr;       // the sorted-list controls, hidden until opened
    QFrame *PanelRechts = nullptr;
    QLineEdit *TntEdit1 = nullptr;        // right search bar
    QPushButton *Button2 = nullptr;
    QPushButton *WeiterSuche = nullptr;
    QToolButton *LesezeichenBtn = nullptr;
    QLabel *Image4 = nullptr;
    QLabel *Label2 = nullptr;             // view position and title
    QLabel *Label8 = nullptr;             // document caption
    TTextViewer *Viewer = nullptr;        // document view
    MirrorMemo *ViewerMemo = nullptr;     // memo mirror of the view
    QMenu *PopupMenu1 = nullptr;
    QAction *TextinSuchleistelinksbertragen1 = nullptr;
    QFrame *PanelUnten = nullptr;
    QPushButton *SuchImInternetBtn = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *ZeilenAlsListeSortieren = nullptr;
    QPushButton *UnicodeLadenButton = nullptr;
    QPushButton *UTF8LadenButton = nullptr;
    QPushButton *AnsiLadenButton = nullptr; // never shown
    QPushButton *CancelBtn = nullptr;
    QTimer *Timer1 = nullptr;             // the sort panel's
    QTimer *Timer2 = nullptr;             // delayed title display
    TMachPause *MachPause1 = nullptr;

    // Hidden controls that only carry state.
    QCheckBox *PhraseCheckBox = nullptr;
    QCheckBox *OderCheckBox = nullptr;
    // Memo index where the last find-next selected; the sorted-list command resets it.
    qint64 memoSearchStart = 0;

    app::Context &m_ctx;

    // Closes the view's file and empties its memo mirror.
    void closeView();
    // closeView, the captions emptied and the sorted list offered again only after a load.
    void forgetView();
    // Before the main window shows the window.
    void prepareOpening(const SearchWindowOpening &opening);

    // The viewers' font in points, and whether the memo mirror shows its short hint.
    int viewerFontSize() const;
    void applyViewerFontSize(int points);
    void showViewerHints(bool shown);
    // The window background: with panels, also the four panels and the tool bar.
    void applyBackgroundColour(const QColor &color, bool panels);
    void applyNoticeColour(const QColor &color);

    // The drop-down's texts, top first.
    QStringList searchTexts() const;
    void setSearchTexts(const QStringList &texts);
    // Grey: the drop-down holds the general list; otherwise the list of a loaded kind.
    void setDropDownGrey(bool grey);
    bool dropDownIsGrey() const { return m_dropDownGrey; }

    // Whether the window was maximised when it was last resized or its state changed (its
    // size is then not stored).
    bool maximisedAtLastResize() const { return m_maximisedAtLastResize; }

    // Handlers.
    void FormPaint();
    void FormClick();
    void ApplicationActivate();
    void Splitter1Moved();
    void TntEdit2Change();
    void TntEdit2Click();
    // Returns whether the key was taken.
    bool TntEdit2KeyDown(int key);
    void Button1Click();
    void Button2Click();
    bool TntEdit1KeyDown(int key);
    void TntEdit1Change() override;
    void WeiterSucheClick();
    void TntListBox2Click(const QString &text);
    void PhraseCheckBoxClick();
    void OderCheckBoxClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void CancelBtnClick();
    void OKBtnClick();

    // The document view.
    void AnsiLadenButtonClick();
    void UTF8LadenButtonClick();
    void UnicodeLadenButtonClick();
    void ZeigDieTitelAn();
    void Timer2Timer();
    void LetztesUmbruchZeicheEntfernen();
    void ViewerScroll();
    void ViewerMemoDblClick();
    // Returns whether the key was taken.
    bool ViewerMemoKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ViewerMemoMouseDown(Qt::MouseButton button);
    void LesezeichenBtnClick();
    void TextinSuchleistelinksbertragen1Click();

    // After a search run: show again what the view showed before, with the memo's
    // selection where it was (first line and selection remembered before the run).
    struct ViewMemory
    {
        QString firstLine;
        int selectionStart = 0;
        int selectionLength = 0;
    };
    ViewMemory rememberView() const;
    void restoreView(const ViewMemory &memory);

    // The smallest size the window keeps: a height below 499 becomes 500, a width below
    // 1043 becomes 1043.
    static QSize adjustedSize(QSize size);

    // The title table of the kind shown (empty when its file is missing).
    const db::TitlePositions &titles() const { return m_titles; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    // What the sort panel asks of the window.
    void closeViewForSort() override;
    void setSearchControlsLocked(bool locked) override;
    void enableLoadButtons(const lists::LoadButtons &buttons) override;
    void setPanel2Visible(bool visible) override;
    QColor statusColor() const override;
    void prepareViewForList() override;
    void loadSortedList(const lists::SortedListView &view) override;

    // What the web panel asks of the window.
    std::optional<bool> searchTextClipboardWanted() const override;
    std::optional<QColor> mainWindowBackground() const override;
    void hideSearchTermDropDown() override;
    void refocusViewerSelection() override;

    struct KindRow;
    const KindRow &row(app::DocumentKind kind) const;
    QPushButton *loadButton(app::DocumentKind kind) const;
    void loadKind(app::DocumentKind kind);
    void suchbegriffeLaden(app::DocumentKind kind);
    void loadFile(app::DocumentKind kind, const QString &path);
    void firstPaint();
    // The four option boxes with the names of their settings values.
    std::vector<std::pair<QCheckBox *, const char16_t *>> optionBoxes() const;
    QList<QWidget *> searchOptionBoxes() const;
    void setPhrase(bool phrase);
    bool handlePathShortcut(const QString &trimmed);
    void echoSearchText();
    void placeDropDown();
    void applyStoredViewerFont();
    void wireViewer();
    void updateMemoGeometry();
    void pause(int milliseconds);
    QString searchTimeDatabase() const;

    WindowLinks &m_links;
    WebPanel *m_webPanel = nullptr;
    bool m_firstPaint = true;
    bool m_paintQueued = false;
    bool m_searchRunning = false;
    bool m_dropDownGrey = true;
    bool m_maximisedAtLastResize = false;
    bool m_wholeTextFits = true;
    db::TitlePositions m_titles;
    searchwindow::FindInViewer m_find;
    ViewMemory m_viewMemory;
    QStringList m_mirrorLines;
    class RunUi;
    friend class RunUi;
    class WheelRouter;
    friend class WheelRouter;
    void routeWheel(QWidget *target, const QWheelEvent &wheel);
};

} // namespace vespira::gui
