// The HTML extractor (libxml2's HTML parser and our walk over its events) and the charset
// decoding on arbitrary bytes. The first byte chooses a charset hint, as a MIME part would
// give one. libxml2 itself is not instrumented here, so coverage guides through our side
// only; the parser is fuzzed where it is made.

#include "fuzz_extract_check.h"

#include "producer/charset.h"
#include "producer/htmlextract.h"

#include <cstdint>
#include <cstdlib>

using namespace vespira;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const hints[] = {"", "utf-8", "iso-8859-1", "windows-1252", "utf-16le",
                                        "utf-16be", "shift_jis", "no-such-charset"};
    const QByteArrayView hint(hints[data[0] % 8]);
    const QByteArrayView bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    for (const bool html : {true, false}) {
        const producer::Decoded d = producer::decodeDocument(bytes, hint, html);
        if (!d.binary && !producer::isValidUtf8(QByteArrayView(d.utf8.data(), qsizetype(d.utf8.size()))))
            std::abort();
    }
    (void)producer::declaredCharset(bytes);

    const producer::Extracted e = producer::extractHtml(bytes, hint);
    if (e.error.isEmpty())
        fuzz::checkExtractedText(e.text);
    return 0;
}
