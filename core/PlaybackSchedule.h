#pragma once
// Turns the cues of a SubRip file into show and clear changes of the overlay's
// text, driven by subtitle time (the controller derives it from the film's
// clock). The file is read forward only, strictly as the schedule advances: a
// cue's text at its start, the next header at its end. Cues play in file order,
// one at a time.

#include <cstdint>
#include <string>

#include "core/SrtReader.h"
#include "core/SubtitleSchedule.h"

class CPlaybackSchedule : public ISubtitleSchedule {
public:
    // Opens the file and skips to the first cue that starts at or after
    // startOffset (subtitle time, ms). False: nothing to play.
    bool Open(const std::string& path, double startOffset, const CFileEncoding& encoding = {}) override;
    // After an Open that failed: true when the file opened (and so holds no cue
    // to play from the start offset on), false when it could not be opened.
    bool FileOpened() const override { return m_reader.m_fp != nullptr; }

    // Brings the text to what is due at subtitle time t: every change due by
    // then is worked off, and a cue that has already ended when its turn comes
    // is read and dropped, never shown. True when a change was worked off.
    // A time before LastChange() needs Restart() first.
    bool AdvanceTo(double t) override;
    const std::string& Text() const override { return m_strShown; }
    bool IsMarkup() const override { return false; }
    // No more changes can come (the file is at its end).
    bool IsFinished() const override { return m_bFinished; }
    // Subtitle time of the next change; a huge value when none can come.
    double NextChange() const override;
    // The latest subtitle time at which a change was worked off: the text is
    // right for any time from here on, and only for those.
    double LastChange() const override { return m_dLastChange; }
    // Back to the top of the file with nothing shown, so that going back in
    // time reads forward again (the reader never goes back).
    void Restart() override;

    // Drops the cue shown, if any, and gives the start of the cue after it:
    // false, and nothing changes, when the file holds no further cue.
    bool NextCueStart(double& start) override;
    // The start of the cue before the one shown or last shown; false when none.
    bool PreviousCueStart(double& start) const override;
    // The file's number of the cue shown or last shown (0 before any).
    int32_t ShownIndex() const override { return m_nShownIndex; }
    // Since it was opened, every cue read has ended at or before its start:
    // nothing in the file could be shown.
    bool ShowedNothing() const override { return !m_bAnyShowable; }

private:
    void Advance();  // past the current cue to the next header
    void Passed(double t);

    CSrtReader m_reader;
    std::string m_strPath;
    CFileEncoding m_encoding;
    std::string m_strShown;         // the text the overlay is to show
    int m_bShowing = 0;             // 0: the next change shows a cue; 1: it clears it
    bool m_bFinished = true;
    double m_dLastChange = -kNever;
    bool m_bAnyShowable = false;    // a cue read ends after its start
    int32_t m_nShownIndex = 0;
    bool m_bHaveBefore = false;     // a cue precedes the current one in file order
    double m_dBeforeStart = 0;      // ... and its start
    bool m_bHaveShown = false;      // a cue has been shown
    bool m_bHaveShownBefore = false;
    double m_dShownBeforeStart = 0;  // start of the cue before the one shown or last shown
};
