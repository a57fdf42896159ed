#pragma once
// The pages the players' web interfaces answer with: MPC-HC / MPC-BE's
// variables.html and VLC's /requests/status.json. A page that is not what the
// player writes is refused with a short reason for the status line.

#include <string>

#include "core/HttpMessage.h"

// MPC's variables.html: one <p id="NAME">VALUE</p> per line. Older templates
// lack file, size and version; statestring is translated and not read.
struct CMpcStatus {
    enum State { NothingLoaded = -1, Stopped = 0, Paused = 1, Playing = 2 };
    int nState = NothingLoaded;
    double dPositionMs = 0;  // whole ms
    double dDurationMs = 0;
    double dRate = 1;        // older versions always write 1
    std::string strFile;     // empty in older templates
    std::string strVersion;
};
bool ParseMpcVariables(const std::string& page, CMpcStatus& status, std::string& reason);

// VLC's status.json: time and length in whole seconds (rounded down), position
// 0-1 of the length, state playing / paused / stopped, rate.
struct CVlcStatus {
    enum State { Stopped, Paused, Playing };
    State eState = Stopped;
    double dTimeMs = 0;    // a whole second
    double dLengthMs = 0;  // a whole second
    double dPosition = 0;
    double dRate = 1;
    std::string strVersion;
};
// Reads the whole reply: 401 is a wrong password, a notice ending in
// <!-- VLC_PASSWORD_NOT_SET --> means VLC has no password set.
bool ParseVlcStatus(const CHttpResponse& reply, CVlcStatus& status, std::string& reason);

extern const char* const kVlcWrongPassword;
extern const char* const kVlcNoPassword;
