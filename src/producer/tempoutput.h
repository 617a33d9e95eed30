#pragma once

// One output file of a build under a temporary name beside its final place, renamed into
// place only when the whole build succeeded; removed otherwise.
//
//   TempOutput list(programFolder, name, u".dat"_s);
//   list.write(bytes);       // throws Error naming the final file
//   ...
//   list.finish();           // flushed and synced
//   list.commit();           // renamed into place
//
// The temporary name is "Datenbank/." + name + suffix + "." + process id + ".tmp", so
// removeOrphans can tell the leftovers of killed runs from those of a running one.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vespira::producer {

class TempOutput
{
public:
    TempOutput(const QString &programFolder, const QString &name, const QString &suffix);
    TempOutput(const TempOutput &) = delete;
    TempOutput &operator=(const TempOutput &) = delete;
    ~TempOutput();

    // Small writes gather in a buffer of our own, written through unbuffered when it fills
    // and at finish(), so a write the disk takes only in part fails within the build; a
    // library's buffer could be flushed later, at close, as if it had gone through.
    void write(const QByteArray &bytes);
    // Appends length bytes of another file from offset, copied by the kernel where it can.
    // Throws Error naming the final file when they cannot be read or written.
    void copyFrom(int sourceFd, qint64 offset, qint64 length);
    qint64 size() const { return m_size; }
    // The bytes a reader of tempPath() finds there already, short of the buffered ones.
    qint64 inFile() const { return m_size - m_pending.size(); }
    bool used() const { return m_file.isOpen() || m_finished; }
    QString tempPath() const { return m_file.fileName(); }
    const QString &finalPath() const { return m_final; }

    // Everything written to the file, for a reader of tempPath(); the disk starts taking it
    // meanwhile, so that finish() waits less.
    void flush();
    // Everything on disk before the rename, so a crash never leaves a half file in place.
    void finish();
    void commit();

private:
    [[noreturn]] void fail(const QString &reason = {});
    void writeThrough(const QByteArray &bytes);

    QString m_final;
    QFile m_file;
    QByteArray m_pending;
    qint64 m_size = 0;
    qint64 m_unsynced = 0; // bytes written since the disk was last asked to take them
    bool m_finished = false;
    bool m_committed = false;
};

// Removes the temporary files of runs on this database whose process no longer exists.
void removeOrphans(const QString &dataFolder, const QString &name);

} // namespace vespira::producer
