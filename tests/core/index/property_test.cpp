// The index's promise, on random collections: every occurrence the scan finds lies in a
// candidate block, so a scan that jumps from stretch to stretch of candidates finds the
// same next occurrence from any position as the plain scan.

#include "indexfixture.h"

#include "core/search/patternmatcher.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

// Pieces the collections are made of: case pairs, umlauts, sharp s and its capital, the
// Kelvin sign, dotted and dotless i, Greek sigmas, non-BMP letters with case, an emoji,
// markers and line ends of every kind.
const QStringList Pieces = {
    u"a"_s, u"B"_s, u"k"_s, u"K"_s, u"\u212A"_s, u"s"_s, u"S"_s, u"ä"_s, u"Ä"_s, u"ö"_s, u"Ü"_s,
    u"ß"_s, u"\u1E9E"_s, u"i"_s, u"I"_s, u"\u0130"_s, u"\u0131"_s, u"Σ"_s, u"σ"_s, u"ς"_s,
    u"\U00010400"_s, u"\U00010428"_s, u"\U0001F600"_s, u" "_s, u"_"_s, u","_s, u"#"_s,
    u"#Z:\\"_s, u"Haus"_s, u"haus"_s, u"\r\n"_s, u"\n"_s, u"\r"_s, u"1"_s,
};

struct Collection
{
    QByteArray bytes;
    std::vector<qint64> titles;
    QString text; // for picking search texts
};

Collection randomCollection(QRandomGenerator &rng, bool wide)
{
    Collection c;
    const int blocks = 1 + rng.bounded(12);
    for (int b = 0; b < blocks; ++b) {
        QString block = u"#Z:\\d"_s + QString::number(b) + u".htm\r\n"_s;
        const int pieces = rng.bounded(40);
        for (int i = 0; i < pieces; ++i)
            block += Pieces.at(rng.bounded(Pieces.size()));
        block += u"\r\n"_s;
        c.titles.push_back(c.bytes.size());
        c.bytes += wide ? test::utf16le(block) : block.toUtf8();
        c.text += block;
    }
    if (!wide && rng.bounded(4) == 0)
        c.bytes.insert(rng.bounded(c.bytes.size()), "\xC3\xff\xe2\x84"); // invalid UTF-8
    // Offsets a careless producer might write: inside lines, odd, twice, beyond the end.
    const int bogus = rng.bounded(3);
    for (int i = 0; i < bogus; ++i)
        c.titles.push_back(rng.bounded(c.bytes.size() + 8));
    return c;
}

QString randomSearchText(QRandomGenerator &rng, const QString &text)
{
    QString s;
    if (rng.bounded(3) == 0) {
        const int n = 1 + rng.bounded(4);
        for (int i = 0; i < n; ++i)
            s += Pieces.at(rng.bounded(Pieces.size()));
    } else {
        const int length = 1 + rng.bounded(6);
        s = text.mid(rng.bounded(text.size()), length);
    }
    if (rng.bounded(5) == 0)
        s.prepend(u'#');
    for (QChar &ch : s) // another letter case now and then, so folding has work to do
        if (rng.bounded(3) == 0)
            ch = rng.bounded(2) ? ch.toUpper() : ch.toLower();
    return s;
}

// The next occurrence from a position: by the plain scan, or with candidates by a scan of
// only their stretches, as the index allows.
qint64 nextOccurrence(const search::PatternMatcher &m, const QByteArray &bytes, qint64 from,
                      const index::Candidates *c = nullptr)
{
    const auto *d = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qint64 size = bytes.size();
    qint64 length = 0;
    if (m.isEmpty() || size < m.minLength())
        return -1;
    if (!c)
        return m.findForward(d, 0, size, size, std::max<qint64>(from, 0), size - m.minLength(), length);
    for (auto s = c->span(from); s.begin < s.end; s = c->span(s.end)) {
        const qint64 to = std::min(s.end - 1, size - m.minLength());
        const qint64 found = m.findForward(d, 0, size, size, s.begin, to, length);
        if (found >= 0)
            return found;
    }
    return -1;
}

void checkCollections(db::TextKind kind, int rounds, quint32 seed)
{
    const bool wide = kind == db::TextKind::Mht;
    QRandomGenerator rng(seed);
    for (int round = 0; round < rounds; ++round) {
        const Collection c = randomCollection(rng, wide);
        test::IndexedDatabase db(kind);
        db.write(c.bytes, c.titles);
        db.build(1 + rng.bounded(64)); // small slices: merges on every build
        const index::TrigramIndex idx = db.open();
        ASSERT_EQ(idx.status(), index::IndexStatus::Current);
        for (int t = 0; t < 12; ++t) {
            const QString text = randomSearchText(rng, c.text);
            const bool caseSensitive = rng.bounded(3) == 0;
            const bool wholeWords = rng.bounded(3) == 0;
            const search::PatternMatcher m(text, wide ? search::vEncUnicodeLE : search::vEncUTF8, caseSensitive,
                                           wholeWords);
            const index::Candidates cand = idx.candidates(text);
            const auto where = [&] {
                return "round " + std::to_string(round) + " text \"" + text.toStdString() + "\" case "
                    + std::to_string(caseSensitive) + " words " + std::to_string(wholeWords);
            };
            const auto agree = [&](qint64 from) {
                return nextOccurrence(m, c.bytes, from, &cand) == nextOccurrence(m, c.bytes, from);
            };
            for (qint64 q = nextOccurrence(m, c.bytes, 0); q >= 0; q = nextOccurrence(m, c.bytes, q + 1)) {
                ASSERT_EQ(cand.nextCandidateFrom(q), q) << where() << " occurrence at " << q;
                ASSERT_TRUE(agree(q - 1) && agree(q + 1)) << where() << " around " << q;
            }
            for (const qint64 start : idx.blockStarts())
                ASSERT_TRUE(agree(start + 1)) << where() << " after the block start " << start;
        }
    }
}

} // namespace

TEST(IndexProperty, EveryOccurrenceLiesInACandidateBlock)
{
    checkCollections(db::TextKind::Utf8, 200, 16);
    checkCollections(db::TextKind::Mht, 200, 61);
}
