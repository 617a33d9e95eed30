#include "producer/htmlextract.h"

#include "producer/charset.h"
#include "producer/htmlroles.h"
#include "producer/legacyrefs.h"
#include "producer/textbuilder.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <exception>
#include <new>
#include <string_view>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

namespace {

// The text is UTF-8 already: a charset the document declares must not switch the decoder.
// Nothing is loaded from outside, and the parser's complaints are of no use to anyone.
constexpr int ParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING
    | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE;

std::string_view view(const xmlChar *text, int length)
{
    return {reinterpret_cast<const char *>(text), std::size_t(length)};
}

std::string_view view(const xmlChar *text)
{
    return {reinterpret_cast<const char *>(text)};
}

// Browsers read "</br>" as <br>; the parser drops it as an end tag without a start.
// Returns the text to parse: `html` itself, or `patched` with "</br" turned into "<br ".
std::string_view withStrayBreaksOpened(std::string_view html, std::string &patched)
{
    std::size_t at = html.find("</");
    while (at != std::string_view::npos) {
        if (at + 4 < html.size() && (html[at + 2] | 0x20) == 'b' && (html[at + 3] | 0x20) == 'r') {
            const char next = html[at + 4];
            if (next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\n' || next == '\r'
                || next == '\f') {
                if (patched.empty())
                    patched.assign(html);
                patched.replace(at, 4, "<br ");
            }
        }
        at = html.find("</", at + 2);
    }
    return patched.empty() ? html : std::string_view(patched);
}

// Follows the parser's element events with a stack of the roles in force and sends the
// character data to the body text, to the title, or nowhere.
//
// The parser hands on "&" and the name of a reference it does not know as two calls, both
// made before it moves on in the input; a "&" of "&amp;" comes with the input already past
// the ";". So an "&" waits for the next event, and only when the input has not moved in
// between is that event's text a name that may start a reference without ";".
class TextWalker
{
public:
    TextWalker(htmlParserCtxtPtr parser, TextBuilder &out)
        : m_parser(parser)
        , m_out(out)
        , m_titleAt(out.size())
    {
    }

    void start(std::string_view name)
    {
        if (m_stopped)
            return;
        flushAmpersand();
        if (m_skipDepth > 0 || m_titleDepth > 0) {
            push(m_skipDepth > 0 ? Role::Skip : Role::Title);
            return;
        }
        Role role = m_foreignDepth > 0 ? foreignRole(name) : htmlRole(name);
        // Browsers ignore the tags of table parts outside a table.
        if (role == Role::TableBlock)
            role = m_tableDepth > 0 ? Role::Block : Role::Inline;
        else if (role == Role::Cell && m_tableDepth == 0)
            role = Role::Inline;
        switch (role) {
        case Role::Block:
        case Role::Table:
        case Role::Pre:
            m_out.lineBreak();
            break;
        case Role::Cell:
            m_out.space();
            break;
        case Role::Break:
            m_out.lineBreak();
            role = Role::Inline;
            break;
        case Role::Title:
            m_capturingTitle = !m_titleSeen;
            m_titleSeen = true;
            break;
        case Role::Plaintext:
            m_out.lineBreak();
            role = Role::Pre;
            m_plaintextAt = xmlByteConsumed(m_parser);
            m_stopped = true;
            xmlStopParser(m_parser);
            break;
        default:
            break;
        }
        push(role);
    }

    void end()
    {
        if (m_stopped || m_open.empty())
            return;
        flushAmpersand();
        pop();
    }

    void characters(std::string_view text)
    {
        if (m_stopped || m_skipDepth > 0)
            return;
        const xmlChar *position = m_parser->input ? m_parser->input->cur : nullptr;
        if (m_ampersandPending) {
            m_ampersandPending = false;
            if (position == m_ampersandAt) {
                if (const std::size_t n = legacyReference(text, m_reference)) {
                    emit(m_reference);
                    emit(text.substr(n));
                    return;
                }
            }
            emit("&");
        }
        if (text == "&") {
            m_ampersandPending = true;
            m_ampersandAt = position;
            return;
        }
        emit(text);
    }

    void abandon(std::exception_ptr failure)
    {
        if (!m_failure)
            m_failure = std::move(failure);
        m_stopped = true;
        xmlStopParser(m_parser);
    }
    const std::exception_ptr &failure() const { return m_failure; }

    // Byte offset of the text after a <plaintext> start tag in the parsed input, or -1.
    long plaintextAt() const { return m_plaintextAt; }

    // Everything after <plaintext> is text; then every element still open ends.
    void finish(std::string_view rest)
    {
        m_stopped = false;
        flushAmpersand();
        if (!rest.empty())
            emit(rest);
        while (!m_open.empty())
            pop();
    }

private:
    void push(Role role)
    {
        m_open.push_back(role);
        switch (role) {
        case Role::Skip:
            ++m_skipDepth;
            break;
        case Role::Title:
            ++m_titleDepth;
            break;
        case Role::Pre:
            ++m_preDepth;
            break;
        case Role::Foreign:
            ++m_foreignDepth;
            break;
        case Role::Table:
            ++m_tableDepth;
            break;
        default:
            break;
        }
    }

    void pop()
    {
        const Role role = m_open.back();
        m_open.pop_back();
        switch (role) {
        case Role::Skip:
            --m_skipDepth;
            break;
        case Role::Title:
            if (--m_titleDepth == 0 && m_capturingTitle) {
                m_capturingTitle = false;
                m_out.insertLines(m_titleAt, m_title.take());
            }
            break;
        case Role::Table:
            --m_tableDepth;
            m_out.lineBreak();
            break;
        case Role::Block:
            m_out.lineBreak();
            break;
        case Role::Cell:
            m_out.space();
            break;
        case Role::Pre:
            --m_preDepth;
            m_out.lineBreak();
            break;
        case Role::Foreign:
            --m_foreignDepth;
            break;
        default:
            break;
        }
    }

    void flushAmpersand()
    {
        if (m_ampersandPending) {
            m_ampersandPending = false;
            emit("&");
        }
    }

    void emit(std::string_view text)
    {
        if (m_titleDepth > 0) {
            if (m_capturingTitle)
                m_title.text(text);
            return;
        }
        if (m_preDepth == 0) {
            m_out.text(text);
            return;
        }
        for (;;) {
            const std::size_t nl = text.find('\n');
            m_out.text(text.substr(0, nl));
            if (nl == std::string_view::npos)
                break;
            m_out.lineBreak();
            text.remove_prefix(nl + 1);
        }
    }

    htmlParserCtxtPtr m_parser;
    TextBuilder &m_out;
    const std::size_t m_titleAt; // the title goes before the body text, wherever it stood
    TextBuilder m_title;
    std::string m_reference;
    std::vector<Role> m_open; // one per element the parser has open
    int m_skipDepth = 0;
    int m_titleDepth = 0;
    int m_preDepth = 0;
    int m_foreignDepth = 0;
    int m_tableDepth = 0;
    bool m_titleSeen = false;
    bool m_capturingTitle = false; // inside the first title
    bool m_ampersandPending = false;
    const xmlChar *m_ampersandAt = nullptr; // parser input position when the "&" came
    bool m_stopped = false;
    long m_plaintextAt = -1;
    std::exception_ptr m_failure;
};

// No exception may cross the parser's C frames: the first one stops the parse and is
// thrown again once the parser is gone.
template <typename Step>
void guarded(void *context, Step &&step) noexcept
{
    auto &walk = *static_cast<TextWalker *>(context);
    try {
        step(walk);
    } catch (...) {
        walk.abandon(std::current_exception());
    }
}

htmlSAXHandler makeHandler()
{
    htmlSAXHandler handler {};
    handler.startElement = [](void *context, const xmlChar *name, const xmlChar **) {
        guarded(context, [name](TextWalker &walk) { walk.start(view(name)); });
    };
    handler.endElement = [](void *context, const xmlChar *) {
        guarded(context, [](TextWalker &walk) { walk.end(); });
    };
    handler.characters = [](void *context, const xmlChar *text, int length) {
        guarded(context, [text, length](TextWalker &walk) { walk.characters(view(text, length)); });
    };
    // Blanks between elements separate words all the same.
    handler.ignorableWhitespace = handler.characters;
    // Only the bodies of <script> and <style> come as such blocks.
    handler.cdataBlock = [](void *, const xmlChar *, int) {};
    return handler;
}

} // namespace

void appendHtmlText(const std::string &utf8, TextBuilder &out)
{
    std::string_view html(utf8);
    if (html.starts_with("\xEF\xBB\xBF"))
        html.remove_prefix(3);
    std::string patched;
    html = withStrayBreaksOpened(html, patched);

    // Sets up the parser's shared tables once, before worker threads parse at the same time.
    static const htmlSAXHandler handler = (xmlInitParser(), makeHandler());
    htmlSAXHandler sax = handler;
    htmlParserCtxtPtr parser = htmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
    if (!parser)
        throw std::bad_alloc();
    TextWalker walk(parser, out);
    parser->userData = &walk;
    htmlCtxtUseOptions(parser, ParseOptions);
    // The parser counts in int: a larger document goes in parts.
    constexpr std::size_t Part = std::size_t(1) << 30;
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(Part, html.size() - at);
        at += n;
        htmlParseChunk(parser, html.data() + at - n, int(n), at == html.size() ? 1 : 0);
    } while (at < html.size() && walk.plaintextAt() < 0 && !walk.failure());
    htmlFreeParserCtxt(parser);
    if (walk.failure())
        std::rethrow_exception(walk.failure());

    std::string_view rest;
    if (const long plaintext = walk.plaintextAt(); plaintext >= 0 && std::size_t(plaintext) <= html.size()) {
        const std::size_t gt = html.find('>', std::size_t(plaintext));
        rest = gt == std::string_view::npos ? std::string_view() : html.substr(gt + 1);
    }
    walk.finish(rest);
    out.lineBreak();
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
