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

void CPlayerConfig::Read(const std::function<bool(const char* key, std::string& value)>& get)
{
    *this = CPlayerConfig();
    std::string raw, value;
    const auto read = [&](const char* key) { return get(key, raw) && (value = ProfileValue(raw), true); };
    if (read(kFollow))
        for (int i = 0; i < 4; ++i) {
            std::string lower = value;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == kFollowNames[i])
                eFollow = static_cast<Follow>(i);
        }
    if (read(kMpvPipe) && IsPipeName(StartsWithPipePrefix(value) ? value.substr(sizeof kPipePrefix - 1) : value))
        strMpvPipe = value;
    if (read(kHost) && IsHost(value))
        strHost = value;
    if (read(kMpcPort))
        ParsePort(value, nMpcPort);
    if (read(kVlcPort))
        ParsePort(value, nVlcPort);
    if (read(kVlcPassword))
        strVlcPassword = value;
}

bool CPlayerConfig::Write(const std::function<bool(const char* key, const std::string& value)>& put) const
{
    // Every key is tried, also after a failed one.
    bool ok = put(kFollow, kFollowNames[eFollow]);
    ok = put(kMpvPipe, strMpvPipe) && ok;
    ok = put(kHost, strHost) && ok;
    ok = put(kMpcPort, std::to_string(nMpcPort)) && ok;
    ok = put(kVlcPort, std::to_string(nVlcPort)) && ok;
    ok = put(kVlcPassword, strVlcPassword) && ok;
    return ok;
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
