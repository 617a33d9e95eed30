#include "producer/progresstext.h"

#include <QLocale>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

QString progressText(const IndexProgress &progress, qint64 elapsedMs)
{
    const QLocale german(QLocale::German);
    if (progress.filesTotal > 0 && progress.filesDone >= progress.filesTotal)
        return u"Alle %1 Dokumente gelesen, der Suchindex wird geschrieben …"_s.arg(german.toString(progress.filesTotal));
    const double seconds = double(std::max<qint64>(elapsedMs, 1)) / 1000.0;
    const double rate = double(progress.bytesDone) / seconds;
    QString text = u"%1 von %2 Dokumenten, %3 MB/s"_s.arg(german.toString(progress.filesDone),
                                                            german.toString(progress.filesTotal),
                                                            german.toString(rate / 1e6, 'f', 1));
    if (progress.bytesDone > 0 && progress.bytesDone < progress.bytesTotal)
        text += u", noch %1 s"_s.arg(german.toString(qint64(double(progress.bytesTotal - progress.bytesDone) / rate + 0.5)));
    return text;
}

QString skipText(const QString &path, const QString &reason)
{
    return u"Übersprungen: "_s + path + u": "_s + reason;
}

} // namespace vespira::producer
