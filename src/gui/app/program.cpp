#include "gui/app/program.h"

#include "core/app/colortext.h"
#include "gui/app/mainform.h"
#include "gui/common/colors.h"
#include "gui/output/einstellform.h"
#include "gui/searchwindow/sortpanel.h"
#include "gui/searchwindow/suchform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

namespace vespira::gui {

Program::Program(app::Context &context)
    : m_ctx {context}
{
    m_main = std::make_unique<TMainForm_Vespira_HTML>(context, *this);
    m_settings = new TEinstellform(context, *this, m_main.get());
    m_search = new TSuchForm(context, *this, m_main.get());
}

Program::~Program()
{
    // The dialogs go with the main window; none may ask for another window meanwhile.
    m_search = nullptr;
    m_settings = nullptr;
    m_main.reset();
}

// ---- the main window

void Program::showSettingsDialog()
{
    if (m_main)
        m_main->SpeedButton2Click();
}

search::SearchRunUi *Program::mainWindowRunUi()
{
    return m_main ? &m_main->runUi() : nullptr;
}

void Program::stopBusyIndicator()
{
    if (m_main)
        m_main->stopBusyIndicator();
}

std::optional<QColor> Program::mainWindowBackground() const
{
    if (!m_main)
        return std::nullopt;
    return backgroundColor(m_main.get());
}

void Program::restoreMainWindowSize(QSize size)
{
    if (m_main)
        m_main->restoreSize(size);
}

void Program::repaintMainWindow()
{
    if (m_main)
        m_main->repaintAll();
}

// ---- the settings dialog

int Program::execSettingsDialog()
{
    return m_settings ? m_settings->exec() : int(QDialog::Rejected);
}

std::optional<bool> Program::searchTextClipboardWanted() const
{
    // The tick as it stands, not the stored value: they differ when none is stored yet and
    // after the box was changed and the dialog left with "&Abbruch".
    if (!m_settings)
        return std::nullopt;
    return m_settings->SuchtextInClipbrdCheckBox->isChecked();
}

void Program::showStoredSwitches(std::optional<bool> clipboard, std::optional<bool> hints)
{
    if (m_settings && clipboard)
        m_settings->SuchtextInClipbrdCheckBox->setChecked(*clipboard);
    if (m_settings && hints)
        m_settings->KurzhinweisImViewerZeigenCheckBox->setChecked(*hints);
    if (m_search && hints)
        m_search->showViewerHints(*hints);
}

// ---- the search window

bool Program::hasSearchWindow() const
{
    return m_search != nullptr;
}

bool Program::searchWindowShown() const
{
    return m_search && m_search->isVisible();
}

int Program::execSearchWindow()
{
    return m_search ? m_search->exec() : int(QDialog::Rejected);
}

void Program::prepareSearchWindow(const SearchWindowOpening &opening)
{
    if (m_search)
        m_search->prepareOpening(opening);
}

QString Program::searchWindowText() const
{
    return m_search ? m_search->TntEdit2->text() : QString();
}

void Program::forgetSearchView()
{
    if (m_search)
        m_search->forgetView();
}

void Program::showSearchTexts(const QStringList &texts, bool general)
{
    if (!m_search)
        return;
    m_search->setSearchTexts(texts);
    m_search->setDropDownGrey(general);
}

QStringList Program::searchTexts() const
{
    return m_search ? m_search->searchTexts() : QStringList();
}

bool Program::generalSearchTextsShown() const
{
    return m_search && m_search->dropDownIsGrey();
}

std::optional<SearchWindowFrame> Program::searchWindowFrame() const
{
    if (!m_search)
        return std::nullopt;
    return SearchWindowFrame {m_search->size(), m_search->maximisedAtLastResize(), m_search->viewerFontSize()};
}

void Program::resizeSearchWindow(QSize size)
{
    if (m_search)
        m_search->resize(size);
}

std::optional<int> Program::viewerFontSize() const
{
    if (!m_search)
        return std::nullopt;
    return m_search->viewerFontSize();
}

void Program::applyViewerFontSize(int points)
{
    if (m_search)
        m_search->applyViewerFontSize(points);
}

void Program::showViewerHints(bool shown)
{
    if (m_search)
        m_search->showViewerHints(shown);
}

void Program::openSortPanel()
{
    if (m_search)
        m_search->sortPanel->openPanel();
}

// ---- every window

void Program::applyBackgroundColour(const std::optional<QColor> &chosen)
{
    const QColor color = chosen.value_or(toQColor(app::color::clHighlight));
    if (m_main)
        m_main->applyBackgroundColour(color);
    if (m_settings)
        m_settings->applyBackgroundColour(color);
    if (m_search)
        m_search->applyBackgroundColour(color, chosen.has_value());
}

void Program::applyNoticeColour(const QColor &color)
{
    if (m_main)
        m_main->applyNoticeColour(color);
    if (m_settings)
        m_settings->applyNoticeColour(color);
    if (m_search)
        m_search->applyNoticeColour(color);
}

void Program::rejectModalWindows()
{
    // Through QDialog, whose reject() is public; the windows' own overrides still run.
    if (m_search && m_search->isVisible())
        static_cast<QDialog *>(m_search)->reject();
    if (m_settings && m_settings->isVisible())
        static_cast<QDialog *>(m_settings)->reject();
}

} // namespace vespira::gui
