#include "core/PlayerPages.h"

#include <charconv>
#include <cmath>

#include "core/FilmPosition.h"
#include "core/Json.h"
#include "core/Unicode.h"

const char* const kVlcWrongPassword = "VLC refused the password";
const char* const kVlcNoPassword = "VLC has no password set: set one in VLC's Lua HTTP preferences";

namespace {

// &amp; &lt; &gt; &quot; &#39; &#NNN; &#xHH; as the page escapes a file name.
std::string HtmlText(const std::string& html)
{
    static const char* const kNames[][2] = {{"amp;", "&"}, {"lt;", "<"}, {"gt;", ">"}, {"quot;", "\""}, {"apos;", "'"}};
    std::string out;
    for (size_t i = 0; i < html.size(); ++i) {
        bool decoded = false;
        if (html[i] == '&') {
            for (const auto& name : kNames)
                if (html.compare(i + 1, std::char_traits<char>::length(name[0]), name[0]) == 0) {
                    out += name[1], i += std::char_traits<char>::length(name[0]), decoded = true;
                    break;
                }
            const size_t semicolon = html.find(';', i);
            if (!decoded && html.compare(i + 1, 1, "#") == 0 && semicolon != std::string::npos && semicolon - i < 10) {
                const bool hex = html.compare(i + 2, 1, "x") == 0 || html.compare(i + 2, 1, "X") == 0;
                const char* first = html.data() + i + 2 + hex;
                unsigned code = 0;
                const auto result = std::from_chars(first, html.data() + semicolon, code, hex ? 16 : 10);
                if (result.ptr == html.data() + semicolon && result.ec == std::errc() && code > 0 && code < 0x110000) {
                    unsigned char bytes[4];
                    out.append(reinterpret_cast<const char*>(bytes), EncodeUtf8(code, bytes));
                    i = semicolon, decoded = true;
                }
            }
        }
        if (!decoded)
            out += html[i];
    }
    return out;
}

// A whole number written as the pages write it: digits, perhaps a minus sign.
bool WholeNumber(const std::string& text, double& value)
{
    long long n = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), n);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           (value = static_cast<double>(n), true);
}

bool DecimalNumber(const std::string& text, double& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool Refuse(std::string& reason, const std::string& why)
{
    reason = why;
    return false;
}

}  // namespace

bool ParseMpcVariables(const std::string& page, CMpcStatus& status, std::string& reason)
{
    status = CMpcStatus();
    std::string state, position, duration, rate;
    bool haveState = false, havePosition = false, haveDuration = false;
    const struct { const char* id; std::string* value; bool* found; } kFields[] = {
        {"state", &state, &haveState}, {"position", &position, &havePosition},
        {"duration", &duration, &haveDuration}, {"playbackrate", &rate, nullptr},
        {"file", &status.strFile, nullptr}, {"version", &status.strVersion, nullptr}};
    bool seen[sizeof kFields / sizeof kFields[0]] = {};
    for (size_t at = 0; at < page.size();) {
        const size_t open = page.find("<p id=\"", at);
        if (open == std::string::npos)
            break;
        const size_t idEnd = page.find("\">", open + 7), close = page.find("</p>", open);
        const size_t lineEnd = page.find('\n', open);
        at = open + 7;
        if (idEnd == std::string::npos || close == std::string::npos || close < idEnd || close > lineEnd)
            continue;  // not one element on one line: not a variable
        const std::string id = page.substr(open + 7, idEnd - open - 7);
        for (size_t i = 0; i < sizeof kFields / sizeof kFields[0]; ++i)
            if (!seen[i] && id == kFields[i].id) {
                seen[i] = true;
                *kFields[i].value = HtmlText(page.substr(idEnd + 2, close - idEnd - 2));
                if (kFields[i].found)
                    *kFields[i].found = true;
            }
        at = close + 4;
    }
    if (!haveState || !havePosition || !haveDuration)
        return Refuse(reason, "not MPC's variables page");
    double n = 0;
    if (!WholeNumber(state, n) || n < -1 || n > 2)
        return Refuse(reason, "MPC sent an unknown state");
    status.nState = static_cast<int>(n);
    if (!WholeNumber(position, status.dPositionMs) || !IsFilmPositionMs(status.dPositionMs) ||
        !WholeNumber(duration, status.dDurationMs) || !IsFilmPositionMs(status.dDurationMs))
        return Refuse(reason, "MPC sent a position that is no film position");
    if (!rate.empty() && (!DecimalNumber(rate, status.dRate) || !IsPlayerSpeed(status.dRate)))
        return Refuse(reason, "MPC sent a playback rate that is no rate");
    return true;
}

bool ParseVlcStatus(const CHttpResponse& reply, CVlcStatus& status, std::string& reason)
{
    status = CVlcStatus();
    static const std::string kNotSet = "<!-- VLC_PASSWORD_NOT_SET -->";
    const size_t end = reply.strBody.find_last_not_of(" \t\r\n");
    if (end != std::string::npos && end + 1 >= kNotSet.size() &&
        reply.strBody.compare(end + 1 - kNotSet.size(), kNotSet.size(), kNotSet) == 0)
        return Refuse(reason, kVlcNoPassword);
    if (reply.nStatus == 401)
        return Refuse(reason, kVlcWrongPassword);
    if (reply.nStatus != 200)
        return Refuse(reason, "VLC answered HTTP " + std::to_string(reply.nStatus));
    CJsonValue json;
    if (!ParseJson(reply.strBody, json, reason))
        return Refuse(reason, "VLC: " + reason);
    std::string state;
    double time = 0, length = 0;
    if (!json.GetNumber("time", time) || !json.GetNumber("length", length) ||
        !json.GetNumber("position", status.dPosition) || !json.GetString("state", state) ||
        !json.GetNumber("rate", status.dRate))
        return Refuse(reason, "not VLC's status");
    json.GetString("version", status.strVersion);
    static const char* const kStates[] = {"stopped", "paused", "playing"};
    size_t s = 0;
    while (s < 3 && state != kStates[s])
        ++s;
    if (s == 3)
        return Refuse(reason, "VLC sent an unknown state");
    status.eState = static_cast<CVlcStatus::State>(s);
    status.dTimeMs = std::floor(time) * 1000;
    status.dLengthMs = std::floor(length) * 1000;
    if (!IsFilmPositionMs(status.dTimeMs) || !IsFilmPositionMs(status.dLengthMs) || !(status.dPosition >= 0) ||
        status.dPosition > 1)
        return Refuse(reason, "VLC sent a position that is no film position");
    if (!IsPlayerSpeed(status.dRate))
        return Refuse(reason, "VLC sent a rate that is no rate");
    return true;
}
