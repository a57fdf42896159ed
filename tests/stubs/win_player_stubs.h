#pragma once
// The players' stubs served as the players serve them, each on a thread of its own: mpv's named pipe and a web
// interface on an ephemeral port of 127.0.0.1. Quit() closes them as a player that quits; Start() reopens them there.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "tests/stubs/player_stubs.h"

struct StubServer {
    virtual ~StubServer() { Quit(); }
    void Start();
    void Quit();
    virtual void Serve() = 0;  // sets m_bReady once it listens, then runs until m_bStop
    std::atomic<bool> m_bStop{false}, m_bReady{false};
    std::thread m_thread;
};

struct MpvPipeStub : StubServer {
    MpvPipeStub(StubFilm& film, const std::string& name) : m_film(film), m_path("\\\\.\\pipe\\" + name) {}
    ~MpvPipeStub() override { Quit(); }  // the thread ends before the members it reads go
    void Serve() override;
    StubFilm& m_film;
    const std::string m_path;
};

struct HttpStub : StubServer {
    // answer: the whole reply to a request's bytes.
    explicit HttpStub(std::function<std::string(const std::string&)> answer) : m_answer(std::move(answer)) {}
    ~HttpStub() override { Quit(); }
    int Port() const { return m_nPort; }
    void Serve() override;
    std::function<std::string(const std::string&)> m_answer;
    std::atomic<int> m_nPort{0};
};
