// The MHT / EML extractor on arbitrary bytes.

#include "fuzz_extract_check.h"

#include "producer/mimeextract.h"

#include <cstdint>

using namespace vespira;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const producer::Extracted e = producer::extractMime(bytes);
    if (e.error.isEmpty())
        fuzz::checkExtractedText(e.text);
    return 0;
}
