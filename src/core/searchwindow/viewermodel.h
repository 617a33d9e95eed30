#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <optional>

namespace vespira::searchwindow {

// How the viewer reads characters: one byte each (shown in windows-1252) or UTF-16LE.
enum class ViewerMode { vbmodeText, vbmodeUnicode };

// How painted lines are carried into the memo mirror of the document view.
enum class MirrorMode { Ansi, Utf8, Utf16 };

// One painted line of the viewer.
struct ViewLine
{
    qint64 start = 0; // byte offset of its first character
    qint64 end = 0;   // byte offset just after its last character (line break excluded)
    qint64 next = 0;  // byte offset of the following line (after the line break, if any)
    bool hardBreak = false; // ended by CR/LF or the end of the file, not by wrapping
    QString text;           // as painted: tabs expanded, control characters as blanks
    // Byte offset (relative to start) of every character of text, plus one entry for end.
    QList<int> offsets;
};

// The paging data model behind the text viewer: a file opened read-only, of any size,
// shown as lines without ever reading it whole.
//
// Invariants:
// - Only a buffer of three consecutive blocks of kBlockChars characters around the last
//   accessed position is in memory; any access outside it re-reads the buffer.
// - In vbmodeUnicode every view position and line start is even; a trailing odd byte is
//   not part of the text. Selections may start at odd offsets (the find in the view
//   reports them); they cover every character one of their bytes touches.
// - Lines end at LF (a following CR belongs to it) or CR (a following LF belongs to it),
//   after kMaxLineChars characters, or when the next character would pass the wrap width.
// - viewPosition() is always the start of a line.
// - The file size is taken at the open. When the file shrinks afterwards, the bytes still
//   there are shown; only positions past its new end fail to read.
//
// Read failures are reported by lastError() and the *Failed flags; no function throws
// except those that say so.
class ViewerModel
{
public:
    static constexpr int kMaxLineChars = 2048;
    static constexpr qint64 kBlockChars = 200 * qint64(kMaxLineChars);
    static constexpr int kTabSize = 8;
    // How far back the start of a long unbroken line is looked for; beyond it, lines are
    // counted from this distance instead.
    static constexpr qint64 kScanBackChars = 16 * qint64(kMaxLineChars);
    static constexpr int kMaxScrollSteps = 32767;
    // Copying or carrying larger selections would exhaust memory; they are refused.
    static constexpr qint64 kMaxSelectionTextBytes = 64LL * 1024 * 1024;

    ViewerModel() = default;
    ViewerModel(const ViewerModel &) = delete;
    ViewerModel &operator=(const ViewerModel &) = delete;

    // Opens fileName for reading. The same name as the open file does nothing and returns
    // true; an empty name closes the file. On failure the model is empty, lastError() holds
    // "Cannot open file: \"<name>\"" and false is returned.
    bool open(const QString &fileName);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_fileName; }
    qint64 fileSize() const { return m_size; }

    ViewerMode mode() const { return m_mode; }
    void setMode(ViewerMode mode);
    int charSize() const { return m_mode == ViewerMode::vbmodeUnicode ? 2 : 1; }

    // Wrapping at a width in characters (columns, tabs counted expanded); 0 = no wrap.
    void setWrapWidth(int columns);
    int wrapWidth() const { return m_wrapWidth; }
    // Number of fully visible lines (a page); at least 1.
    void setPageLines(int lines);
    int pageLines() const { return m_pageLines; }

    // The size without a trailing partial character.
    qint64 textSize() const { return m_size - m_size % charSize(); }
    // The last character's offset, 0 for an empty file.
    qint64 lastPosition() const;

    qint64 viewPosition() const { return m_viewPos; }
    // Start of the line that holds offset (clamped into the text).
    qint64 lineStartContaining(qint64 offset);
    // The view position that shows the last page full; 0 when everything fits one page.
    qint64 lastPageStart();
    bool wholeTextFits() { return lastPageStart() == 0; }

    // offset <= 0: the start; offset >= lastPosition(): the last page; otherwise the line
    // holding offset becomes the first line. Returns whether the view position changed.
    bool scrollToOffset(qint64 offset);
    // One line (as the Down and Up keys); stops at the start and at the last page.
    bool scrollLines(int count, bool down);
    bool scrollPage(bool down);
    bool scrollToStart() { return setViewPosition(0); }
    bool scrollToEnd() { return setViewPosition(lastPageStart()); }

    // The scroll bar: at most kMaxScrollSteps steps over the file.
    int scrollMaximum();
    int scrollValue();
    bool scrollToValue(int value);

    // The lines from the view position, at most count; they stop where the bytes end.
    // readFailed() tells whether the bytes at the view position could not be read.
    QList<ViewLine> visibleLines(int count);
    bool readFailed() const { return m_readFailed; }
    ViewLine layoutLine(qint64 start);

    // Selection in bytes; length 0 = none.
    qint64 selectionStart() const { return m_selStart; }
    qint64 selectionLength() const { return m_selLength; }
    // A negative start or length, or a start beyond the end, is ignored (false); otherwise
    // stored, clamped to the file. With scroll, the line of start is put indentLines lines
    // below the top (fewer near the start of the file).
    bool setSelection(qint64 start, qint64 length, bool scroll, int indentLines = 5);
    void clearSelection() { m_selStart = 0; m_selLength = 0; }
    void selectAll();
    // Selects the line around offset: from just after the nearest CR or LF before it to
    // just before the nearest CR or LF at or after it, at most kMaxLineChars characters
    // each way. Does not scroll.
    void selectLine(qint64 offset);
    bool isSelected(qint64 charOffset) const;

    // The selected bytes, widened to whole characters (fewer when the file shrank). Throws
    // vespira::Error when none can be read or the selection is larger than
    // kMaxSelectionTextBytes.
    QByteArray selectedBytes();
    // 8-bit text (windows-1252) in vbmodeText, Unicode in vbmodeUnicode.
    QString selectedText();
    // What copy puts on the clipboard: UTF-16 in vbmodeUnicode, else UTF-8 in the UTF-8
    // mirror mode, else windows-1252; NUL becomes a blank.
    QString copyText(MirrorMode mirror);

    // The bytes of a line (without its break), for the memo mirror.
    QByteArray lineBytes(const ViewLine &line);

    QString lastError() const { return m_lastError; }

    // The character at offset (a byte, or a UTF-16 unit); -1 outside the text or when the
    // file cannot be read.
    int charAt(qint64 offset);

private:
    bool setViewPosition(qint64 pos);
    bool ensureBuffered(qint64 offset);
    qint64 logicalAnchor(qint64 offset);
    // Where the line starting at start ends, without building its text.
    qint64 measureLine(qint64 start, bool *hardBreak = nullptr);
    qint64 previousLineStart(qint64 pos);
    qint64 align(qint64 offset) const { return offset - offset % charSize(); }
    void invalidateLayout() { m_lastPageStart.reset(); }
    QByteArray readRange(qint64 from, qint64 length);

    QFile m_file;
    QString m_fileName;
    qint64 m_size = 0;
    ViewerMode m_mode = ViewerMode::vbmodeText;
    int m_wrapWidth = 0;
    int m_pageLines = 1;

    QByteArray m_buffer;
    qint64 m_bufferStart = 0;

    qint64 m_viewPos = 0;
    qint64 m_selStart = 0;
    qint64 m_selLength = 0;
    bool m_readFailed = false;
    QString m_lastError;
    std::optional<qint64> m_lastPageStart;
};

// The memo mirror's conversions of a painted line's bytes.
// ANSI kind: UTF-8 read leniently: a valid two- or three-byte sequence gives one character,
// every other byte the character with its own number.
QString mirrorFromAnsi(QByteArrayView bytes);
// UTF-8 kind: UTF-8, with U+0C00 and U+0C4D shown as blanks.
QString mirrorFromUtf8(QByteArrayView bytes);

// Turns painted lines into memo mirror lines. A multi-byte UTF-8 sequence that a wrap cut
// in two is carried to the next line, so the character shows whole.
class MirrorLines
{
public:
    explicit MirrorLines(MirrorMode mode)
        : m_mode {mode}
    {
    }
    // bytes: the line's bytes; painted: its text as painted; continues: the line was
    // wrapped and its text goes on in the next line.
    QString take(const QByteArray &bytes, const QString &painted, bool continues);

private:
    MirrorMode m_mode;
    QByteArray m_carry;
};

// The length of the incomplete UTF-8 sequence at the end of bytes (0 to 3).
int incompleteUtf8Tail(QByteArrayView bytes);

} // namespace vespira::searchwindow
