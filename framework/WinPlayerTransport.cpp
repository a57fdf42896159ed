#include "framework/WinPlayerTransport.h"

#include <ws2tcpip.h>

#include <algorithm>

#include "core/Unicode.h"

namespace {

std::string ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return "not found";
    case ERROR_PIPE_BUSY: return "the pipe is busy";
    case ERROR_ACCESS_DENIED: return "access denied";
    case WSAECONNREFUSED: return "connection refused";
    case WSAETIMEDOUT: return "no answer";
    case WSAHOST_NOT_FOUND: return "host not found";
    default: return "error " + std::to_string(error);
    }
}

// mpv's pipe. One read is kept pending across calls, so no byte is lost to a timeout; writes have their own.
class CPipeConnection : public IPlayerConnection {
public:
    explicit CPipeConnection(HANDLE hPipe) : m_hPipe(hPipe)
    {
        m_read.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_write.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~CPipeConnection() override
    {
        ::CancelIoEx(m_hPipe, nullptr);
        DWORD n;
        if (m_bReading)
            ::GetOverlappedResult(m_hPipe, &m_read, &n, TRUE);
        ::CloseHandle(m_hPipe);
        ::CloseHandle(m_read.hEvent);
        ::CloseHandle(m_write.hEvent);
    }

    int Read(char* buffer, int size, int timeoutMs) override
    {
        if (m_nHeld == 0 && !Fill(timeoutMs))
            return m_bBroken ? -1 : 0;
        const DWORD n = std::min<DWORD>(m_nHeld, static_cast<DWORD>(size));
        std::copy(m_buffer + m_nStart, m_buffer + m_nStart + n, buffer);
        m_nStart += n, m_nHeld -= n;
        return static_cast<int>(n);
    }

    bool Write(const std::string& bytes, int timeoutMs) override
    {
        DWORD n = 0;
        ::ResetEvent(m_write.hEvent);
        if (!::WriteFile(m_hPipe, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &m_write) &&
            ::GetLastError() != ERROR_IO_PENDING)
            return false;
        if (::WaitForSingleObject(m_write.hEvent, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
            ::CancelIoEx(m_hPipe, &m_write);
        return ::GetOverlappedResult(m_hPipe, &m_write, &n, TRUE) && n == bytes.size();
    }

private:
    // Waits for the pending read (starting one if none is), at most timeoutMs; true when bytes came.
    bool Fill(int timeoutMs)
    {
        if (!m_bReading) {
            ::ResetEvent(m_read.hEvent);
            if (!::ReadFile(m_hPipe, m_buffer, sizeof m_buffer, nullptr, &m_read) &&
                ::GetLastError() != ERROR_IO_PENDING)
                return m_bBroken = true, false;
            m_bReading = true;
        }
        if (::WaitForSingleObject(m_read.hEvent, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
            return false;
        m_bReading = false;
        DWORD n = 0;
        if (!::GetOverlappedResult(m_hPipe, &m_read, &n, FALSE) || n == 0)
            return m_bBroken = ::GetLastError() != ERROR_MORE_DATA || n == 0, n > 0;
        m_nStart = 0, m_nHeld = n;
        return true;
    }

    HANDLE m_hPipe;
    OVERLAPPED m_read{}, m_write{};
    bool m_bReading = false, m_bBroken = false;
    char m_buffer[16384];
    DWORD m_nStart = 0, m_nHeld = 0;
};

// Waits until the socket can be read (or written), at most timeoutMs; an error or a hang-up breaks it.
bool WaitSocket(SOCKET s, bool write, int timeoutMs, bool& broken)
{
    fd_set set, errors;
    FD_ZERO(&set);
    FD_ZERO(&errors);
    FD_SET(s, &set);
    FD_SET(s, &errors);
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int n = ::select(0, write ? nullptr : &set, write ? &set : nullptr, &errors, &tv);
    broken = n == SOCKET_ERROR || FD_ISSET(s, &errors);
    return n > 0 && !broken;
}

// A non-blocking socket: each wait is a select with the caller's timeout.
class CSocketConnection : public IPlayerConnection {
public:
    explicit CSocketConnection(SOCKET s) : m_socket(s) {}
    ~CSocketConnection() override { ::closesocket(m_socket); }

    int Read(char* buffer, int size, int timeoutMs) override
    {
        bool broken = false;
        if (!WaitSocket(m_socket, false, timeoutMs, broken))
            return broken ? -1 : 0;
        const int n = ::recv(m_socket, buffer, size, 0);
        if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK)
            return 0;
        return n > 0 ? n : -1;
    }

    bool Write(const std::string& bytes, int timeoutMs) override
    {
        const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(timeoutMs);
        bool broken = false;
        for (size_t sent = 0; sent < bytes.size();) {
            const int left = static_cast<int>(deadline - ::GetTickCount());
            if (left <= 0 || !WaitSocket(m_socket, true, left, broken))
                return false;
            const int n = ::send(m_socket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n == SOCKET_ERROR && ::WSAGetLastError() != WSAEWOULDBLOCK)
                return false;
            sent += n > 0 ? static_cast<size_t>(n) : 0;
        }
        return true;
    }

private:
    SOCKET m_socket;
};

}  // namespace

CWinPlayerTransport::CWinPlayerTransport()
{
    WSADATA data;
    m_bWinsock = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CWinPlayerTransport::~CWinPlayerTransport()
{
    if (m_bWinsock)
        ::WSACleanup();
}

std::unique_ptr<IPlayerConnection> CWinPlayerTransport::OpenPipe(const std::string& path, int timeoutMs,
                                                                 std::string& error)
{
    const std::wstring name = Utf8ToWide(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HANDLE hPipe = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_OVERLAPPED, nullptr);
        if (hPipe != INVALID_HANDLE_VALUE)
            return std::make_unique<CPipeConnection>(hPipe);
        const DWORD code = ::GetLastError();
        // Every instance busy: wait for one, once.
        if (code != ERROR_PIPE_BUSY || attempt > 0 || !::WaitNamedPipeW(name.c_str(), static_cast<DWORD>(timeoutMs))) {
            error = ErrorText(code);
            return nullptr;
        }
    }
    error = ErrorText(ERROR_PIPE_BUSY);
    return nullptr;
}

std::unique_ptr<IPlayerConnection> CWinPlayerTransport::Connect(const std::string& host, int port, int timeoutMs,
                                                                std::string& error)
{
    addrinfo hints{}, *found = nullptr;
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    if (!m_bWinsock || ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
        error = ErrorText(WSAHOST_NOT_FOUND);
        return nullptr;
    }
    // Each address of the configured host in turn (localhost may be ::1 and 127.0.0.1), within the one timeout.
    const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(timeoutMs);
    int code = WSAHOST_NOT_FOUND;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        const SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        u_long nonBlocking = 1;
        code = s == INVALID_SOCKET || ::ioctlsocket(s, FIONBIO, &nonBlocking) != 0 ? ::WSAGetLastError() : 0;
        if (code == 0 && ::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0) {
            code = ::WSAGetLastError();
            const int left = static_cast<int>(deadline - ::GetTickCount());
            if (code == WSAEWOULDBLOCK) {
                bool broken = false;
                const bool ready = left > 0 && WaitSocket(s, true, left, broken);
                int soError = 0, length = sizeof soError;
                ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
                code = soError ? soError : ready ? 0 : broken ? WSAECONNREFUSED : WSAETIMEDOUT;
            }
        }
        if (code == 0) {
            ::freeaddrinfo(found);
            return std::make_unique<CSocketConnection>(s);
        }
        if (s != INVALID_SOCKET)
            ::closesocket(s);
    }
    ::freeaddrinfo(found);
    error = ErrorText(static_cast<DWORD>(code));
    return nullptr;
}
