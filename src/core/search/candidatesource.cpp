#include "core/search/candidatesource.h"

#include <utility>

namespace vespira::search {

CandidateSource::CandidateSource(index::TrigramIndex index, qint64 costPerJump, std::function<void()> onDamaged)
    : m_index {std::move(index)}
    , m_costPerJump {costPerJump}
    , m_onDamaged {std::move(onDamaged)}
{
}

const index::Candidates *CandidateSource::spansFor(const QString &text, bool bigEndian)
{
    if (!m_index.usable() || text.contains(u'\r') || text.contains(u'\n'))
        return nullptr;
    auto known = m_answers.find({text, bigEndian});
    if (known == m_answers.end()) {
        index::Candidates candidates = m_index.candidates(text, bigEndian);
        if (candidates.damaged() && m_onDamaged)
            std::exchange(m_onDamaged, {})();
        std::optional<index::Candidates> answer;
        if (!candidates.scanInstead(m_costPerJump))
            answer = std::move(candidates);
        known = m_answers.emplace(std::pair {text, bigEndian}, std::move(answer)).first;
    }
    return known->second ? &*known->second : nullptr;
}

} // namespace vespira::search
