#pragma once

// What the text extraction does with an HTML element, looked up by its lower-case name.
//
//   Skip       its whole content is left out (scripts, styles, embedded alternatives)
//   Block      ends the line before and after it
//   Table      a block that makes the table parts inside it count
//   TableBlock a block inside a table (rows, row groups, caption), else inline
//   Cell       inside a table a word boundary before and after it, else inline
//   Break      ends the line, has no content (<br>)
//   Pre        keeps the line ends of its text
//   Plaintext  everything after its start tag is text, markup included
//   Title      the document's title, which the extraction writes first
//   Foreign    SVG and MathML: their <title> is a tooltip, not the page title
//   Inline     flows with the text around it

#include <string_view>

namespace vespira::producer {

enum class Role : unsigned char { Inline, Skip, Block, Table, TableBlock, Cell, Break, Pre, Plaintext, Title, Foreign };

Role htmlRole(std::string_view lowerName);

// Inside SVG and MathML everything flows as text except their scripts and styles.
inline Role foreignRole(std::string_view lowerName)
{
    if (lowerName == "script" || lowerName == "style")
        return Role::Skip;
    return lowerName == "svg" || lowerName == "math" ? Role::Foreign : Role::Inline;
}

} // namespace vespira::producer
