#include "core/PlayerConfig.h"

#include <cctype>

#include "core/OptionValues.h"

const char* const CPlayerConfig::kSection = "Player";

namespace {

const char kFollow[] = "Follow";
const char kMpvPipe[] = "MpvPipe";
const char kHost[] = "Host";
const char kMpcPort[] = "MpcPort";
const char kVlcPort[] = "VlcPort";
const char kVlcPassword[] = "VlcPassword";
const char* const kFollowNames[] = {"off", "mpv", "mpc", "vlc"};
const char kPipePrefix[] = "\\\\.\\pipe\\";

bool StartsWithPipePrefix(const std::string& text)
{
    if (text.size() < sizeof kPipePrefix - 1)
        return false;
    for (size_t i = 0; i < sizeof kPipePrefix - 1; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != kPipePrefix[i])
            return false;
    return true;
}

// A pipe's own name: 1-200 characters, no backslash or control character.
bool IsPipeName(const std::string& name)
{
    if (name.empty() || name.size() > 200)
        return false;
    for (const char c : name)
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

// A host name or an IPv4 address: letters, digits, dots and hyphens.
bool IsHost(const std::string& host)
{
    if (host.empty() || host.size() > 253 || host.front() == '-' || host.front() == '.')
        return false;
    for (const char c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            return false;
    return true;
}

bool ParsePort(const std::string& text, int& port)
{
    if (text.empty() || text.size() > 5)
        return false;
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > 65535)
        return false;
    port = n;
    return true;
}

}  // namespace

const char* const CPlayerConfig::kKeys[6] = {kFollow, kMpvPipe, kHost, kMpcPort, kVlcPort, kVlcPassword};

void CPlayerConfig::Read(const std::function<bool(const char* key, std::string& value)>& get)
{
    *this = CPlayerConfig();
    std::string raw;
    for (const char* key : kKeys)
        if (get(key, raw))
            Set(key, ProfileValue(raw));
}

bool CPlayerConfig::Write(const std::function<bool(const char* key, const std::string& value)>& put) const
{
    // Every key is tried, also after a failed one.
    bool ok = true;
    for (const char* key : kKeys)
        ok = put(key, Get(key)) && ok;
    return ok;
}

std::string CPlayerConfig::Get(const char* key) const
{
    const std::string k = key;
    if (k == kFollow)
        return kFollowNames[eFollow];
    if (k == kMpvPipe)
        return strMpvPipe;
    if (k == kHost)
        return strHost;
    if (k == kMpcPort || k == kVlcPort)
        return std::to_string(k == kMpcPort ? nMpcPort : nVlcPort);
    return k == kVlcPassword ? strVlcPassword : std::string();
}

bool CPlayerConfig::Set(const char* key, const std::string& value)
{
    const std::string k = key;
    if (k == kFollow) {
        std::string lower = value;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (int i = 0; i < 4; ++i)
            if (lower == kFollowNames[i])
                return eFollow = static_cast<Follow>(i), true;
        return false;
    }
    if (k == kMpvPipe) {
        if (!IsPipeName(StartsWithPipePrefix(value) ? value.substr(sizeof kPipePrefix - 1) : value))
            return false;
        return strMpvPipe = value, true;
    }
    if (k == kHost)
        return IsHost(value) && (strHost = value, true);
    if (k == kMpcPort || k == kVlcPort)
        return ParsePort(value, k == kMpcPort ? nMpcPort : nVlcPort);
    if (k == kVlcPassword)
        return strVlcPassword = value, true;
    return false;
}

std::string CPlayerConfig::PipePath() const
{
    return StartsWithPipePrefix(strMpvPipe) ? strMpvPipe : kPipePrefix + strMpvPipe;
}

std::string CPlayerConfig::PlayerName() const
{
    static const char* const kNames[] = {"", "mpv", "MPC", "VLC"};
    return kNames[eFollow];
}

std::string CPlayerConfig::Address() const
{
    switch (eFollow) {
    case Mpv: return PipePath();
    case Mpc: return strHost + ":" + std::to_string(nMpcPort);
    case Vlc: return strHost + ":" + std::to_string(nVlcPort);
    default: return std::string();
    }
}
