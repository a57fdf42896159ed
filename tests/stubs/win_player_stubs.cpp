#include "tests/stubs/win_player_stubs.h"

#include "core/WallFilmClock.h"
#include "core/Unicode.h"

void StubServer::Start()
{
    m_bStop = m_bReady = false;
    m_thread = std::thread([this] { Serve(); m_bReady = true; });
    for (int i = 0; i < 2000 && !m_bReady; ++i)
        ::Sleep(1);
}

void StubServer::Quit()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
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
            Utf8ToWide(Path()).c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
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
                reading = ::ReadFile(pipe, buffer, sizeof buffer, nullptr, &ov) || ::GetLastError() == ERROR_IO_PENDING;
                alive = reading;
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
        ::DisconnectNamedPipe(pipe);
        ::CloseHandle(pipe);
    }
    ::CloseHandle(ov.hEvent);
    ::CloseHandle(w.hEvent);
}

HttpStub::HttpStub(std::function<std::string(const std::string&)> answer) : m_answer(std::move(answer))
{
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
}

HttpStub::~HttpStub()
{
    Quit();
    ::WSACleanup();
}

// One request per connection, as HTTP/1.0 with Connection: close: read the head (and a form body), answer, close.
void HttpStub::Serve()
{
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(m_nPort));  // 0 the first time: an ephemeral port
    int length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 8) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(listener);
        return;
    }
    m_nPort = ntohs(address.sin_port);
    m_bReady = true;
    const auto wait = [](SOCKET s) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval tv{0, 10000};
        return ::select(0, &set, nullptr, nullptr, &tv) > 0;
    };
    while (!m_bStop) {
        if (!wait(listener))
            continue;
        const SOCKET s = ::accept(listener, nullptr, nullptr);
        std::string request;
        char buffer[4096];
        for (int tries = 0; tries < 100 && !m_bStop; ++tries) {
            const size_t head = request.find("\r\n\r\n");
            const size_t body = request.find("Content-Length: ");
            if (head != std::string::npos &&
                (body > head || request.size() >= head + 4 + std::stoul(request.substr(body + 16))))
                break;
            const int n = wait(s) ? ::recv(s, buffer, sizeof buffer, 0) : 0;
            if (n < 0)
                break;
            request.append(buffer, static_cast<size_t>(n));
        }
        const std::string reply = m_answer(request);
        ::send(s, reply.data(), static_cast<int>(reply.size()), 0);
        ::shutdown(s, SD_SEND);
        ::closesocket(s);
    }
    ::closesocket(listener);
}
