#pragma once
// Helpers shared by the core tests: files in the temp folder and an in-memory archive file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "framework/Archive.h"

using Bytes = std::vector<uint8_t>;

// A file in the temp folder holding the given bytes, removed again at the end.
class TempFile {
public:
    explicit TempFile(const std::string& bytes)
        : m_path(std::filesystem::temp_directory_path() /
                 ("kelvane_test_" + std::to_string(std::random_device{}()) + "_" + std::to_string(++s_count)))
    {
        std::ofstream(m_path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { std::filesystem::remove(m_path, m_error); }
    std::string Path() const { return m_path.string(); }

private:
    static inline int s_count = 0;
    std::filesystem::path m_path;
    std::error_code m_error;
};

const std::string kThreeCues = "1\n00:00:01,000 --> 00:00:03,500\nOne\n\n2\n00:00:05,000 --> 00:00:07,000\nTwo\nlines\n\n"
                               "3\n00:00:08,250 --> 00:00:09,000\nThree\n\n";

// LF line ends to CR LF.
inline std::string Crlf(std::string text)
{
    for (size_t i = 0; (i = text.find('\n', i)) != std::string::npos; i += 2)
        text.insert(i, 1, '\r');
    return text;
}

// An archive file in memory that hands out at most m_maxChunk bytes per read.
class CMemoryFile : public CArchiveFile {
public:
    explicit CMemoryFile(Bytes data = {}) : m_data(std::move(data)) {}
    unsigned Read(void* buffer, unsigned count) override
    {
        const size_t take = std::min<size_t>({count, m_data.size() - m_pos, m_maxChunk});
        if (take > 0)
            std::memcpy(buffer, m_data.data() + m_pos, take);
        m_pos += take;
        return static_cast<unsigned>(take);
    }
    bool Write(const void* buffer, unsigned count) override
    {
        m_data.insert(m_data.end(), static_cast<const uint8_t*>(buffer), static_cast<const uint8_t*>(buffer) + count);
        return true;
    }

    Bytes m_data;
    size_t m_pos = 0;
    size_t m_maxChunk = SIZE_MAX;
};
