#include "tests/stubs/player_stubs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/HttpMessage.h"

double StubFilm::Position(double t) const
{
    std::lock_guard<std::mutex> lock(m_mutex);  // the last segment begun by t, else the first
    const auto s = std::find_if(m_segments.rbegin(), m_segments.rend() - 1, [t](const Segment& x) { return x.at <= t; });
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
    if (request.rfind("POST /command.html HTTP/1.0\r\n", 0) == 0 && request.find("\r\n\r\nwm_command=889") != request.npos)
        return film.TogglePause(now), Reply("200 OK", "<html><body>OK</body></html>");
    if (request.rfind("GET /variables.html HTTP/1.0\r\n", 0) != 0)
        return Reply("404 Not Found", "<html><body>Not found</body></html>");
    const auto p = [](const std::string& id, const std::string& value) { return "<p id=\"" + id + "\">" + value + "</p>\n"; };
    const long long position = std::llround(film.Position(std::floor(now / 100) * 100));
    const bool paused = film.Paused();
    return Reply("200 OK", "<html><body>\n" + (older ? "" : p("file", "Film &amp; co.mkv")) + p("state", paused ? "1" : "2") +
                 p("statestring", paused ? "En pause" : "Lecture") + p("position", std::to_string(position)) +
                 p("duration", "5430000") + p("playbackrate", film.Speed() == 1 ? "1" : std::to_string(film.Speed())) +
                 (older ? "" : p("version", "2.1.4.0")) + "</body></html>\n");
}

std::string VlcAnswer(const std::string& request, StubFilm& film, double now, const std::string& password)
{
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
