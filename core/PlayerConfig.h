#pragma once
// Which film player Kelvane follows and where to reach it: Kelvane.ini,
// section [Player]. As with [Options], a missing key or a value that does not
// read gives the default.
//
//   Follow=off|mpv|mpc|vlc   off: the wall clock
//   MpvPipe=mpvsocket        a name under \\.\pipe\, or a full pipe path
//   Host=127.0.0.1           MPC's and VLC's web interface
//   MpcPort=13579
//   VlcPort=8080
//   VlcPassword=             kept here in plain text, as VLC keeps it

#include <functional>
#include <string>

struct CPlayerConfig {
    enum Follow { Off, Mpv, Mpc, Vlc };
    static const char* const kSection;

    Follow eFollow = Off;
    std::string strMpvPipe = "mpvsocket";
    std::string strHost = "127.0.0.1";
    int nMpcPort = 13579;
    int nVlcPort = 8080;
    std::string strVlcPassword;

    // The keys, in the order they are written.
    static const char* const kKeys[6];

    void Read(const std::function<bool(const char* key, std::string& value)>& get);
    bool Write(const std::function<bool(const char* key, const std::string& value)>& put) const;
    // One key's value as it is written, and back from such a value (blanks and a comment already taken off);
    // false when it does not read, and the value in use stays.
    std::string Get(const char* key) const;
    bool Set(const char* key, const std::string& value);

    // \\.\pipe\mpvsocket for the name mpvsocket; a full path as it stands.
    std::string PipePath() const;
    // "mpv", "MPC" or "VLC" (empty when off), and where it is reached: the pipe or host:port.
    std::string PlayerName() const;
    std::string Address() const;

    bool operator==(const CPlayerConfig& o) const
    {
        return eFollow == o.eFollow && strMpvPipe == o.strMpvPipe && strHost == o.strHost &&
               nMpcPort == o.nMpcPort && nVlcPort == o.nVlcPort && strVlcPassword == o.strVlcPassword;
    }
};
