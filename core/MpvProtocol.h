#pragma once
// mpv's JSON IPC: one UTF-8 JSON message per line ending in "\n", over a pipe
// that delivers bytes in any pieces. CLineFramer cuts the stream into lines;
// ParseMpvMessage says what one line means to Kelvane.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

class CLineFramer {
public:
    static constexpr size_t kMaxLine = 64 * 1024;

    // Takes the next bytes of the stream. A line longer than kMaxLine is dropped
    // (its bytes are skipped up to its end) and counted.
    void Feed(const char* data, size_t size);
    // The next complete line, without its "\n"; false when none is complete.
    bool Next(std::string& line);
    // Lines dropped since the last call.
    size_t TakeDropped();
    void Clear();

private:
    std::deque<std::string> m_lines;
    std::string m_strPartial;
    bool m_bSkipping = false;
    size_t m_nDropped = 0;
};

struct CMpvMessage {
    enum Kind {
        Reply,            // the answer to a command: nRequestId, bSuccess, data
        TimePos,          // property changes: the data, when present and not null
        Pause,
        Speed,
        Seeking,
        Seek,             // events
        PlaybackRestart,
        EndFile,
        Shutdown,
        Other             // an event or property Kelvane does not follow
    };
    Kind eKind = Other;
    bool bHasValue = false;   // data present and not null
    double dValue = 0;        // time-pos in ms, speed, a flag as 0 or 1, a number reply
    std::string strText;      // a reply's string data
    int64_t nRequestId = 0;
    bool bSuccess = false;
};

// False with a short reason when the line is not a message mpv writes: bad
// JSON, neither an event nor a reply, or a followed property holding what mpv
// never gives it (a negative or absurd time-pos, a speed of 0, a non-bool pause).
bool ParseMpvMessage(const std::string& line, CMpvMessage& message, std::string& reason);

// The commands Kelvane sends, each a line. observe_property makes mpv send the
// property's value at once and at each change.
std::string MpvObserveCommands();
std::string MpvCyclePauseCommand();
std::string MpvGetPropertyCommand(const std::string& name, int64_t requestId);
