#include "core/CueSchedule.h"

#include <algorithm>

bool CCueSchedule::Open(const std::string& path, double startOffset, const CFileEncoding& encoding)
{
    m_strPath = path;
    m_encoding = encoding;
    m_shown.clear();
    m_dFirstEnd = kNever;
    m_strShown.clear();
    m_dLastChange = -kNever;
    m_bAnyTaken = m_bTakenBefore = m_bShownBefore = false;
    m_nShownIndex = 0;
    m_pReader = MakeCueReader(m_format);
    m_bOpened = m_pReader && m_pReader->Open(path, encoding);
    m_bHaveNext = false;
    if (m_bOpened)
        do
            ReadNext();
        while (m_bHaveNext && m_next.dStart < startOffset);
    return m_bHaveNext;
}

double CCueSchedule::NextChange() const
{
    return std::min(m_bHaveNext ? m_next.dStart : kNever, m_dFirstEnd);
}

bool CCueSchedule::AdvanceTo(double t)
{
    bool changed = false;
    for (;;) {
        if (m_dFirstEnd <= t && !(m_bHaveNext && m_next.dStart < m_dFirstEnd)) {
            // The cues that end now go.
            const double end = m_dFirstEnd;
            m_shown.erase(std::remove_if(m_shown.begin(), m_shown.end(), [end](const CCue& c) { return c.dEnd <= end; }),
                          m_shown.end());
            m_dFirstEnd = kNever;
            for (const CCue& c : m_shown)
                m_dFirstEnd = std::min(m_dFirstEnd, c.dEnd);
            Passed(end);
            changed = true;
            continue;
        }
        if (!m_bHaveNext || m_next.dStart > t)
            break;
        // The next cue is due: the start before it is remembered for PreviousCueStart.
        if (m_bAnyTaken && m_next.dStart != m_dTakenStart) {
            m_bTakenBefore = true;
            m_dTakenBefore = m_dTakenStart;
        }
        m_bAnyTaken = true;
        m_dTakenStart = m_next.dStart;
        if (t >= m_next.dEnd) {
            Passed(m_next.dEnd);  // ended already: dropped, as a time before its end would show it
        } else if (m_shown.size() < kMaxShownCues) {
            const auto at = std::upper_bound(m_shown.begin(), m_shown.end(), m_next.nIndex,
                                             [](int32_t index, const CCue& c) { return index < c.nIndex; });
            m_dFirstEnd = std::min(m_dFirstEnd, m_next.dEnd);
            m_nShownIndex = m_next.nIndex;
            m_bShownBefore = m_bTakenBefore;
            m_dShownBefore = m_dTakenBefore;
            m_shown.insert(at, std::move(m_next));
            Passed(m_dTakenStart);
            changed = true;
        } else {
            Passed(m_dTakenStart);
        }
        ReadNext();
    }
    if (changed)
        Join();
    return changed;
}

void CCueSchedule::Join()
{
    m_strShown.clear();
    for (const CCue& c : m_shown) {
        const size_t size = m_strShown.size() + (m_strShown.empty() ? 0 : 1) + c.strText.size();
        if (size > kMaxJoinedText)
            break;
        if (!m_strShown.empty())
            m_strShown += '\n';
        m_strShown += c.strText;
    }
}

bool CCueSchedule::NextCueStart(double& start)
{
    if (!m_bHaveNext)
        return false;
    start = m_next.dStart;
    return true;
}

bool CCueSchedule::PreviousCueStart(double& start) const
{
    if (m_nShownIndex != 0 ? !m_bShownBefore : !m_bAnyTaken)
        return false;
    start = m_nShownIndex != 0 ? m_dShownBefore : m_dTakenStart;
    return true;
}
