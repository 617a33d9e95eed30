#pragma once

// Collects the plain text of one document as UTF-8 lines ending in CR LF.
//
//   TextBuilder b;
//   b.text("Hello,   world");   // runs of white space collapse to one blank
//   b.lineBreak();              // ends the line; empty lines never appear
//   std::string lines = b.take();
//
// Text that would read as a document marker ("#" + one character + ":\") gets a blank
// after its "#", so no document line can open a block of its own in the collected file.

#include <string>
#include <string_view>

namespace vespira::producer {

class TextBuilder
{
public:
    void text(std::string_view utf8);
    // A word boundary that is not a line break (between table cells, say).
    void space() { m_pendingSpace = !m_line.empty(); }
    void lineBreak();
    bool empty() const { return m_out.empty() && m_line.empty(); }
    // Bytes of the lines ended so far: a position for insertLines.
    std::size_t size() const { return m_out.size(); }
    // Puts finished lines (another builder's take()) at a position size() gave earlier.
    void insertLines(std::size_t at, std::string_view lines) { m_out.insert(at, lines); }
    // Everything collected, the last line ended; the builder is empty afterwards.
    std::string take();

private:
    std::string m_out;
    std::string m_line;
    bool m_pendingSpace = false;
};

// Inserts a blank after every "#" that stands before one character and ":\".
void defuseMarkers(std::string &line);

} // namespace vespira::producer
