#include "core/PlaybackSchedule.h"

#include <algorithm>

bool CPlaybackSchedule::Open(const std::string& path, double startOffset, const CFileEncoding& encoding)
{
    m_strPath = path;
    m_encoding = encoding;
    m_bShowing = 0;
    m_strShown.clear();
    m_bHaveBefore = m_bHaveShown = false;
    m_nShownIndex = 0;
    m_dLastChange = -kNever;
    m_bFinished = !m_reader.Open(path, startOffset, encoding);
    // Every cue after the start offset is yet to be read.
    m_bAnyShowable = false;
    return !m_bFinished;
}

void CPlaybackSchedule::Restart()
{
    Open(m_strPath, 0, m_encoding);
}

double CPlaybackSchedule::NextChange() const
{
    if (m_bFinished)
        return kNever;
    return m_bShowing ? m_reader.m_dEnd : m_reader.m_dStart;
}

void CPlaybackSchedule::Passed(double t)
{
    m_dLastChange = std::max(m_dLastChange, t);
}

void CPlaybackSchedule::Advance()
{
    m_bHaveBefore = true;
    m_dBeforeStart = m_reader.m_dStart;
    m_reader.ReadHeader();
    if (m_reader.IsAtEnd())
        m_bFinished = true;
}

bool CPlaybackSchedule::AdvanceTo(double t)
{
    bool changed = false;
    while (!m_bFinished) {
        if (m_bShowing == 0) {
            if (t < m_reader.m_dStart)
                break;
            const std::string& cue = m_reader.ReadText();
            m_bHaveShown = true;
            m_nShownIndex = m_reader.m_nIndex;
            m_bHaveShownBefore = m_bHaveBefore;
            m_dShownBeforeStart = m_dBeforeStart;
            if (m_reader.m_dEnd > m_reader.m_dStart)
                m_bAnyShowable = true;
            if (t < m_reader.m_dEnd) {
                m_strShown = cue;
                m_bShowing = 1;
                changed = true;
                Passed(m_reader.m_dStart);
            } else {
                // Ended already: read and dropped. Going back to any time
                // before its start or end would bring it back.
                Passed(std::max(m_reader.m_dStart, m_reader.m_dEnd));
                Advance();
            }
        } else {
            if (t < m_reader.m_dEnd)
                break;
            // Playback ends only with a change that clears: a last cue whose
            // text ran into the end of the file is still shown until its end.
            m_strShown.clear();
            m_bShowing = 0;
            changed = true;
            Passed(m_reader.m_dEnd);
            Advance();
        }
    }
    return changed;
}

bool CPlaybackSchedule::NextCueStart(double& start)
{
    if (m_bFinished)
        return false;
    if (m_bShowing) {
        // The next cue's header follows the shown one; at the end of the file
        // the shown cue stays as it was.
        const double dStart = m_reader.m_dStart, dEnd = m_reader.m_dEnd;
        const int32_t nIndex = m_reader.m_nIndex;
        m_reader.ReadHeader();
        if (m_reader.IsAtEnd()) {
            m_reader.m_dStart = dStart, m_reader.m_dEnd = dEnd, m_reader.m_nIndex = nIndex;
            return false;
        }
        m_bHaveBefore = true;
        m_dBeforeStart = dStart;
        m_bShowing = 0;
        m_strShown.clear();
        // Left early: a time before the next cue's start but in the dropped
        // cue's span shows it again.
        Passed(dStart);
    }
    start = m_reader.m_dStart;
    return true;
}

bool CPlaybackSchedule::PreviousCueStart(double& start) const
{
    if (!(m_bHaveShown ? m_bHaveShownBefore : m_bHaveBefore))
        return false;
    start = m_bHaveShown ? m_dShownBeforeStart : m_dBeforeStart;
    return true;
}
