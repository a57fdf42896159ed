#include "tests/stubs/player_stubs.h"

#include <cmath>
#include <cstdio>

#include "core/HttpMessage.h"
#include "core/Json.h"

double StubFilm::Position(double t) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Segment* s = &m_segments.front();
    for (const Segment& x : m_segments)
        if (x.at <= t)
            s = &x;
    return s->paused ? s->position : s->position + (t - s->at) * s->speed;
}

void StubFilm::Change(double now, double position, bool paused, double speed)
{
    const double from = position >= 0 ? position : Position(now);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nSeeks += position >= 0;
    m_segments.push_back({now, from, speed, paused});
}

static std::string Reply(const std::string& status, const std::string& body, bool length = false)
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\n" +
           (length ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "") + "\r\n" + body;
}

std::string MpcAnswer(const std::string& request, StubFilm& film, double now, bool older)
{
    if (request.rfind("POST /command.html HTTP/1.0\r\n", 0) == 0 && request.find("\r\n\r\nwm_command=889") != std::string::npos)
        return film.TogglePause(now), Reply("200 OK", "<html><body>OK</body></html>");
    if (request.rfind("GET /variables.html HTTP/1.0\r\n", 0) != 0)
        return Reply("404 Not Found", "<html><body>Not found</body></html>");
    const auto p = [](const char* id, const std::string& value) { return "<p id=\"" + std::string(id) + "\">" + value + "</p>\n"; };
    const long long position = std::llround(film.Position(std::floor(now / 100) * 100));
    return Reply("200 OK", "<!DOCTYPE html>\n<html>\n<head><title>MPC-HC WebServer - Variables</title></head>\n<body>\n" +
                           (older ? "" : p("file", "Film &amp; co.mkv")) + p("filepath", "C:\\Films\\Film &amp; co.mkv") +
                           p("state", film.Paused() ? "1" : "2") + p("statestring", film.Paused() ? "En pause" : "Lecture") +
                           p("position", std::to_string(position)) + p("duration", "5430000") +
                           p("playbackrate", film.Speed() == 1 ? "1" : std::to_string(film.Speed())) +
                           (older ? "" : p("size", "1.2 GB") + p("version", "2.1.4.0")) + "</body>\n</html>\n");
}

std::string VlcAnswer(const std::string& request, StubFilm& film, double now, const std::string& password)
{
    if (password.empty())
        return Reply("403 Forbidden", "<html><body><p>Password for Web interface has not been set.</p></body></html>\n"
                                      "<!-- VLC_PASSWORD_NOT_SET -->\n", true);
    if (request.find("\r\nAuthorization: Basic " + Base64(":" + password) + "\r\n") == std::string::npos)
        return "HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"VLC stream\"\r\nContent-Length: 0\r\n\r\n";
    if (request.rfind("GET /requests/status.json?command=pl_pause HTTP/1.0\r\n", 0) == 0)
        film.TogglePause(now);
    else if (request.rfind("GET /requests/status.json HTTP/1.0\r\n", 0) != 0)
        return Reply("404 Not Found", "", true);
    const double position = film.Position(now), length = 5400500;
    char json[400];
    std::snprintf(json, sizeof json,
                  "{\"fullscreen\":false,\"state\":\"%s\",\"time\":%lld,\"volume\":256,\"length\":%lld,"
                  "\"rate\":%.6f,\"position\":%.17g,\"version\":\"3.0.18 Vetinari\",\"loop\":false}",
                  film.Paused() ? "paused" : "playing", static_cast<long long>(position / 1000),
                  static_cast<long long>(length / 1000), film.Speed(), position / length);
    return Reply("200 OK", json, true);
}

std::string MpvStub::Property(const std::string& name, StubFilm& film, double now) const
{
    char data[64];
    if (name == "time-pos")
        std::snprintf(data, sizeof data, "%.6f", film.Position(now) / 1000);
    else if (name == "speed")
        std::snprintf(data, sizeof data, "%.6f", film.Speed());
    else
        std::snprintf(data, sizeof data, "%s", name == "pause" && film.Paused() ? "true" : "false");
    return data;
}

std::string MpvStub::OnInput(const std::string& bytes, StubFilm& film, double now)
{
    std::string out;
    m_strPartial += bytes;
    for (size_t end; (end = m_strPartial.find('\n')) != std::string::npos; m_strPartial.erase(0, end + 1)) {
        CJsonValue message;
        std::string reason;
        double id = 0;
        if (!ParseJson(m_strPartial.substr(0, end), message, reason) || !message.Find("command")) {
            out += "{\"request_id\":0,\"error\":\"invalid parameter\"}\n";
            continue;
        }
        message.GetNumber("request_id", id);
        const std::string reply = ",\"request_id\":" + std::to_string(static_cast<long long>(id)) + ",\"error\":\"success\"}\n";
        const std::vector<CJsonValue>& c = message.Find("command")->m_items;
        const std::string verb = c.empty() ? "" : c[0].m_strText;
        if (verb == "observe_property" && c.size() == 3) {
            m_observed.emplace_back(static_cast<int>(c[1].m_dNumber), c[2].m_strText);
            out += "{\"request_id\":0,\"error\":\"success\"}\n{\"event\":\"property-change\",\"id\":" +
                   std::to_string(m_observed.back().first) + ",\"name\":\"" + c[2].m_strText +
                   "\",\"data\":" + Property(c[2].m_strText, film, now) + "}\n";
        } else if (verb == "get_property" && c.size() == 2) {
            const std::string value = c[1].m_strText == "mpv-version" ? "\"mpv 0.36.0\"" : Property(c[1].m_strText, film, now);
            out += "{\"data\":" + value + reply;
        } else if (verb == "cycle" && c.size() == 2 && c[1].m_strText == "pause") {
            film.TogglePause(now);
            out += "{\"data\":null" + reply;
        }
    }
    return out;
}

std::string MpvStub::OnFrame(StubFilm& film, double now)
{
    std::string out;
    const auto change = [&](const char* name) {
        for (const auto& o : m_observed)
            if (o.second == name)
                out += "{\"event\":\"property-change\",\"id\":" + std::to_string(o.first) + ",\"name\":\"" + name +
                       "\",\"data\":" + Property(name, film, now) + "}\n";
    };
    if (film.Seeks() != m_nSeeks)
        out += "{\"event\":\"seek\"}\n";
    if (film.Paused() != m_bPaused)
        change("pause");
    if (film.Speed() != m_dSpeed)
        change("speed");
    if (!film.Paused() || film.Seeks() != m_nSeeks)
        change("time-pos");
    if (film.Seeks() != m_nSeeks)
        out += "{\"event\":\"playback-restart\"}\n";
    m_nSeeks = film.Seeks(), m_bPaused = film.Paused(), m_dSpeed = film.Speed();
    return out;
}
