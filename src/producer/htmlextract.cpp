#include "producer/htmlextract.h"

#include "producer/charset.h"
#include "producer/textbuilder.h"

#include <gumbo.h>

#include <array>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

namespace {

enum class Role : unsigned char { Inline, Skip, Block, Cell, Break, Pre, Title };

std::array<Role, GUMBO_TAG_LAST + 1> makeRoles()
{
    std::array<Role, GUMBO_TAG_LAST + 1> roles {};
    roles.fill(Role::Inline);
    for (const GumboTag tag : {GUMBO_TAG_SCRIPT, GUMBO_TAG_STYLE, GUMBO_TAG_TEMPLATE, GUMBO_TAG_NOSCRIPT,
                               GUMBO_TAG_HEAD, GUMBO_TAG_IFRAME, GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES})
        roles[tag] = Role::Skip;
    for (const GumboTag tag :
         {GUMBO_TAG_HTML,     GUMBO_TAG_BODY,       GUMBO_TAG_ADDRESS, GUMBO_TAG_ARTICLE,  GUMBO_TAG_ASIDE,
          GUMBO_TAG_BLOCKQUOTE, GUMBO_TAG_CENTER,   GUMBO_TAG_DETAILS, GUMBO_TAG_DD,
          GUMBO_TAG_DIR,      GUMBO_TAG_DIV,        GUMBO_TAG_DL,      GUMBO_TAG_DT,       GUMBO_TAG_FIELDSET,
          GUMBO_TAG_FIGCAPTION, GUMBO_TAG_FIGURE,   GUMBO_TAG_FOOTER,  GUMBO_TAG_FORM,     GUMBO_TAG_H1,
          GUMBO_TAG_H2,       GUMBO_TAG_H3,         GUMBO_TAG_H4,      GUMBO_TAG_H5,       GUMBO_TAG_H6,
          GUMBO_TAG_HEADER,   GUMBO_TAG_HGROUP,     GUMBO_TAG_HR,      GUMBO_TAG_LI,       GUMBO_TAG_MAIN,
          GUMBO_TAG_MENU,     GUMBO_TAG_NAV,        GUMBO_TAG_OL,      GUMBO_TAG_P,        GUMBO_TAG_SECTION,
          GUMBO_TAG_SUMMARY,  GUMBO_TAG_TABLE,      GUMBO_TAG_UL,      GUMBO_TAG_TR,       GUMBO_TAG_CAPTION,
          GUMBO_TAG_THEAD,    GUMBO_TAG_TBODY,      GUMBO_TAG_TFOOT,   GUMBO_TAG_LEGEND,   GUMBO_TAG_OPTION,
          GUMBO_TAG_FRAMESET, GUMBO_TAG_SELECT,     GUMBO_TAG_OPTGROUP})
        roles[tag] = Role::Block;
    for (const GumboTag tag : {GUMBO_TAG_TD, GUMBO_TAG_TH})
        roles[tag] = Role::Cell;
    for (const GumboTag tag : {GUMBO_TAG_BR, GUMBO_TAG_WBR})
        roles[tag] = tag == GUMBO_TAG_BR ? Role::Break : Role::Inline;
    for (const GumboTag tag : {GUMBO_TAG_PRE, GUMBO_TAG_LISTING, GUMBO_TAG_PLAINTEXT, GUMBO_TAG_XMP,
                               GUMBO_TAG_TEXTAREA})
        roles[tag] = Role::Pre;
    roles[GUMBO_TAG_TITLE] = Role::Title;
    return roles;
}

const std::array<Role, GUMBO_TAG_LAST + 1> &roles()
{
    static const auto table = makeRoles();
    return table;
}

Role roleOf(const GumboElement &element)
{
    // Elements of SVG and MathML flow like inline text; their <title> is no page title.
    if (element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return element.tag == GUMBO_TAG_SCRIPT || element.tag == GUMBO_TAG_STYLE ? Role::Skip : Role::Inline;
    return roles()[std::size_t(element.tag)];
}

void appendPreText(const char *text, TextBuilder &out)
{
    std::string_view rest(text);
    for (;;) {
        const std::size_t nl = rest.find('\n');
        out.text(rest.substr(0, nl));
        if (nl == std::string_view::npos)
            break;
        out.lineBreak();
        rest.remove_prefix(nl + 1);
    }
}

void appendChildrenText(const GumboNode *node, TextBuilder &out)
{
    const GumboVector &children = node->v.element.children;
    for (unsigned int i = 0; i < children.length; ++i) {
        const auto *child = static_cast<const GumboNode *>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_CDATA || child->type == GUMBO_NODE_WHITESPACE)
            out.text(child->v.text.text);
    }
}

const GumboNode *findTitle(const GumboNode *root)
{
    // Breadth of the document head first: the usual place of the title.
    std::vector<const GumboNode *> stack {root};
    while (!stack.empty()) {
        const GumboNode *node = stack.back();
        stack.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT)
            continue;
        if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_TITLE
            && node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML)
            return node;
        const GumboVector &children =
            node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
        for (unsigned int i = children.length; i-- > 0;)
            stack.push_back(static_cast<const GumboNode *>(children.data[i]));
    }
    return nullptr;
}

void appendBodyText(const GumboNode *root, TextBuilder &out)
{
    struct Frame
    {
        const GumboNode *node;
        unsigned int next;
        Role role;
    };
    // An explicit stack: deeply nested broken markup must not exhaust a thread's stack.
    std::vector<Frame> stack;
    stack.push_back({root, 0, Role::Block});
    int preDepth = 0;
    while (!stack.empty()) {
        Frame &frame = stack.back();
        const GumboVector &children = frame.node->type == GUMBO_NODE_DOCUMENT ? frame.node->v.document.children
                                                                              : frame.node->v.element.children;
        if (frame.next >= children.length) {
            if (frame.role == Role::Block)
                out.lineBreak();
            else if (frame.role == Role::Cell)
                out.space();
            else if (frame.role == Role::Pre) {
                --preDepth;
                out.lineBreak();
            }
            stack.pop_back();
            continue;
        }
        const auto *child = static_cast<const GumboNode *>(children.data[frame.next++]);
        switch (child->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_WHITESPACE:
            if (preDepth > 0)
                appendPreText(child->v.text.text, out);
            else
                out.text(child->v.text.text);
            break;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            const Role role = child->type == GUMBO_NODE_TEMPLATE ? Role::Skip : roleOf(child->v.element);
            if (role == Role::Skip || role == Role::Title)
                break;
            if (role == Role::Break) {
                out.lineBreak();
                break;
            }
            if (role == Role::Block || role == Role::Pre)
                out.lineBreak();
            else if (role == Role::Cell)
                out.space();
            if (role == Role::Pre)
                ++preDepth;
            stack.push_back({child, 0, role});
            break;
        }
        default:
            break;
        }
    }
}

} // namespace

void appendHtmlText(const std::string &utf8, TextBuilder &out)
{
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput *output = gumbo_parse_with_options(&options, utf8.data(), utf8.size());
    if (const GumboNode *title = findTitle(output->document)) {
        appendChildrenText(title, out);
        out.lineBreak();
    }
    appendBodyText(output->document, out);
    out.lineBreak();
    gumbo_destroy_output(&options, output);
}

Extracted extractHtml(QByteArrayView bytes, QByteArrayView charsetHint)
{
    Extracted result;
    const Decoded decoded = decodeDocument(bytes, charsetHint, true);
    if (decoded.binary) {
        result.error = u"keine Textdatei (enthält Binärdaten)"_s;
        return result;
    }
    TextBuilder builder;
    appendHtmlText(decoded.utf8, builder);
    result.text = builder.take();
    return result;
}

} // namespace vespira::producer
