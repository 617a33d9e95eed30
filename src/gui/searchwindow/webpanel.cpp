#include "gui/searchwindow/webpanel.h"

#include "core/app/settings.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/output/browserlaunch.h"
#include "core/output/webaddresses.h"
#include "gui/common/colors.h"
#include "gui/common/guarded.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace names = app::names;

namespace {

constexpr int AddressItemHeight = 28;
constexpr int SymbolSize = 20;
constexpr int GlyphSize = 16;

// The square on which ">" (query address) or "+" (any other) stands.
QPixmap symbolPixmap(bool query)
{
    QPixmap pixmap(SymbolSize, SymbolSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(query ? QColor(40, 190, 60) : QColor(Qt::white));
    painter.drawRoundedRect(QRectF(0.5, 0.5, SymbolSize - 1, SymbolSize - 1), 3, 3);
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(12);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(query ? 6 : 4, 0, SymbolSize - 4, SymbolSize), Qt::AlignLeft | Qt::AlignVCenter,
                     query ? u">"_s : u"+"_s);
    return pixmap;
}

// The picture in front of every topic: a small globe.
QPixmap topicGlyph()
{
    QPixmap pixmap(GlyphSize, GlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(1.5, 1.5, GlyphSize - 3, GlyphSize - 3);
    painter.setPen(QPen(QColor(20, 80, 160), 1.2));
    painter.setBrush(QColor(120, 180, 240));
    painter.drawEllipse(globe);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(globe.adjusted(3.5, 0, -3.5, 0));
    painter.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
    return pixmap;
}

// Paints one topic or address: the selection in the darkened window colour, the symbol
// 1 px from the left and 2 px from the top, the text after it.
class WebItemDelegate final : public QStyledItemDelegate
{
public:
    enum class Kind { Topic, Address };

    WebItemDelegate(Kind kind, WebPanel *panel)
        : QStyledItemDelegate {panel}
        , m_kind {kind}
        , m_panel {panel}
        , m_query {symbolPixmap(true)}
        , m_plain {symbolPixmap(false)}
        , m_glyph {topicGlyph()}
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        const bool selected = option.state & QStyle::State_Selected;
        if (m_kind == Kind::Address)
            m_panel->hideSearchTermDropDown();
        painter->save();
        painter->fillRect(option.rect, selected ? m_panel->selectionColor() : option.palette.color(QPalette::Base));
        const QPixmap &symbol = m_kind == Kind::Topic ? m_glyph
                                : output::isQueryAddress(text) ? m_query
                                                               : m_plain;
        painter->drawPixmap(option.rect.left() + 1, option.rect.top() + 2, symbol);
        const int gap = m_kind == Kind::Topic ? 20 : 4;
        const QRect textRect(option.rect.left() + 1 + symbol.width() + gap, option.rect.top() + 2,
                             option.rect.width() - symbol.width() - gap - 1, option.rect.height() - 2);
        painter->setFont(option.font);
        const bool enabled = option.state & QStyle::State_Enabled;
        painter->setPen(option.palette.color(enabled ? QPalette::Active : QPalette::Disabled,
                                             selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (m_kind == Kind::Address)
            size.setHeight(AddressItemHeight);
        else
            size.setHeight(qMax(size.height(), GlyphSize + 4));
        return size;
    }

private:
    Kind m_kind;
    const WebPanel *m_panel;
    QPixmap m_query;
    QPixmap m_plain;
    QPixmap m_glyph;
};

// Routes mouse moves over the address list to TntListBox1MouseMove.
class MouseMoveFilter final : public QObject
{
public:
    MouseMoveFilter(WebPanel *panel, QObject *parent)
        : QObject {parent}
        , m_panel {panel}
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove)
            m_panel->TntListBox1MouseMove();
        return QObject::eventFilter(watched, event);
    }

private:
    WebPanel *m_panel;
};

} // namespace

WebPanel::WebPanel(app::Context &context, WebPanelHost &host, QLineEdit *searchBar, QWidget *parent)
    : QFrame {parent}
    , m_ctx {context}
    , m_host {host}
    , m_searchBar {searchBar}
{
    setObjectName(u"Panel2"_s);
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    Label5 = new QLabel(u"Für die Suche im Internet, hier eine Adresse wählen:"_s, this);
    Label5->setObjectName(u"Label5"_s);
    TntComboBox1 = new QComboBox(this);
    TntComboBox1->setObjectName(u"TntComboBox1"_s);
    TntComboBox1->setItemDelegate(new WebItemDelegate(WebItemDelegate::Kind::Topic, this));
    TntComboBox1->setIconSize(QSize(GlyphSize, GlyphSize));
    TntListBox1 = new QListWidget(this);
    TntListBox1->setObjectName(u"TntListBox1"_s);
    TntListBox1->setItemDelegate(new WebItemDelegate(WebItemDelegate::Kind::Address, this));
    TntListBox1->setUniformItemSizes(true);
    TntListBox1->setMouseTracking(true);
    TntListBox1->viewport()->installEventFilter(new MouseMoveFilter(this, this));
    TntLabel1 = new QLabel(this);
    TntLabel1->setObjectName(u"TntLabel1"_s);
    TntLabel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(Label5);
    layout->addWidget(TntComboBox1);
    layout->addWidget(TntListBox1, 1);
    layout->addWidget(TntLabel1);

    connect(TntComboBox1, &QComboBox::activated, this,
            [this] { guarded(m_ctx.services.dialogs, [&] { TntComboBox1Click(); }); });
    connect(TntListBox1, &QListWidget::currentRowChanged, this,
            [this] { guarded(m_ctx.services.dialogs, [&] { TntListBox1Click(); }); });
    hide();
}

QString WebPanel::addressFilePath() const
{
    if (!m_ctx.state.adressenPath.isEmpty())
        return m_ctx.state.adressenPath;
    return m_ctx.state.programFolder + QString::fromUtf16(paths::Adressen);
}

void WebPanel::fillTopics()
{
    const output::WebAddressFile file(addressFilePath());
    if (!file.exists()) {
        TntListBox1->clear();
        return;
    }
    // The address index is read before the topic choice below writes the first address
    // over it; read afterwards, the chosen address would never survive a restart.
    const int topic = m_ctx.settings.readInt(QString::fromUtf16(names::ThemenWebseite), -1);
    const int address = m_ctx.settings.readInt(QString::fromUtf16(names::AusgewaehlteWebseite), 0);
    {
        const QSignalBlocker blocker(TntComboBox1);
        TntComboBox1->clear();
        const QIcon glyph(topicGlyph());
        for (const QString &name : file.topics())
            TntComboBox1->addItem(glyph, name);
        TntComboBox1->setCurrentIndex(topic >= 0 && topic < TntComboBox1->count() ? topic : -1);
    }
    TntComboBox1Click();
    {
        const QSignalBlocker blocker(TntListBox1);
        if (address >= 0 && address < TntListBox1->count()) {
            TntListBox1->setCurrentRow(address);
        } else {
            TntListBox1->setCurrentRow(-1);
            TntListBox1->clearSelection();
        }
    }
    writeIndexes();
}

void WebPanel::writeIndexes()
{
    m_ctx.settings.write(QString::fromUtf16(names::ThemenWebseite), QString::number(TntComboBox1->currentIndex()));
    m_ctx.settings.write(QString::fromUtf16(names::AusgewaehlteWebseite), QString::number(TntListBox1->currentRow()));
}

void WebPanel::TntComboBox1Click()
{
    const QSignalBlocker blocker(TntListBox1);
    TntListBox1->clear();
    const output::WebAddressFile file(addressFilePath());
    TntListBox1->addItems(file.addresses(TntComboBox1->currentText()));
    if (TntListBox1->count() > 0)
        TntListBox1->setCurrentRow(0);
    writeIndexes();
}

void WebPanel::TntListBox1Click()
{
    writeIndexes();
}

void WebPanel::TntListBox1MouseMove()
{
    const QListWidgetItem *item = TntListBox1->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString hint = output::addressHint(item->text());
    TntListBox1->setToolTip(hint);
    TntListBox1->viewport()->setToolTip(hint);
}

bool WebPanel::copySwitchOn() const
{
    if (const std::optional<bool> wanted = m_host.searchTextClipboardWanted())
        return *wanted;
    // Without the dialog the stored switch decides; it is on unless switched off.
    return m_ctx.settings.read(QString::fromUtf16(names::SuchwortInZwischenablage)) != u"0";
}

void WebPanel::open(const QString &address)
{
    if (m_launcher) {
        m_launcher(address);
        return;
    }
    output::StarteInternetBrowser(address, m_ctx.settings, m_ctx.services.shell, m_ctx.services.dialogs,
                                  &m_ctx.state.browser);
}

void WebPanel::SuchImInternetBtnClick()
{
    const QString typed = m_searchBar ? m_searchBar->text() : QString();
    const QString trimmed = text::trimControl(typed);
    if (isHidden()) {
        if (TntListBox1->count() > 0) {
            const QSignalBlocker blocker(TntListBox1);
            TntListBox1->setCurrentRow(0);
        }
        show();
        TntLabel1->setText(trimmed.isEmpty() ? u"Suchtext: Es wurde kein Text eingegeben!"_s : u"Suchtext: "_s + typed);
        return;
    }

    TntLabel1->setText(u"Suchtext: "_s);
    const QListWidgetItem *item = TntListBox1->currentItem();
    if (!item || !item->isSelected() || trimmed.isEmpty())
        return;
    if (copySwitchOn())
        m_ctx.services.clipboard.setText(trimmed);
    open(output::webSearchAddress(item->text(), typed));
    if (m_searchBar)
        m_searchBar->clear();

    m_host.refocusViewerSelection();
}

QColor WebPanel::selectionColor() const
{
    const QColor base = m_host.mainWindowBackground().value_or(
        colorOfText(m_ctx.state.colorText).value_or(toQColor(app::color::clHighlight)));
    return QColor(base.red() * 9 / 10, base.green() * 9 / 10, base.blue() * 9 / 10);
}

} // namespace vespira::gui
