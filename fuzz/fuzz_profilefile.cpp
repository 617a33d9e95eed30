// The profile-file reader (Adressen_Webseiten.txt) and the search-text list decoder on
// arbitrary bytes. The first line of the input names the section and key to look up.

#include "core/output/profilefile.h"
#include "core/output/webaddresses.h"
#include "core/searchwindow/searchtextlists.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const output::ProfileFile file(bytes);

    const qsizetype nl = bytes.indexOf('\n');
    const QList<QByteArray> names = (nl >= 0 ? bytes.first(nl) : QByteArray()).split('=');
    const QString section = QString::fromLatin1(names.value(0));
    const QString key = QString::fromLatin1(names.value(1));
    for (const int max : {0, 1, 254, 100000}) {
        const QString v = file.value(section, key, max);
        if (v.size() > max)
            std::abort();
    }
    const QString t1 = file.value(u"Themen1"_s, u"Liste"_s);
    const QString t2 = file.value(u"Themen2"_s, u"Liste"_s);
    for (const QString &topic : output::splitTopics(t1, t2)) {
        const QStringList addresses = output::splitAddresses(file.value(topic, u"Liste"_s));
        for (const QString &a : addresses)
            (void)output::webSearchAddress(a, u"C++ & 100%"_s);
    }

    (void)searchwindow::decodeByByteOrderMark(bytes);
    return 0;
}
