#pragma once
// In-memory ways to a player: a pipe whose far end the test fills, and an HTTP server that is a function of the
// request ("hang": no answer ever). A wait moves the test's clock, or sleeps when realTime.
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "core/PlayerTransport.h"

struct FakeTransport : IPlayerTransport {
    double now = 1e6;
    bool realTime = false, pipeUp = false, pipeBroken = false;
    std::mutex mutex;
    std::string toKelvane, fromKelvane;  // the pipe's bytes
    std::function<std::string(const std::string&)> server;
    std::vector<std::string> requests;

    double Now() { return realTime ? std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count() : now; }
    void Send(const std::string& bytes) { std::lock_guard<std::mutex> lock(mutex); toKelvane += bytes; }

    struct Connection : IPlayerConnection {
        FakeTransport& t;
        std::string reply;
        bool http, hang = false;
        Connection(FakeTransport& transport, bool isHttp) : t(transport), http(isHttp) {}
        int Read(char* buffer, int size, int timeoutMs) override {
            std::unique_lock<std::mutex> lock(t.mutex);
            std::string& in = http ? reply : t.toKelvane;
            if (!in.empty()) {
                const size_t n = std::min<size_t>({in.size(), static_cast<size_t>(size), http ? 4096u : 7u});
                return in.copy(buffer, n), in.erase(0, n), static_cast<int>(n);  // a pipe's bytes come in pieces
            }
            if ((http && !hang) || (!http && t.pipeBroken))
                return -1;
            lock.unlock();
            return t.realTime ? std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs)) : void(t.now += timeoutMs), 0;
        }
        bool Write(const std::string& bytes, int) override {
            std::lock_guard<std::mutex> lock(t.mutex);
            if (!http)
                return t.fromKelvane += bytes, !t.pipeBroken;
            t.requests.push_back(bytes);
            reply = t.server(bytes);
            return hang = reply == "hang", reply = hang ? "" : reply, true;
        }
    };
    std::unique_ptr<IPlayerConnection> OpenPipe(const std::string&, int, std::string& error) override {
        return pipeUp ? (pipeBroken = false, std::make_unique<Connection>(*this, false)) : (error = "not found", nullptr);
    }
    std::unique_ptr<IPlayerConnection> Connect(const std::string&, int, int, std::string& error) override {
        std::lock_guard<std::mutex> lock(mutex);
        return server ? std::make_unique<Connection>(*this, true) : (error = "connection refused", nullptr);
    }
};
