#include "producer/mimeextract.h"

#include "producer/charset.h"
#include "producer/textbuilder.h"

#include <gmime/gmime.h>

#include <cstring>
#include <mutex>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

namespace {

void initOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

void appendPlain(const std::string &utf8, TextBuilder &out)
{
    std::string_view rest(utf8);
    for (;;) {
        const std::size_t nl = rest.find('\n');
        out.text(rest.substr(0, nl));
        out.lineBreak();
        if (nl == std::string_view::npos)
            break;
        rest.remove_prefix(nl + 1);
    }
}

QByteArray partContent(GMimePart *part)
{
    GMimeDataWrapper *content = g_mime_part_get_content(part);
    if (!content)
        return {};
    GMimeStream *stream = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(content, stream);
    GByteArray *array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
    QByteArray bytes(reinterpret_cast<const char *>(array->data), qsizetype(array->len));
    g_object_unref(stream);
    return bytes;
}

void visitPart(GMimeObject *, GMimeObject *object, gpointer data)
{
    if (!GMIME_IS_PART(object))
        return;
    auto &out = *static_cast<TextBuilder *>(data);
    GMimeContentType *type = g_mime_object_get_content_type(object);
    const bool html = g_mime_content_type_is_type(type, "text", "html");
    const bool plain = g_mime_content_type_is_type(type, "text", "plain");
    if (!html && !plain)
        return;
    const QByteArray bytes = partContent(GMIME_PART(object));
    const char *charset = g_mime_content_type_get_parameter(type, "charset");
    const Decoded decoded = decodeDocument(bytes, charset ? QByteArrayView(charset) : QByteArrayView(), html);
    if (decoded.binary)
        return;
    out.lineBreak();
    if (html)
        appendHtmlText(decoded.utf8, out);
    else
        appendPlain(decoded.utf8, out);
}

void appendHeaderLine(const char *value, TextBuilder &out)
{
    if (!value)
        return;
    // Header values come back decoded but not necessarily valid UTF-8.
    const Decoded decoded = decodeDocument(QByteArrayView(value, qsizetype(std::strlen(value))), "utf-8", false);
    out.text(decoded.utf8);
    out.lineBreak();
}

} // namespace

Extracted extractMime(QByteArrayView bytes)
{
    initOnce();
    Extracted result;
    GMimeStream *stream = g_mime_stream_mem_new_with_buffer(bytes.data(), size_t(bytes.size()));
    GMimeParser *parser = g_mime_parser_new_with_stream(stream);
    g_object_unref(stream);
    GMimeMessage *message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    if (!message) {
        result.error = u"keine gültige MIME-Nachricht"_s;
        return result;
    }

    TextBuilder out;
    appendHeaderLine(g_mime_message_get_subject(message), out);
    if (InternetAddressList *from = g_mime_message_get_from(message); from && internet_address_list_length(from) > 0) {
        char *text = internet_address_list_to_string(from, nullptr, FALSE);
        appendHeaderLine(text, out);
        g_free(text);
    }
    appendHeaderLine(g_mime_object_get_header(GMIME_OBJECT(message), "Date"), out);

    GMimeObject *body = g_mime_message_get_mime_part(message);
    if (body && GMIME_IS_MULTIPART(body))
        g_mime_multipart_foreach(GMIME_MULTIPART(body), visitPart, &out);
    else if (body)
        visitPart(nullptr, body, &out);
    g_object_unref(message);
    result.text = out.take();
    return result;
}

} // namespace vespira::producer
