#pragma once
// The ways to a film player on Windows: mpv's named pipe, opened overlapped
// for reading and writing at once, and Winsock TCP for the web interfaces.
// Every wait is bounded by the caller's timeout.

#include <winsock2.h>
#include <windows.h>

#include "core/PlayerTransport.h"

class CWinPlayerTransport : public IPlayerTransport {
public:
    CWinPlayerTransport();
    ~CWinPlayerTransport() override;
    CWinPlayerTransport(const CWinPlayerTransport&) = delete;
    CWinPlayerTransport& operator=(const CWinPlayerTransport&) = delete;

    std::unique_ptr<IPlayerConnection> OpenPipe(const std::string& path, int timeoutMs, std::string& error) override;
    std::unique_ptr<IPlayerConnection> Connect(const std::string& host, int port, int timeoutMs,
                                               std::string& error) override;

private:
    bool m_bWinsock = false;
};
