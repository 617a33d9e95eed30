#include "producer/indexcarry.h"

#include "core/index/indexfiles.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

namespace {

// Whether the bytes end with CR or LF in the file's encoding.
bool endsWithLineEnd(const QByteArray &bytes, index::IndexedText kind)
{
    if (kind == index::IndexedText::Utf8)
        return bytes.endsWith('\n') || bytes.endsWith('\r');
    return bytes.size() % 2 == 0 && (bytes.endsWith(QByteArrayView("\n\0", 2)) || bytes.endsWith(QByteArrayView("\r\0", 2)));
}

} // namespace

IndexCarry::IndexCarry(const QString &programFolder, const QString &name, db::TextKind kind, const StoredTexts *stored)
    : m_kind(index::indexedTextOf(kind))
{
    if (!stored)
        return;
    m_earlier = index::openIndex(programFolder, name, kind);
    m_active = m_earlier.usable() && m_earlier.blockStarts() == stored->offsets(kind == db::TextKind::Mht);
    if (!m_active)
        return;
    const QString suffix = db::collectedTextSuffix(kind);
    m_freshText = std::make_unique<TempOutput>(programFolder, name, suffix + u".neu"_s);
    m_freshTitles = std::make_unique<TempOutput>(programFolder, name, suffix + u".neu.pos"_s);
}

void IndexCarry::addKept(qint64 offset, uint32_t earlierNumber, bool endsWithLineEnd)
{
    if (!m_active)
        return;
    m_active = endsWithLineEnd; // else a build would run this block into the next one
    m_starts.push_back(offset);
    m_origins.push_back({false, earlierNumber});
}

void IndexCarry::addFresh(qint64 offset, const QByteArray &marker, const QByteArray &text)
{
    if (!m_active)
        return;
    m_active = endsWithLineEnd(text.isEmpty() ? marker : text, m_kind);
    m_starts.push_back(offset);
    m_origins.push_back({true, uint32_t(m_freshStarts.size())});
    m_freshStarts.push_back(m_freshText->size());
    m_freshTitles->write(QByteArray::number(m_freshText->size()) + " #-\r\n");
    m_freshText->write(marker);
    m_freshText->write(text);
}

IndexCarry::Outcome IndexCarry::write(const QString &collectedPath, TempOutput &out, const QString &scratchPath,
                                      const std::function<bool()> &keepGoing)
{
    if (!m_active || m_starts.empty())
        return Outcome::NotCarried;
    index::TrigramIndex fresh;
    if (!m_freshStarts.empty()) {
        m_freshText->flush(); // read back and thrown away: never worth a sync
        m_freshTitles->flush();
        index::BuildInput input;
        input.collectedPath = m_freshText->tempPath();
        input.titlesPath = m_freshTitles->tempPath();
        input.kind = m_kind;
        input.scratchPath = scratchPath;
        QByteArray bytes;
        CancelToken stop;
        const Progress progress([&](qint64, qint64) {
            if (!keepGoing())
                stop.request();
        }, &stop);
        const auto built = index::buildTrigramIndex(input, [&](const QByteArray &b) { bytes += b; }, progress);
        if (built.cancelled)
            return Outcome::Cancelled;
        fresh = index::TrigramIndex::fromBytes(std::move(bytes), m_kind);
        if (!fresh.usable() || fresh.blockStarts() != m_freshStarts)
            return Outcome::NotCarried;
    }
    index::MergeInput input;
    input.collectedPath = collectedPath;
    input.kind = m_kind;
    input.starts = m_starts;
    input.origins = m_origins;
    input.earlier = &m_earlier;
    input.fresh = m_freshStarts.empty() ? nullptr : &fresh;
    const auto result = index::mergeTrigramIndex(input, [&](const QByteArray &b) { out.write(b); }, keepGoing);
    if (!result)
        return Outcome::NotCarried;
    return result->cancelled ? Outcome::Cancelled : Outcome::Written;
}

} // namespace vespira::producer
