#pragma once
// The schedule of a WebVTT or ASS/SSA file: cues may overlap, and every cue
// active at the subtitle time is shown, their texts joined by line breaks in
// the file's order (by cue number), so the text changes whenever one starts
// or ends. The cues come from the format's reader in order of start (WebVTT
// files keep it; a cue that starts before the one read ahead of it is taken
// late, when its turn comes) and are read only as time reaches them.
//
// Bounds, so that absurd files play without freezing the window: at most
// kMaxShownCues cues are held at once (a cue that starts while that many are
// shown is passed over), and the joined text takes whole cues in order while
// it stays within kMaxJoinedText bytes (the rest is left out until cues before
// it end). Each cue's text is itself within kMaxCueText.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/CueReader.h"
#include "core/SubtitleSchedule.h"

class CCueSchedule : public ISubtitleSchedule {
public:
    static constexpr size_t kMaxShownCues = 1000;
    static constexpr size_t kMaxJoinedText = 16 * 1024;

    explicit CCueSchedule(SubtitleFormat format) : m_format(format) {}

    bool Open(const std::string& path, double startOffset, const CFileEncoding& encoding) override;
    bool FileOpened() const override { return m_bOpened; }
    bool AdvanceTo(double t) override;
    const std::string& Text() const override { return m_strShown; }
    bool IsMarkup() const override { return true; }
    bool IsFinished() const override { return !m_bHaveNext && m_shown.empty(); }
    double NextChange() const override;
    double LastChange() const override { return m_dLastChange; }
    void Restart() override { Open(m_strPath, 0, m_encoding); }
    // The start of the next cue not yet due; the cues shown stay.
    bool NextCueStart(double& start) override;
    // The latest start before that of the latest cue shown (before any is
    // shown, the start of the last cue passed); cues with equal starts count as
    // one, so each step goes back in time.
    bool PreviousCueStart(double& start) const override;
    int32_t ShownIndex() const override { return m_nShownIndex; }
    bool ShowedNothing() const override { return !m_bAnyTaken; }

private:
    void ReadNext() { m_bHaveNext = m_pReader->Next(m_next); }
    void Passed(double t) { m_dLastChange = t > m_dLastChange ? t : m_dLastChange; }
    void Join();

    SubtitleFormat m_format;
    std::unique_ptr<CCueReader> m_pReader;
    std::string m_strPath;
    CFileEncoding m_encoding;
    bool m_bOpened = false;
    CCue m_next;                   // the next cue in the file, read ahead
    bool m_bHaveNext = false;
    std::vector<CCue> m_shown;     // the cues shown, by number
    double m_dFirstEnd = kNever;   // the earliest end among them
    std::string m_strShown;
    double m_dLastChange = -kNever;
    bool m_bAnyTaken = false;      // a cue has been read since Open
    double m_dTakenStart = 0;      // ... the start of the last one
    bool m_bTakenBefore = false;   // an earlier start has been read
    double m_dTakenBefore = 0;     // ... the latest one
    int32_t m_nShownIndex = 0;
    bool m_bShownBefore = false;   // PreviousCueStart while a cue has been shown
    double m_dShownBefore = 0;
};
