#pragma once
// Gives up on a test that runs past a limit: names it in GoogleTest's words and ends this process and every
// program it started (one job holds them, ended when the last handle closes), so a hang in the code under test
// fails within seconds, named, instead of holding the run until CTest's timeout.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class CTestWatchdog : public testing::EmptyTestEventListener {
public:
    // Once per process, before the tests run; GoogleTest owns the listener from here on.
    static bool Install(std::chrono::seconds limit) {
        testing::UnitTest::GetInstance()->listeners().Append(new CTestWatchdog(limit));
        return true;
    }

private:
    explicit CTestWatchdog(std::chrono::seconds limit) : m_limit(limit) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        AssignProcessToJobObject(m_job, GetCurrentProcess());
        std::thread([this] { Watch(); }).detach();
    }
    // The line that gives up on the test is made here: the hung thread may hold the heap's lock later.
    void OnTestStart(const testing::TestInfo& test) override {
        Running("\n[  FAILED  ] " + std::string(test.test_suite_name()) + "." + test.name() + " (still running after " +
                std::to_string(m_limit.count()) + " s: given up)\n");
    }
    void OnTestEnd(const testing::TestInfo&) override { Running({}); }
    void Running(std::string line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_giveUp = std::move(line), ++m_changes, m_changed.notify_one();
    }
    void Watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return !m_giveUp.empty(); });
            const unsigned long seen = m_changes;
            if (m_changed.wait_for(lock, m_limit, [&] { return m_changes != seen; }))
                continue;
            DWORD written = 0;  // straight to the handle: the hung thread may hold the C runtime's stream locks
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), m_giveUp.data(), DWORD(m_giveUp.size()), &written, nullptr);
            TerminateProcess(GetCurrentProcess(), 3);  // and closing the job ends the programs this one started
        }
    }

    const std::chrono::seconds m_limit;
    const HANDLE m_job = CreateJobObjectW(nullptr, nullptr);
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_giveUp;  // empty while no test runs
    unsigned long m_changes = 0;
};
