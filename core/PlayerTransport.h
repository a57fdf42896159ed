#pragma once
// How Kelvane reaches a film player: a byte stream to mpv's pipe, one TCP
// connection per HTTP request to MPC's or VLC's web interface. The Windows
// side implements it with an overlapped pipe and Winsock; tests with fakes.

#include <memory>
#include <string>

class IPlayerConnection {
public:
    virtual ~IPlayerConnection() = default;
    // Waits at most timeoutMs for bytes: the count read (> 0), 0 when none came
    // in time, -1 when the other side closed the connection or it broke.
    virtual int Read(char* buffer, int size, int timeoutMs) = 0;
    // Sends all the bytes within timeoutMs; false when that failed.
    virtual bool Write(const std::string& bytes, int timeoutMs) = 0;
};

class IPlayerTransport {
public:
    virtual ~IPlayerTransport() = default;
    // Opens a pipe (a full path, \\.\pipe\NAME) for reading and writing, or
    // returns null with a short reason ("not found").
    virtual std::unique_ptr<IPlayerConnection> OpenPipe(const std::string& path, int timeoutMs,
                                                        std::string& error) = 0;
    // Connects to host:port within timeoutMs, or returns null with a short reason.
    virtual std::unique_ptr<IPlayerConnection> Connect(const std::string& host, int port, int timeoutMs,
                                                       std::string& error) = 0;
};
