#include "tests/stubs/win_player_stubs.h"

#include <map>

#include "core/Json.h"
#include "core/Unicode.h"
#include "core/WallFilmClock.h"

namespace {

// mpv's JSON IPC: its answers to the commands Kelvane sends (observe_property, get_property of the version, cycle
// pause), and at each frame the events and the observed properties that changed.
struct MpvStub {
    std::string OnInput(const std::string& bytes, StubFilm& film, double now)
    {
        std::string out;
        m_strPartial += bytes;
        for (size_t end; (end = m_strPartial.find('\n')) != std::string::npos; m_strPartial.erase(0, end + 1)) {
            CJsonValue json;
            std::string reason;
            double id = 0;
            ParseJson(m_strPartial.substr(0, end), json, reason), json.GetNumber("request_id", id);
            const CJsonValue* command = json.Find("command");
            const auto c = command && command->m_items.size() > 1 ? command->m_items : std::vector<CJsonValue>(2);
            const std::string verb = c[0].m_strText, what = c.back().m_strText;
            const std::string reply = "\"request_id\":" + std::to_string(static_cast<int>(id)) + ",\"error\":\"success\"}\n";
            if (verb == "observe_property")
                m_observed[what] = static_cast<int>(c[1].m_dNumber), out += "{" + reply + Changed(what, film, now);
            else if (verb == "get_property" && what == "mpv-version")
                out += "{\"data\":\"mpv 0.36.0\"," + reply;
            else if (verb == "cycle" && what == "pause")
                film.TogglePause(now), out += "{\"data\":null," + reply;
        }
        return out;
    }

    std::string OnFrame(StubFilm& film, double now)
    {
        const bool seeked = film.Seeks() != m_nSeeks;
        std::string out = std::string(seeked ? "{\"event\":\"seek\"}\n" : "") +
                          (film.Paused() != m_bPaused ? Changed("pause", film, now) : "") +
                          (film.Speed() != m_dSpeed ? Changed("speed", film, now) : "") +
                          (!film.Paused() || seeked ? Changed("time-pos", film, now) : "");
        out += seeked ? "{\"event\":\"playback-restart\"}\n" : "";
        m_nSeeks = film.Seeks(), m_bPaused = film.Paused(), m_dSpeed = film.Speed();
        return out;
    }

    std::string Changed(const std::string& name, StubFilm& film, double now) const  // when observed
    {
        const auto o = m_observed.find(name);
        const std::string data = name == "time-pos" ? std::to_string(film.Position(now) / 1000)
                                 : name == "speed"  ? std::to_string(film.Speed())
                                                    : name == "pause" && film.Paused() ? "true" : "false";
        return o == m_observed.end() ? "" : "{\"event\":\"property-change\",\"id\":" + std::to_string(o->second) +
                                                ",\"name\":\"" + name + "\",\"data\":" + data + "}\n";
    }

    std::string m_strPartial;
    std::map<std::string, int> m_observed;  // name to id
    bool m_bPaused = false;
    double m_dSpeed = 1;
    int m_nSeeks = 0;
};

}  // namespace

void StubServer::Start()
{
    m_bStop = m_bReady = false;
    m_thread = std::thread([this] { Serve(); m_bReady = true; });
    for (int i = 0; i < 2000 && !m_bReady; ++i) ::Sleep(1);
}

void StubServer::Quit()
{
    m_bStop = true;
    if (m_thread.joinable()) m_thread.join();
}

// As mpv makes its pipe: duplex, overlapped, message type read as bytes, local clients only. One client at a
// time; a frame every 16 ms while it is connected.
void MpvPipeStub::Serve()
{
    OVERLAPPED ov{}, w{};
    ov.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    w.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    while (!m_bStop) {
        const HANDLE pipe = ::CreateNamedPipeW(
            Utf8ToWide(m_path).c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
            PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, PIPE_UNLIMITED_INSTANCES,
            65536, 65536, 0, nullptr);
        m_bReady = true;
        if (pipe == INVALID_HANDLE_VALUE)
            break;
        ::ResetEvent(ov.hEvent);
        bool connected = ::ConnectNamedPipe(pipe, &ov) || ::GetLastError() == ERROR_PIPE_CONNECTED;
        while (!connected && !m_bStop)
            connected = ::WaitForSingleObject(ov.hEvent, 10) == WAIT_OBJECT_0;
        MpvStub mpv;
        char buffer[4096];
        DWORD n = 0;
        bool reading = false, alive = connected;
        while (alive && !m_bStop) {
            std::string out;
            if (!reading) {
                ::ResetEvent(ov.hEvent);
                alive = reading = ::ReadFile(pipe, buffer, sizeof buffer, nullptr, &ov) || ::GetLastError() == ERROR_IO_PENDING;
            }
            if (reading && ::WaitForSingleObject(ov.hEvent, 16) == WAIT_OBJECT_0) {
                reading = false;
                alive = ::GetOverlappedResult(pipe, &ov, &n, FALSE) && n > 0;
                out = mpv.OnInput(std::string(buffer, alive ? n : 0), m_film, SteadyNowMs());
            }
            out += mpv.OnFrame(m_film, SteadyNowMs());
            if (alive && !out.empty() && !::WriteFile(pipe, out.data(), static_cast<DWORD>(out.size()), nullptr, &w))
                alive = ::GetLastError() == ERROR_IO_PENDING && ::GetOverlappedResult(pipe, &w, &n, TRUE);
        }
        ::CancelIoEx(pipe, nullptr);
        if (reading)
            ::GetOverlappedResult(pipe, &ov, &n, TRUE);
        ::DisconnectNamedPipe(pipe), ::CloseHandle(pipe);
    }
    ::CloseHandle(ov.hEvent), ::CloseHandle(w.hEvent);
}

// One request per connection, as HTTP/1.0 with Connection: close: read the head (and a form body), answer, close.
void HttpStub::Serve()
{
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address{AF_INET, htons(static_cast<u_short>(m_nPort)), {}, {}};  // port 0 the first time: an ephemeral one
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 8) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(listener), ::WSACleanup();
        return;
    }
    m_nPort = ntohs(address.sin_port);
    m_bReady = true;
    const auto wait = [](SOCKET s) { WSAPOLLFD fd{s, POLLRDNORM, 0}; return ::WSAPoll(&fd, 1, 10) > 0; };
    while (!m_bStop) {
        if (!wait(listener))
            continue;
        const SOCKET s = ::accept(listener, nullptr, nullptr);
        std::string request;
        char buffer[4096];
        for (int tries = 0; tries < 100 && !m_bStop; ++tries) {
            const size_t head = request.find("\r\n\r\n"), body = request.find("Content-Length: ");
            if (head != std::string::npos &&
                (body > head || request.size() >= head + 4 + std::stoul(request.substr(body + 16))))
                break;
            const int n = wait(s) ? ::recv(s, buffer, sizeof buffer, 0) : 0;
            if (n < 0)
                break;
            request.append(buffer, static_cast<size_t>(n));
        }
        const std::string reply = m_answer(request);
        ::send(s, reply.data(), static_cast<int>(reply.size()), 0), ::shutdown(s, SD_SEND), ::closesocket(s);
    }
    ::closesocket(listener), ::WSACleanup();
}
