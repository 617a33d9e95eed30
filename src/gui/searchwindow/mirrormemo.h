#pragma once

#include <QMargins>
#include <QPlainTextEdit>

namespace vespira::gui {

// The memo mirror laid over the text viewer: read-only text holding the lines the viewer
// painted last, so the user can select and copy them. It shows those lines where the viewer
// paints them, at the viewer's line pitch inside the viewer's text area, and never scrolls on
// its own: its first line is always the viewer's first line, and the wheel goes through to
// the viewer beneath. Otherwise the user would read another page than the one the viewer
// pages by.
class MirrorMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit MirrorMemo(QWidget *parent = nullptr);

    // pitch: the viewer's line height; textMargins: from the memo's edges to where the
    // viewer's first line starts and its text area ends.
    void matchLines(int pitch, const QMargins &textMargins);
    int pitch() const;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    class FixedPitchLayout;
    FixedPitchLayout *m_layout = nullptr;
};

} // namespace vespira::gui
