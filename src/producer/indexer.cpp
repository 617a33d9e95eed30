#include "producer/indexer.h"

#include "producer/htmlextract.h"
#include "producer/indexcarry.h"
#include "producer/mimeextract.h"
#include "producer/storedtexts.h"
#include "producer/tempoutput.h"

#include "core/common/error.h"
#include "core/common/paths.h"
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
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

namespace {

constexpr qint64 MaxDocumentBytes = 256LL * 1024 * 1024;

enum class Kind { Html, Mime };

struct Job
{
    QString path;     // native, absolute
    QString docPath;  // as the database writes it
    Kind kind = Kind::Html;
    DocumentStamp stamp;
    std::optional<StoredBlock> stored; // the unchanged text of an earlier build
};

struct Result
{
    bool ready = false;
    bool reused = false;          // the block is copied from job.stored, not in `block`
    bool endsWithLineEnd = false; // of a reused block
    QString error;
    QByteArray block; // text of the block without its marker line, in the file's encoding
    qint64 inputBytes = 0;
};

QByteArray utf16le(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return encoder.encode(text);
}

QByteArray markerOf(const Job &job)
{
    const QString line = u"#"_s + job.docPath + u"\r\n"_s;
    return job.kind == Kind::Html ? line.toUtf8() : utf16le(line);
}

bool representable(const QString &path)
{
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c == u'\\' || c == QChar::ReplacementCharacter)
            return false;
    }
    return true;
}

// One folder's entries: folders to pending, documents to jobs. Hidden entries are left out
// and symbolic links are not followed, so there are no loops. One system call per document
// and none for other files where the folder listing tells the type. False when the folder
// cannot be read.
bool listFolder(const QString &dirPath, const DocumentKinds &kinds, std::vector<QString> &pending,
                std::vector<Job> &jobs, const SkipFn &onSkip, qint64 &skipped)
{
    DIR *dir = ::opendir(QFile::encodeName(dirPath).constData());
    if (!dir)
        return false;
    const QString prefix = dirPath.endsWith(u'/') ? dirPath : dirPath + u'/';
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_LNK)
            continue;
        const QString fileName = QFile::decodeName(entry->d_name);
        if (entry->d_type == DT_DIR) {
            pending.push_back(prefix + fileName);
            continue;
        }
        const auto kind = fileKindOf(fileName);
        if (entry->d_type != DT_UNKNOWN && (entry->d_type != DT_REG || !kind || !kinds.takes(*kind)))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            pending.push_back(prefix + fileName);
            continue;
        }
        if (!S_ISREG(st.st_mode) || !kind || !kinds.takes(*kind))
            continue;
        const QString path = prefix + fileName;
        if (!representable(path)) {
            onSkip(path, u"Der Dateiname lässt sich nicht als Dokumentpfad schreiben."_s);
            ++skipped;
            continue;
        }
        const DocumentStamp stamp {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000};
        jobs.push_back({path, windowsPath(path), *kind == FileKind::Html ? Kind::Html : Kind::Mime, stamp, {}});
    }
    ::closedir(dir);
    return true;
}

// All documents below the folders, in path order; folders that cannot be read are reported.
std::vector<Job> collect(const QStringList &folders, const DocumentKinds &kinds, const SkipFn &onSkip, qint64 &skipped)
{
    std::vector<Job> jobs;
    for (const QString &folder : folders) {
        std::vector<QString> pending {folder};
        while (!pending.empty()) {
            const QString dirPath = pending.back();
            pending.pop_back();
            if (!listFolder(dirPath, kinds, pending, jobs, onSkip, skipped)) {
                onSkip(dirPath, u"Der Ordner kann nicht gelesen werden."_s);
                ++skipped;
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
        if (job.stored) {
            if (const auto check = checkStoredBlock(*job.stored, markerOf(job), job.kind == Kind::Mime)) {
                result.reused = true;
                result.endsWithLineEnd = check->endsWithLineEnd;
                return result;
            }
        }
        if (job.stamp.size > MaxDocumentBytes) {
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

// Asks keepGoing at the steps of an index build.
Progress stopUnless(const std::function<bool()> &keepGoing, CancelToken &stop)
{
    return Progress([keepGoing, &stop](qint64, qint64) {
        if (!keepGoing())
            stop.request();
    }, &stop);
}

// The trigram index of a collected file, read from its finished temporary file, so that it
// is renamed into place together with the text it describes. False when cancelled.
bool writeTrigrams(TempOutput &text, TempOutput &titles, TempOutput &out, index::IndexedText kind,
                   const QString &scratchPath, const std::function<bool()> &keepGoing)
{
    if (!text.used())
        return true;
    text.flush();
    titles.flush();
    index::BuildInput input;
    input.collectedPath = text.tempPath();
    input.titlesPath = titles.tempPath();
    input.kind = kind;
    input.scratchPath = scratchPath;
    CancelToken stop;
    const auto result = index::buildTrigramIndex(input, [&](const QByteArray &bytes) { out.write(bytes); },
                                                 stopUnless(keepGoing, stop));
    return !result.cancelled;
}

// Syncs the files side by side: each waits for the disk, together about as long as one.
void finishAll(const std::vector<TempOutput *> &outputs)
{
    std::vector<std::exception_ptr> failures(outputs.size());
    const auto finish = [&](size_t i) {
        try {
            outputs[i]->finish();
        } catch (...) {
            failures[i] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> others;
        for (size_t i = 1; i < outputs.size(); ++i)
            others.emplace_back(finish, i);
        if (!outputs.empty())
            finish(0);
    }
    for (const std::exception_ptr &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
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
        m_aheadBytes -= m_jobs[i].stamp.size;
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
                m_spaceFree.wait(lock, [this] {
                    return m_stop || m_next >= m_jobs.size() || m_next < m_written + m_window
                        || m_aheadBytes < AheadBytes;
                });
                if (m_stop || m_next >= m_jobs.size())
                    return;
                i = m_next++;
                m_aheadBytes += m_jobs[i].stamp.size;
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
    // Jobs a worker may start beyond the one the writer waits for: a number of them, and
    // more while their documents are small, so that a long document on one worker does not
    // leave the others idle.
    static constexpr qint64 AheadBytes = 32LL * 1024 * 1024;
    std::size_t m_window;
    qint64 m_aheadBytes = 0; // of the documents started and not yet written
    std::size_t m_next = 0;
    std::size_t m_written = 0;
    bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_resultReady;
    std::condition_variable m_spaceFree;
    std::vector<std::thread> m_workers;
};

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

IndexSummary buildDatabase(const IndexOptions &options, const IndexProgressFn &progress, const SkipFn &skipFn)
{
    const SkipFn onSkip = skipFn ? skipFn : [](const QString &, const QString &) {};
    QElapsedTimer clock;
    clock.start();
    IndexSummary summary;

    if (const QString problem = checkDatabaseName(options.name); !problem.isEmpty())
        throw Error(problem);
    if (options.folders.isEmpty())
        throw Error(u"Es wurde kein Ordner mit Dokumenten angegeben."_s);
    if (!options.kinds.any())
        throw Error(u"Es wurde keine Art von Dokumenten gewählt."_s);
    QStringList folders;
    for (const QString &folder : options.folders) {
        const QFileInfo info(folder);
        if (!info.isDir())
            throw Error(u"Der Ordner \"%1\" existiert nicht."_s.arg(folder));
        const QString clean = QDir::cleanPath(info.absoluteFilePath());
        if (!folders.contains(clean))
            folders.append(clean);
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

    std::vector<Job> jobs = collect(folders, options.kinds, onSkip, summary.skipped);

    if (jobs.empty())
        throw Error(u"In den Ordnern gibt es keine HTML-, MHT- oder EML-Dokumente."_s);

    std::optional<StoredTexts> stored;
    if (options.reuse) {
        stored = StoredTexts::load(programFolder, name);
        qint64 kept = 0;
        for (const Job &job : jobs)
            kept += stored->holds(job.docPath) ? 1 : 0;
        summary.removed = stored->documents() - kept;
    }
    // The collected files texts are copied from, open until the new ones are in place.
    QFile utf8Source(db::collectedTextPath(programFolder, name, db::TextKind::Utf8));
    QFile mhtSource(db::collectedTextPath(programFolder, name, db::TextKind::Mht));
    if (stored) {
        const auto open = [&](QFile &source, bool utf16) {
            if (!source.open(QIODevice::ReadOnly))
                stored->forget(utf16); // nothing to copy from: every such document is extracted
        };
        open(utf8Source, false);
        open(mhtSource, true);
        for (Job &job : jobs) {
            job.stored = stored->find(job.docPath, job.kind == Kind::Mime, job.stamp);
            if (job.stored)
                job.stored->fd = (job.kind == Kind::Mime ? mhtSource : utf8Source).handle();
        }
    }
    IndexCarry utf8Carry(programFolder, name, db::TextKind::Utf8, stored ? &*stored : nullptr);
    IndexCarry mhtCarry(programFolder, name, db::TextKind::Mht, stored ? &*stored : nullptr);


    IndexProgress state;
    state.filesTotal = qint64(jobs.size());
    for (const Job &job : jobs)
        state.bytesTotal += job.stamp.size;

    TempOutput list(programFolder, name, QString::fromUtf16(db::suffix::FileList));
    TempOutput utf8Text(programFolder, name, QString::fromUtf16(db::suffix::Utf8Text));
    TempOutput utf8Titles(programFolder, name, QString::fromUtf16(db::suffix::Utf8Titles));
    TempOutput mhtText(programFolder, name, QString::fromUtf16(db::suffix::MhtText));
    TempOutput mhtTitles(programFolder, name, QString::fromUtf16(db::suffix::MhtTitles));
    TempOutput sources(programFolder, name, QString::fromUtf16(db::suffix::Sources));
    TempOutput stamps(programFolder, name, QString::fromUtf16(db::suffix::DocumentStamps));

    // Where a collected file's index cannot be carried over, it is built while the file is
    // written, from its first block on.
    const auto scratchFor = [&](const char16_t *indexSuffix) -> QString {
        return dataFolder + u'.' + name + QString::fromUtf16(indexSuffix) + u".runs."_s + QString::number(::getpid())
            + u".tmp"_s;
    };
    std::optional<index::FollowingBuild> utf8Follow;
    std::optional<index::FollowingBuild> mhtFollow;

    list.write(QByteArray(db::HeaderKey) + windowsPath(folders.first()).toUtf8() + ';' + extensionList(options.kinds)
               + "\r\n");
    sources.write(encodeSources({folders, options.kinds}));
    stamps.write(stampsHeader());

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
            state.bytesDone += job.stamp.size;

            const bool html = job.kind == Kind::Html;
            TempOutput &text = html ? utf8Text : mhtText;
            TempOutput &titles = html ? utf8Titles : mhtTitles;
            QByteArray marker;
            if (result->error.isEmpty()) {
                marker = markerOf(job);
                const qint64 length = result->reused ? job.stored->length : marker.size() + result->block.size();
                if (text.size() + length > options.maxCollectedBytes)
                    result->error = u"Die Sammeldatei würde größer als %1 Bytes."_s.arg(options.maxCollectedBytes);
            }
            if (!result->error.isEmpty()) {
                onSkip(job.path, result->error);
                ++summary.skipped;
            } else {
                const QByteArray path = job.docPath.toUtf8();
                IndexCarry &carry = html ? utf8Carry : mhtCarry;
                std::optional<index::FollowingBuild> &follow = html ? utf8Follow : mhtFollow;
                if (!follow && text.size() == 0 && !carry.carrying()) {
                    index::BuildInput input;
                    input.collectedPath = text.tempPath();
                    input.kind = html ? index::IndexedText::Utf8 : index::IndexedText::Utf16LE;
                    input.scratchPath = scratchFor(html ? db::suffix::Utf8Trigrams : db::suffix::MhtTrigrams);
                    input.slicePairs /= 2; // the other collected file's build may run beside it
                    follow.emplace(input, threads > 1 ? index::FollowingBuild::Reader::OwnThread
                                                      : index::FollowingBuild::Reader::Writer);
                }
                if (follow)
                    follow->addTitle(text.size());
                if (result->reused)
                    carry.addKept(text.size(), job.stored->number, result->endsWithLineEnd);
                else
                    carry.addFresh(text.size(), marker, result->block);
                titles.write(QByteArray::number(text.size()) + " #" + path + "\r\n");
                if (result->reused) {
                    text.copyFrom(job.stored->fd, job.stored->offset, job.stored->length);
                } else {
                    text.write(marker);
                    text.write(result->block);
                }
                if (follow)
                    follow->written(text.inFile());
                list.write(path + "\r\n");
                stamps.write(stampLine(job.stamp, job.docPath));
                ++summary.documents;
                if (result->reused)
                    ++summary.reused;
                else
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

    std::optional<TempOutput> utf8Index;
    std::optional<TempOutput> mhtIndex;
    {
        const auto keepGoing = [&] { return !progress || progress(state); };
        // Carried over from the replaced database where that works, else built from the text.
        const auto indexFor = [&](TempOutput &text, TempOutput &titles, std::optional<TempOutput> &out,
                                  const char16_t *suffix, IndexCarry &carry,
                                  std::optional<index::FollowingBuild> &follow, index::IndexedText kind) {
            if (!text.used())
                return true;
            text.flush();
            titles.flush();
            const QString scratch = scratchFor(suffix);
            out.emplace(programFolder, name, QString::fromUtf16(suffix));
            switch (carry.write(text.tempPath(), *out, scratch, keepGoing)) {
            case IndexCarry::Outcome::Written: ++summary.indexesCarried; return true;
            case IndexCarry::Outcome::Cancelled: return false;
            case IndexCarry::Outcome::NotCarried: break;
            }
            out.reset();
            out.emplace(programFolder, name, QString::fromUtf16(suffix));
            if (!follow)
                return writeTrigrams(text, titles, *out, kind, scratch, keepGoing);
            CancelToken stop;
            const auto result =
                follow->finish([&](const QByteArray &bytes) { out->write(bytes); }, stopUnless(keepGoing, stop));
            follow.reset();
            return !result.cancelled;
        };
        if (!indexFor(utf8Text, utf8Titles, utf8Index, db::suffix::Utf8Trigrams, utf8Carry, utf8Follow,
                      index::IndexedText::Utf8)
            || !indexFor(mhtText, mhtTitles, mhtIndex, db::suffix::MhtTrigrams, mhtCarry, mhtFollow,
                         index::IndexedText::Utf16LE)) {
            summary.cancelled = true;
            return summary;
        }
        summary.indexBytes = (utf8Index ? utf8Index->size() : 0) + (mhtIndex ? mhtIndex->size() : 0);

    }

    std::vector<TempOutput *> produced;
    for (TempOutput *output : {&utf8Text, &utf8Titles, utf8Index ? &*utf8Index : nullptr, &mhtText, &mhtTitles,
                               mhtIndex ? &*mhtIndex : nullptr, &sources, &stamps, &list}) {
        if (output && output->used())
            produced.push_back(output);
    }
    finishAll(produced);
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

IndexOptions storedOptions(const QString &programFolder, const QString &name)
{
    const QString folder = paths::withSlash(programFolder);
    const QString list = db::fileListPath(folder, name);
    if (!QFileInfo(list).isFile())
        throw Error(u"Die Datenbank \"%1\" existiert nicht."_s.arg(name));
    std::optional<Sources> sources;
    QFile file(db::filePath(folder, name, QString::fromUtf16(db::suffix::Sources)));
    if (file.open(QIODevice::ReadOnly))
        sources = parseSources(file.readAll());
    else
        sources = sourcesFromHeader(db::readHeader(list));
    if (!sources)
        throw Error(u"Zur Datenbank \"%1\" sind keine Ordner gespeichert, aus denen sie erneuert werden kann."_s.arg(name));
    IndexOptions options;
    options.programFolder = folder;
    options.name = name;
    options.folders = sources->folders;
    options.kinds = sources->kinds;
    options.replace = true;
    return options;
}

} // namespace vespira::producer
