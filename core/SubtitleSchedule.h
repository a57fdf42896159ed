#pragma once
// What the controller asks of a schedule: the changes of the overlay's text
// that a subtitle file makes, driven by subtitle time. Each format's schedule
// reads its file forward only, as time advances; going back in time starts
// again at the top (Restart).

#include <cstdint>
#include <string>

#include "core/Unicode.h"

class ISubtitleSchedule {
public:
    virtual ~ISubtitleSchedule() = default;

    // Opens the file and skips to the first cue that starts at or after
    // startOffset (subtitle time, ms). False: nothing to play.
    virtual bool Open(const std::string& path, double startOffset, const CFileEncoding& encoding) = 0;
    // After an Open that failed: true when the file opened (and so holds no cue
    // to play from the start offset on), false when it could not be opened.
    virtual bool FileOpened() const = 0;

    // Brings the text to what is due at subtitle time t. True when a change was
    // worked off. A time before LastChange() needs Restart() first.
    virtual bool AdvanceTo(double t) = 0;
    virtual const std::string& Text() const = 0;
    // The text is in the canonical markup (MarkupWriter.h), else a SubRip cue's
    // text as the file holds it.
    virtual bool IsMarkup() const = 0;
    // No more changes can come.
    virtual bool IsFinished() const = 0;
    // Subtitle time of the next change; kNever when none can come.
    virtual double NextChange() const = 0;
    // The latest subtitle time at which a change was worked off: the text is
    // right for any time from here on, and only for those.
    virtual double LastChange() const = 0;
    // Back to the top of the file with nothing shown.
    virtual void Restart() = 0;

    // The start of the cue after those shown: false, and nothing changes, when
    // the file holds no further cue.
    virtual bool NextCueStart(double& start) = 0;
    // The start of the cue before the one shown or last shown; false when none.
    virtual bool PreviousCueStart(double& start) const = 0;
    // The file's number of the latest cue shown (0 before any).
    virtual int32_t ShownIndex() const = 0;
    // Since it was opened, nothing read could be shown.
    virtual bool ShowedNothing() const = 0;

    static constexpr double kNever = 1e300;  // a time no clock reaches
};
