#pragma once
// The window tests' fixture: a fresh current folder per test, the messages for the user captured, not shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/Report.h"

inline std::vector<std::string> g_messages;

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Empty when the file cannot be opened (missing, or held with no sharing).
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_dir = temp + ("kelvane_win_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter));
        ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr) && SetCurrentDirectoryA(m_dir.c_str())) << m_dir;
        g_messages.clear();
        m_previousHook = SetMessageHook([](HWND, const std::string& text, UINT) {
            return g_messages.push_back(text), IDOK;
        });
    }
    void TearDown() override {
        SetMessageHook(m_previousHook);
        SetCurrentDirectoryA((m_dir + "\\..").c_str());
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string m_dir;
    MessageHook m_previousHook = nullptr;
};
