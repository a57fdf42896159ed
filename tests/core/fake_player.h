#pragma once
// In-memory stand-ins for the ways to a player: a pipe whose other end the test writes, and an HTTP server that
// is a function of the request. Waiting moves the test's clock (or sleeps, on the real clock).
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/PlayerTransport.h"

struct FakeEnd {
    std::mutex mutex;
    std::string toKelvane, fromKelvane;  // bytes on their way
    bool closed = false;
    size_t piece = 7;                    // the most one read returns, so messages arrive in pieces
};

class FakeTransport : public IPlayerTransport {
public:
    double now = 1000000;
    bool realTime = false;
    bool pipeUp = false;
    std::shared_ptr<FakeEnd> pipe = std::make_shared<FakeEnd>();
    // The HTTP server: the reply's bytes for a request; null: nothing listens. A reply "hang" never comes.
    std::function<std::string(const std::string& request)> server;
    std::vector<std::string> requests, opened;
    std::mutex mutex;

    double Now() {
        if (!realTime)
            return now;
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void Wait(int ms) {
        if (realTime)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        else
            now += ms;
    }

    std::unique_ptr<IPlayerConnection> OpenPipe(const std::string& path, int, std::string& error) override {
        opened.push_back(path);
        if (!pipeUp)
            return error = "not found", nullptr;
        pipe = std::make_shared<FakeEnd>();
        return std::make_unique<Connection>(*this, pipe, nullptr);
    }
    std::unique_ptr<IPlayerConnection> Connect(const std::string& host, int port, int, std::string& error) override {
        std::lock_guard<std::mutex> lock(mutex);
        opened.push_back(host + ":" + std::to_string(port));
        if (!server)
            return error = "connection refused", nullptr;
        return std::make_unique<Connection>(*this, std::make_shared<FakeEnd>(), &server);
    }

private:
    struct Connection : IPlayerConnection {
        Connection(FakeTransport& t, std::shared_ptr<FakeEnd> e, std::function<std::string(const std::string&)>* s)
            : transport(t), end(std::move(e)), http(s) {}
        int Read(char* buffer, int size, int timeoutMs) override {
            {
                std::lock_guard<std::mutex> lock(end->mutex);
                const size_t n = std::min({end->toKelvane.size(), static_cast<size_t>(size), end->piece});
                if (n > 0) {
                    end->toKelvane.copy(buffer, n);
                    end->toKelvane.erase(0, n);
                    return static_cast<int>(n);
                }
                if (end->closed)
                    return -1;
            }
            transport.Wait(timeoutMs);
            return 0;
        }
        bool Write(const std::string& bytes, int) override {
            std::lock_guard<std::mutex> lock(end->mutex);
            if (end->closed && !http)
                return false;
            end->fromKelvane += bytes;
            if (http) {  // the whole request is one write
                {
                    std::lock_guard<std::mutex> lock(transport.mutex);
                    transport.requests.push_back(bytes);
                }
                end->toKelvane = (*http)(bytes);
                end->piece = 1000;
                end->closed = end->toKelvane != "hang";
                if (!end->closed)
                    end->toKelvane.clear();
            }
            return true;
        }
        FakeTransport& transport;
        std::shared_ptr<FakeEnd> end;
        std::function<std::string(const std::string&)>* http;
    };
};

inline std::string HttpReply(const std::string& body, const std::string& status = "200 OK") {
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\n\r\n" + body;
}
