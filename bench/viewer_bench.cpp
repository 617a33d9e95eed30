// Times the viewer's paging model and the find in the view on one large file.
//
//   viewer_bench --generate FILE MEGABYTES   writes a collected-text-like file
//   viewer_bench FILE PATTERN                 prints the timings, one "name value unit" a line
#include "core/searchwindow/findinviewer.h"
#include "core/searchwindow/viewermodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <unistd.h>

using namespace vespira::searchwindow;

namespace {

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

int generate(const QString &path, qint64 megabytes)
{
    static const char *words[] = {"Haus", "Fenster", "the", "und", "Größenänderung", "Suchmaschine",
                                  "document", "Verzeichnis", "über", "trampoline", "window", "der",
                                  "Datenbank", "quick", "brown", "fox", "Straße", "Ärger"};
    QByteArray block;
    auto *rng = QRandomGenerator::global();
    int doc = 0;
    while (block.size() < 8 * 1024 * 1024) {
        block += "#Z:\\home\\anna\\doc\\seite" + QByteArray::number(doc++) + ".htm\r\n";
        const int lines = rng->bounded(5, 40);
        for (int l = 0; l < lines; ++l) {
            const int n = rng->bounded(3, 25);
            for (int w = 0; w < n; ++w) {
                block += words[rng->bounded(int(sizeof words / sizeof *words))];
                block += ' ';
            }
            block += "\r\n";
        }
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    const qint64 target = megabytes * 1024 * 1024;
    for (qint64 written = 0; written < target; written += block.size())
        if (f.write(block.left(std::min<qint64>(block.size(), target - written))) < 0)
            return 1;
    return 0;
}

double ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// What a repaint needs: the lines of a page and their mirror form.
int paintPage(ViewerModel &m)
{
    MirrorLines mirror(MirrorMode::Utf8);
    int chars = 0;
    for (const ViewLine &l : m.visibleLines(m.pageLines() + 1))
        chars += mirror.take(m.lineBytes(l), l.text, !l.hardBreak).size();
    return chars;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QStringLiteral("--generate"))
        return generate(args.at(2), args.at(3).toLongLong());
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: viewer_bench FILE PATTERN | --generate FILE MEGABYTES\n");
        return 2;
    }
    const QString path = args.at(1);
    const QByteArray pattern = args.at(2).toUtf8();
    const long baseline = residentKb();

    ViewerModel m;
    m.setWrapWidth(120);
    m.setPageLines(40);
    QElapsedTimer t;
    t.start();
    if (!m.open(path))
        return 1;
    paintPage(m);
    std::printf("open_and_first_page %.2f ms\n", ms(t));
    t.restart();
    m.scrollToEnd();
    paintPage(m);
    std::printf("jump_to_end %.2f ms\n", ms(t));
    t.restart();
    m.scrollToOffset(m.fileSize() / 5 * 3 + 12345);
    paintPage(m);
    std::printf("jump_to_bookmark %.2f ms\n", ms(t));
    t.restart();
    for (int i = 0; i < 100; ++i)
        m.scrollPage(false);
    paintPage(m);
    std::printf("page_up_x100 %.2f ms\n", ms(t));
    m.scrollToValue(16000);
    paintPage(m);
    std::printf("viewer_resident_above_baseline %.1f MB\n", (residentKb() - baseline) / 1024.0);

    t.restart();
    MappedFileSearch search(path, pattern);
    qint64 hits = 0;
    for (qint64 at = search.next(0); at >= 0; at = search.next(at + 1))
        ++hits;
    const double seconds = ms(t) / 1000.0;
    std::printf("find_hits %lld\n", static_cast<long long>(hits));
    std::printf("find_scan %.2f s\n", seconds);
    std::printf("find_throughput %.2f GB/s\n", m.fileSize() / seconds / 1e9);
    return 0;
}
