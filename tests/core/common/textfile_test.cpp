#include "core/common/error.h"
#include "core/common/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

// No file of this process may grow beyond a few bytes while it lives: a write fails as it
// would on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {bytes, m_saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved {};
    void (*m_handler)(int) = SIG_DFL;
};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

TEST(AtomicWrite, FullDiskOrAFolderInTheWayLeavesTheEarlierFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Liste.txt"_s);
    writeFileAtomic(path, "vorher\r\n");

    // Small writes as well as large ones: the disk may take a small one only in part.
    for (const qsizetype size : {qsizetype {1000}, qsizetype {100000}}) {
        FileSizeLimit full(64);
        try {
            writeFileAtomic(path, QByteArray(size, 'x'));
            FAIL() << "a failed write of " << size << " bytes was reported as done";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), u"Die Datei \""_s + QDir::toNativeSeparators(path)
                                       + u"\" kann nicht geschrieben werden: nur 64 von %1 Bytes passten, "
                                         u"der Datenträger ist voll"_s.arg(size));
        }
    }
    EXPECT_EQ(readFile(path), "vorher\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {u"Liste.txt"_s});

    const QString folder = dir.filePath(u"Ordner.txt"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_THROW(writeFileAtomic(folder, "x"), Error);
    EXPECT_THROW(readWholeFile(folder), Error);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
