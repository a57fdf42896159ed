#include "core/MpvProtocol.h"

#include <cstring>

#include "core/FilmPosition.h"
#include "core/Json.h"

void CLineFramer::Feed(const char* data, size_t size)
{
    const char* const end = data + size;
    while (data < end) {
        const char* newline = static_cast<const char*>(std::memchr(data, '\n', static_cast<size_t>(end - data)));
        const char* stop = newline ? newline : end;
        if (!m_bSkipping)
            m_strPartial.append(data, stop);
        if (m_strPartial.size() > kMaxLine) {
            m_strPartial.clear();
            m_bSkipping = true;
            ++m_nDropped;
        }
        if (newline) {
            if (!m_bSkipping)
                m_lines.push_back(std::move(m_strPartial));
            m_strPartial.clear();
            m_bSkipping = false;
        }
        data = newline ? newline + 1 : end;
    }
}

bool CLineFramer::Next(std::string& line)
{
    if (m_lines.empty())
        return false;
    line = std::move(m_lines.front());
    m_lines.pop_front();
    return true;
}

size_t CLineFramer::TakeDropped()
{
    const size_t dropped = m_nDropped;
    m_nDropped = 0;
    return dropped;
}

void CLineFramer::Clear()
{
    *this = CLineFramer();
}

namespace {

struct CFollowed {
    const char* name;
    CMpvMessage::Kind kind;
};
const CFollowed kProperties[] = {{"time-pos", CMpvMessage::TimePos},
                                 {"pause", CMpvMessage::Pause},
                                 {"speed", CMpvMessage::Speed},
                                 {"seeking", CMpvMessage::Seeking}};
const CFollowed kEvents[] = {{"seek", CMpvMessage::Seek},
                             {"playback-restart", CMpvMessage::PlaybackRestart},
                             {"end-file", CMpvMessage::EndFile},
                             {"shutdown", CMpvMessage::Shutdown}};

bool ReadProperty(const CJsonValue* data, CMpvMessage& message, std::string& reason)
{
    if (!data || data->m_type == CJsonValue::Null)
        return true;  // nothing plays: no value
    message.bHasValue = true;
    switch (message.eKind) {
    case CMpvMessage::TimePos:
        message.dValue = data->m_dNumber * 1000;
        if (data->m_type == CJsonValue::Number && IsFilmPositionMs(message.dValue))
            return true;
        reason = "mpv sent a time-pos that is no film position";
        return false;
    case CMpvMessage::Speed:
        message.dValue = data->m_dNumber;
        if (data->m_type == CJsonValue::Number && IsPlayerSpeed(message.dValue))
            return true;
        reason = "mpv sent a speed that is no speed";
        return false;
    default:
        message.dValue = data->m_bBool ? 1 : 0;
        if (data->m_type == CJsonValue::Bool)
            return true;
        reason = "mpv sent a pause or seeking flag that is no flag";
        return false;
    }
}

}  // namespace

bool ParseMpvMessage(const std::string& line, CMpvMessage& message, std::string& reason)
{
    message = CMpvMessage();
    CJsonValue json;
    if (!ParseJson(line, json, reason))
        return reason = "mpv: " + reason, false;
    std::string event;
    if (json.GetString("event", event)) {
        if (event == "property-change") {
            std::string name;
            json.GetString("name", name);
            for (const CFollowed& p : kProperties)
                if (name == p.name)
                    return message.eKind = p.kind, ReadProperty(json.Find("data"), message, reason);
            return true;
        }
        for (const CFollowed& e : kEvents)
            if (event == e.name)
                message.eKind = e.kind;
        return true;
    }
    double id = 0;
    std::string error;
    if (!json.GetString("error", error) || (json.Find("request_id") && !json.GetNumber("request_id", id))) {
        reason = "not an mpv message";
        return false;
    }
    message.eKind = CMpvMessage::Reply;
    message.nRequestId = id >= -9e15 && id <= 9e15 ? static_cast<int64_t>(id) : -1;
    message.bSuccess = error == "success";
    if (const CJsonValue* data = json.Find("data")) {
        message.bHasValue = data->m_type != CJsonValue::Null;
        message.dValue = data->m_type == CJsonValue::Bool ? data->m_bBool : data->m_dNumber;
        message.strText = data->m_strText;
    }
    return true;
}

std::string MpvObserveCommands()
{
    std::string commands;
    int id = 1;
    for (const CFollowed& p : kProperties)
        commands += "{\"command\":[\"observe_property\"," + std::to_string(id++) + ",\"" + p.name + "\"]}\n";
    return commands;
}

std::string MpvCyclePauseCommand()
{
    return "{\"command\":[\"cycle\",\"pause\"]}\n";
}

std::string MpvGetPropertyCommand(const std::string& name, int64_t requestId)
{
    return "{\"command\":[\"get_property\"," + JsonQuote(name) + "],\"request_id\":" + std::to_string(requestId) +
           "}\n";
}
