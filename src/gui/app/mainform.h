#pragma once

#include "core/app/busyticks.h"
#include "core/app/context.h"
#include "core/app/startup.h"
#include "gui/common/windowlinks.h"

#include <QMainWindow>
#include <QPixmap>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;
class QToolButton;

namespace vespira::gui {

class DatabaseListBox;
class TDatenbankForm;
class TMachPause;


// The main window: the list of databases in Datenbank, the search button that opens the
// search window for the selected one, deletion of a database, the busy indicator, and
// the frame work of start and close (settings, sizes, colours, data folders). The search
// window and the settings dialog are reached through the links it is made with.
class TMainForm_Vespira_HTML final : public QMainWindow
{
    Q_OBJECT
public:
    // Runs FormCreate. The context's program folder is used when already decided (the
    // program decides it before any window exists); otherwise the rule is applied here.
    explicit TMainForm_Vespira_HTML(app::Context &context, WindowLinks &links = WindowLinks::none(),
                                    QWidget *parent = nullptr);
    ~TMainForm_Vespira_HTML() override;

    // The window that makes and renews databases ("Neue Datenbank …" and the others).
    void setDatabaseForm(TDatenbankForm *form);

    // Controls, named as the program's design names them.
    QToolBar *ToolBar1 = nullptr;
    QToolButton *SpeedButton3 = nullptr; // the title, disabled
    QWidget *ToolButton1 = nullptr;      // separator keeping the buttons at the right end
    QToolButton *SpeedButton1 = nullptr; // "?": the manual
    QToolButton *SpeedButton2 = nullptr; // settings dialog
    DatabaseListBox *ListBox1 = nullptr;
    QPushButton *SuchenBtn = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;            // hidden source of the item glyph
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *GeduldLabel = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *Datenbankloeschen1 = nullptr;
    QAction *NeueDatenbank1 = nullptr;
    QAction *DatenbankAktualisieren1 = nullptr;
    QAction *DatenbankNeuAufbauen1 = nullptr;
    QTimer *GedultTimer = nullptr;
    TMachPause *MachPause1 = nullptr;

    // Handlers.
    void FormCreate();
    void FormPaint();          // the first-show pass; does nothing after the first time
    void FormResize();
    bool FormCloseQuery();     // true: the close may proceed
    void FormClose();
    void ApplicationEvents1Message(int message, int wParam);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void LiesNamenDatenbanken();
    void ListBox1Click();
    void ListBox1MouseDown(Qt::MouseButton button, const QPoint &globalPos);
    void Datenbankloeschen1Click();
    void NeueDatenbank1Click();
    void DatenbankAktualisieren1Click();
    void DatenbankNeuAufbauen1Click();
    void SuchenBtnClick();
    void BitBtn2Click();
    void GedultTimerTimer();

    // How the search window and the settings dialog are shown modally; tests replace
    // these with code that fills the window and returns a dialog result.
    std::function<int()> showSearchWindow;
    std::function<int()> showSettingsDialog;

    // The window's part of a search run (Label1, the busy indicator, the pause).
    search::SearchRunUi &runUi();
    // A cancelled run: the busy timer stops and Label1 is emptied.
    void stopBusyIndicator();
    // The window's own part of the window colours.
    void applyBackgroundColour(const QColor &color);
    void applyNoticeColour(const QColor &color);
    // Resized and centred on its screen.
    void restoreSize(QSize size);
    // Makes everything on the window repaint.
    void repaintAll();

    bool firstShowPending() const { return m_firstShow; }
    const app::WindowSizes &windowSizes() const { return m_sizes; }
    // The item glyph the list draws (Image2's picture, red made transparent).
    const QPixmap &itemGlyph() const { return m_itemGlyph; }

    // The close request a second process sends over the local socket.
    static constexpr int CloseRequestMessage = 5735;
    static constexpr int CloseRequestParam = 99;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void forgetSearchView();
    void loadGeneralSearchTextList();
    void placeBusyLabel();
    void endBusyIndication();
    int showModal(const std::function<int()> &show);
    void finishModal();
    void renewSelectedDatabase(bool rebuild);
    void showMadeDatabase(const QString &name);

    class RunUi;
    class RunScope;
    app::Context &m_ctx;
    WindowLinks &m_links;
    std::unique_ptr<RunUi> m_runUi;
    QPointer<TDatenbankForm> m_databaseForm;
    app::WindowSizes m_sizes;
    app::BusyTicks m_ticks;
    QPixmap m_itemGlyph;
    bool m_firstShow = true;
    int m_modalDepth = 0;        // modal windows opened by this window's handlers
    bool m_closeConfirmed = false; // a close was confirmed while a modal window was open
    bool m_asking = false;       // the close confirmation is on screen
};

} // namespace vespira::gui
