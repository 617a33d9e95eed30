#include "producer/indexer.h"

#include "producer/htmlextract.h"
#include "producer/mimeextract.h"

#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/common/textfile.h"
#include "core/db/dbfiles.h"
#include "core/db/filelist.h"
#include "core/index/builder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <signal.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

namespace {

constexpr qint64 MaxDocumentBytes = 256LL * 1024 * 1024;
constexpr char Extensions[] = "htm;html;xhtml;mht;mhtml;eml";

enum class Kind { Html, Mime };

struct Job
{
    QString path;     // native, absolute
    QString docPath;  // as the database writes it
    Kind kind = Kind::Html;
    qint64 size = 0;
};

struct Result
{
    bool ready = false;
    QString error;
    QByteArray block; // text of the block without its marker line, in the file's encoding
    qint64 inputBytes = 0;
};

std::optional<Kind> kindOf(const QString &fileName)
{
    const QString lower = fileName.toLower();
    for (const auto *ext : {u".htm", u".html", u".xhtml"}) {
        if (lower.endsWith(QStringView(ext)))
            return Kind::Html;
    }
    for (const auto *ext : {u".mht", u".mhtml", u".eml"}) {
        if (lower.endsWith(QStringView(ext)))
            return Kind::Mime;
    }
    return std::nullopt;
}

bool representable(const QString &path)
{
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c == u'\\' || c == QChar::ReplacementCharacter)
            return false;
    }
    return true;
}

// All documents below the folders, in path order; folders that cannot be read are reported.
std::vector<Job> collect(const QStringList &folders, const SkipFn &onSkip, qint64 &skipped)
{
    std::vector<Job> jobs;
    for (const QString &folder : folders) {
        std::vector<QString> pending {folder};
        while (!pending.empty()) {
            const QString dirPath = pending.back();
            pending.pop_back();
            QDir dir(dirPath);
            if (!dir.isReadable()) {
                onSkip(dirPath, u"Der Ordner kann nicht gelesen werden."_s);
                ++skipped;
                continue;
            }
            // Hidden entries are left out; symbolic links are not followed, so no loops.
            const QFileInfoList entries = dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
            for (const QFileInfo &info : entries) {
                if (info.isSymLink())
                    continue;
                if (info.isDir()) {
                    pending.push_back(info.absoluteFilePath());
                    continue;
                }
                const auto kind = kindOf(info.fileName());
                if (!kind || !info.isFile())
                    continue;
                const QString path = info.absoluteFilePath();
                if (!representable(path)) {
                    onSkip(path, u"Der Dateiname lässt sich nicht als Dokumentpfad schreiben."_s);
                    ++skipped;
                    continue;
                }
                jobs.push_back({path, windowsPath(path), *kind, info.size()});
            }
        }
    }
    std::sort(jobs.begin(), jobs.end(), [](const Job &a, const Job &b) { return a.path < b.path; });
    jobs.erase(std::unique(jobs.begin(), jobs.end(), [](const Job &a, const Job &b) { return a.path == b.path; }),
               jobs.end());
    return jobs;
}

Result extract(const Job &job)
{
    Result result;
    try {
        if (job.size > MaxDocumentBytes) {
            result.error = u"Die Datei ist größer als 256 MB."_s;
            return result;
        }
        QFile file(job.path);
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = u"Die Datei kann nicht gelesen werden: "_s + file.errorString();
            return result;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            result.error = u"Die Datei kann nicht gelesen werden: "_s + file.errorString();
            return result;
        }
        result.inputBytes = bytes.size();
        const Extracted extracted = job.kind == Kind::Html ? extractHtml(bytes) : extractMime(bytes);
        if (!extracted.error.isEmpty()) {
            result.error = extracted.error;
            return result;
        }
        if (job.kind == Kind::Html) {
            result.block = QByteArray(extracted.text.data(), qsizetype(extracted.text.size()));
        } else {
            QStringEncoder encoder(QStringConverter::Utf16LE);
            result.block = encoder.encode(QString::fromUtf8(extracted.text.data(), qsizetype(extracted.text.size())));
        }
    } catch (const std::exception &e) {
        result.error = u"Die Datei kann nicht verarbeitet werden: "_s + QString::fromLocal8Bit(e.what());
    }
    return result;
}

// One output file under its temporary name; removed unless committed.
class TempOutput
{
public:
    TempOutput(const QString &programFolder, const QString &name, const QString &suffix)
        : m_final(db::filePath(programFolder, name, suffix))
        , m_file(programFolder + QString::fromUtf16(paths::Datenbank) + u'.' + name + suffix + u'.'
                 + QString::number(::getpid()) + u".tmp"_s)
    {
    }
    TempOutput(const TempOutput &) = delete;
    TempOutput &operator=(const TempOutput &) = delete;
    ~TempOutput()
    {
        if (!m_committed) {
            m_file.close();
            QFile::remove(m_file.fileName());
        }
    }

    // Unbuffered, so a write the disk takes only in part fails here and now; a buffered one
    // could be flushed later as if it had gone through.
    void write(const QByteArray &bytes)
    {
        if (!m_file.isOpen() && !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            fail();
        const qint64 written = m_file.write(bytes);
        if (written != bytes.size())
            fail(writeFailureReason(m_file, written, bytes.size()));
        m_size += bytes.size();
    }
    qint64 size() const { return m_size; }
    bool used() const { return m_file.isOpen() || m_finished; }
    QString tempPath() const { return m_file.fileName(); }
    const QString &finalPath() const { return m_final; }

    // Everything on disk before the rename, so a crash never leaves a half file in place.
    void finish()
    {
        if (m_finished)
            return;
        if (!m_file.flush() || ::fsync(m_file.handle()) != 0)
            fail();
        m_file.close();
        m_finished = true;
    }
    void commit()
    {
        if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_final).constData()) != 0)
            throw Error(u"Die Datei \"%1\" kann nicht angelegt werden: %2"_s.arg(m_final, QString::fromLocal8Bit(std::strerror(errno))));
        m_committed = true;
    }

private:
    // Names the file the user will look for, not its temporary name.
    [[noreturn]] void fail(const QString &reason = {})
    {
        throw Error(u"Die Datei \"%1\" kann nicht geschrieben werden: %2"_s.arg(
            QDir::toNativeSeparators(m_final), reason.isEmpty() ? m_file.errorString() : reason));
    }

    QString m_final;
    QFile m_file;
    qint64 m_size = 0;
    bool m_finished = false;
    bool m_committed = false;
};

// Temporary files of runs that were killed: their process no longer exists.
void removeOrphans(const QString &dataFolder, const QString &name)
{
    const QStringList entries = QDir(dataFolder).entryList({u"."_s + name + u"*.tmp"_s}, QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        const QStringList parts = entry.split(u'.');
        if (parts.size() < 3)
            continue;
        bool ok = false;
        const qint64 pid = parts.at(parts.size() - 2).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(dataFolder + entry);
    }
}

// The trigram index of a collected file, read from its finished temporary file, so that it
// is renamed into place together with the text it describes. False when cancelled.
bool writeTrigrams(TempOutput &text, TempOutput &titles, TempOutput &out, index::IndexedText kind,
                   const QString &scratchPath, const std::function<bool()> &keepGoing)
{
    if (!text.used())
        return true;
    text.finish();
    titles.finish();
    index::BuildInput input;
    input.collectedPath = text.tempPath();
    input.titlesPath = titles.tempPath();
    input.kind = kind;
    input.scratchPath = scratchPath;
    const auto result = index::buildTrigramIndex(input, [&](const QByteArray &bytes) { out.write(bytes); },
                                                 [&](qint64, qint64) { return keepGoing(); });
    return !result.cancelled;
}

// Reads and extracts on worker threads; hands results to the writer in job order.
class Pipeline
{
public:
    Pipeline(const std::vector<Job> &jobs, int threads)
        : m_jobs(jobs)
        , m_results(jobs.size())
        , m_window(std::size_t(threads) * 4 + 8)
    {
        for (int i = 0; i < threads; ++i)
            m_workers.emplace_back([this] { work(); });
    }
    Pipeline(const Pipeline &) = delete;
    Pipeline &operator=(const Pipeline &) = delete;
    ~Pipeline()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_spaceFree.notify_all();
        for (auto &worker : m_workers)
            worker.join();
    }

    // The result of job i, once it is ready; nullopt when `keepGoing` says stop while waiting.
    template<typename KeepGoing>
    std::optional<Result> take(std::size_t i, KeepGoing keepGoing)
    {
        std::unique_lock lock(m_mutex);
        while (!m_results[i].ready) {
            if (m_resultReady.wait_for(lock, std::chrono::milliseconds(200)) == std::cv_status::timeout) {
                lock.unlock();
                const bool go = keepGoing();
                lock.lock();
                if (!go)
                    return std::nullopt;
            }
        }
        Result result = std::move(m_results[i]);
        m_results[i] = Result {};
        m_written = i + 1;
        lock.unlock();
        m_spaceFree.notify_all();
        return result;
    }

private:
    void work()
    {
        for (;;) {
            std::size_t i;
            {
                std::unique_lock lock(m_mutex);
                m_spaceFree.wait(lock, [this] { return m_stop || m_next >= m_jobs.size() || m_next < m_written + m_window; });
                if (m_stop || m_next >= m_jobs.size())
                    return;
                i = m_next++;
            }
            Result result = extract(m_jobs[i]);
            result.ready = true;
            {
                std::lock_guard lock(m_mutex);
                m_results[i] = std::move(result);
            }
            m_resultReady.notify_all();
        }
    }

    const std::vector<Job> &m_jobs;
    std::vector<Result> m_results;
    std::size_t m_window;
    std::size_t m_next = 0;
    std::size_t m_written = 0;
    bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_resultReady;
    std::condition_variable m_spaceFree;
    std::vector<std::thread> m_workers;
};

QByteArray utf16le(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return encoder.encode(text);
}

} // namespace

QString windowsPath(const QString &nativeAbsolutePath)
{
    QString path = nativeAbsolutePath;
    path.replace(u'/', u'\\');
    return u"Z:"_s + path;
}

QString checkDatabaseName(const QString &name)
{
    if (name.isEmpty())
        return u"Der Datenbankname ist leer."_s;
    if (name.startsWith(u'.'))
        return u"Der Datenbankname darf nicht mit einem Punkt beginnen."_s;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            return u"Der Datenbankname darf keines der Zeichen / \\ : * ? \" < > | und keine Steuerzeichen enthalten."_s;
    }
    if (name.endsWith(u' '))
        return u"Der Datenbankname darf nicht mit einem Leerzeichen enden."_s;
    const QString lower = name.toLower();
    // The catalog hides such names or cuts its first ".dat" out of them.
    if (lower.endsWith(u"_mht"_s) || lower.endsWith(u"_temp"_s) || lower.contains(u".dat"_s))
        return u"Der Datenbankname darf nicht auf \"_mht\" oder \"_temp\" enden und kein \".dat\" enthalten."_s;
    return {};
}

IndexSummary buildDatabase(const IndexOptions &options, const IndexProgressFn &progress, const SkipFn &onSkip)
{
    QElapsedTimer clock;
    clock.start();
    IndexSummary summary;

    if (const QString problem = checkDatabaseName(options.name); !problem.isEmpty())
        throw Error(problem);
    if (options.folders.isEmpty())
        throw Error(u"Es wurde kein Ordner mit Dokumenten angegeben."_s);
    QStringList folders;
    for (const QString &folder : options.folders) {
        const QFileInfo info(folder);
        if (!info.isDir())
            throw Error(u"Der Ordner \"%1\" existiert nicht."_s.arg(folder));
        folders.append(QDir::cleanPath(info.absoluteFilePath()));
    }

    const QString programFolder = paths::withSlash(options.programFolder);
    const QString dataFolder = programFolder + QString::fromUtf16(paths::Datenbank);
    if (!QDir().mkpath(dataFolder))
        throw Error(u"Kann das Verzeichnis %1 nicht anlegen!"_s.arg(dataFolder));

    QString name = options.name;
    const QString existingList = paths::resolveNoCase(dataFolder, name + QString::fromUtf16(db::suffix::FileList));
    if (QFileInfo(existingList).isFile()) {
        if (!options.replace)
            throw Error(u"Die Datenbank \"%1\" existiert bereits. Mit --replace wird sie ersetzt."_s.arg(name));
        // Keep the name as the catalog shows it, so the new files replace the old ones.
        const QString fileName = QFileInfo(existingList).fileName();
        name = fileName.left(fileName.size() - 4);
    }
    summary.name = name;
    removeOrphans(dataFolder, name);

    const std::vector<Job> jobs = collect(folders, onSkip, summary.skipped);
    if (jobs.empty())
        throw Error(u"In den Ordnern gibt es keine HTML-, MHT- oder EML-Dokumente."_s);

    IndexProgress state;
    state.filesTotal = qint64(jobs.size());
    for (const Job &job : jobs)
        state.bytesTotal += job.size;

    TempOutput list(programFolder, name, QString::fromUtf16(db::suffix::FileList));
    TempOutput utf8Text(programFolder, name, QString::fromUtf16(db::suffix::Utf8Text));
    TempOutput utf8Titles(programFolder, name, QString::fromUtf16(db::suffix::Utf8Titles));
    TempOutput mhtText(programFolder, name, QString::fromUtf16(db::suffix::MhtText));
    TempOutput mhtTitles(programFolder, name, QString::fromUtf16(db::suffix::MhtTitles));

    list.write(QByteArray(db::HeaderKey) + windowsPath(folders.first()).toUtf8() + ';' + Extensions + "\r\n");

    const int threads = options.threads > 0 ? options.threads : std::max(1, QThread::idealThreadCount());
    {
        Pipeline pipeline(jobs, std::min<int>(threads, int(jobs.size())));
        const auto keepGoing = [&] { return !progress || progress(state); };
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const Job &job = jobs[i];
            std::optional<Result> result = pipeline.take(i, keepGoing);
            if (!result) {
                summary.cancelled = true;
                break;
            }
            ++state.filesDone;
            state.bytesDone += job.size;

            const bool html = job.kind == Kind::Html;
            TempOutput &text = html ? utf8Text : mhtText;
            TempOutput &titles = html ? utf8Titles : mhtTitles;
            QByteArray marker;
            if (result->error.isEmpty()) {
                const QString markerLine = u"#"_s + job.docPath + u"\r\n"_s;
                marker = html ? markerLine.toUtf8() : utf16le(markerLine);
                if (text.size() + marker.size() + result->block.size() > options.maxCollectedBytes)
                    result->error = u"Die Sammeldatei würde größer als %1 Bytes."_s.arg(options.maxCollectedBytes);
            }
            if (!result->error.isEmpty()) {
                onSkip(job.path, result->error);
                ++summary.skipped;
            } else {
                const QByteArray path = job.docPath.toUtf8();
                titles.write(QByteArray::number(text.size()) + " #" + path + "\r\n");
                text.write(marker);
                text.write(result->block);
                list.write(path + "\r\n");
                ++summary.documents;
                summary.htmlBytes += result->inputBytes;
            }
            if (progress && !progress(state)) {
                summary.cancelled = true;
                break;
            }
        }
    }
    summary.textBytes = utf8Text.size() + mhtText.size();
    summary.seconds = double(clock.nsecsElapsed()) / 1e9;
    if (summary.cancelled)
        return summary; // the temporary files go with their guards
    if (summary.documents == 0)
        throw Error(u"Keines der Dokumente konnte gelesen werden; die Datenbank wurde nicht angelegt."_s);

    TempOutput utf8Index(programFolder, name, QString::fromUtf16(db::suffix::Utf8Trigrams));
    TempOutput mhtIndex(programFolder, name, QString::fromUtf16(db::suffix::MhtTrigrams));
    {
        const auto keepGoing = [&] { return !progress || progress(state); };
        const QString scratch = dataFolder + u'.' + name + u"_Trigramme.runs."_s + QString::number(::getpid()) + u".tmp"_s;
        if (!writeTrigrams(utf8Text, utf8Titles, utf8Index, index::IndexedText::Utf8, scratch, keepGoing)
            || !writeTrigrams(mhtText, mhtTitles, mhtIndex, index::IndexedText::Utf16LE, scratch, keepGoing)) {
            summary.cancelled = true;
            return summary;
        }
        summary.indexBytes = utf8Index.size() + mhtIndex.size();
    }

    std::vector<TempOutput *> produced;
    for (TempOutput *output : {&utf8Text, &utf8Titles, &utf8Index, &mhtText, &mhtTitles, &mhtIndex, &list}) {
        if (output->used()) {
            output->finish();
            produced.push_back(output);
        }
    }
    // The file list last: until it is renamed, the catalog still sees the old database.
    for (TempOutput *output : produced)
        output->commit();

    // Files an earlier database of this name left and this one did not write describe other
    // text: they go, except the user's search-text lists.
    const QStringList relative = db::allRelativeFiles(name);
    for (const QString &file : relative) {
        if (file.startsWith(QString::fromUtf16(paths::Suchwoerterlisten)))
            continue;
        const QString onDisk = db::filePath(programFolder, name, QFileInfo(file).fileName().mid(name.size()));
        const bool fresh = std::any_of(produced.begin(), produced.end(),
                                       [&](const TempOutput *o) { return o->finalPath() == onDisk; });
        if (!fresh && QFileInfo(onDisk).isFile())
            QFile::remove(onDisk);
    }
    summary.seconds = double(clock.nsecsElapsed()) / 1e9;
    return summary;
}

} // namespace vespira::producer
