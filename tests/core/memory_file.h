#pragma once
// An in-memory CArchiveFile for tests: reads and writes at a position that
// can be set back, overwrites in place and grows at the end, like a disk file
// opened for reading and writing without truncation.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/Archive.h"

class CMemoryFile : public CArchiveFile {
public:
    CMemoryFile() = default;
    explicit CMemoryFile(std::vector<uint8_t> data) : m_data(std::move(data)) {}

    unsigned Read(void* buffer, unsigned count) override
    {
        ++m_reads;
        size_t avail = m_data.size() - std::min(m_pos, m_data.size());
        size_t take = std::min<size_t>({count, avail, m_maxChunk});
        if (take > 0)
            std::memcpy(buffer, m_data.data() + m_pos, take);
        m_pos += take;
        return static_cast<unsigned>(take);
    }

    bool Write(const void* buffer, unsigned count) override
    {
        ++m_writes;
        if (m_failWrites)
            return false;
        if (m_pos + count > m_data.size())
            m_data.resize(m_pos + count);
        if (count > 0)
            std::memcpy(m_data.data() + m_pos, buffer, count);
        m_pos += count;
        return true;
    }

    void Rewind() { m_pos = 0; }

    std::vector<uint8_t> m_data;
    size_t m_pos = 0;
    size_t m_maxChunk = SIZE_MAX;  // at most this many bytes per Read
    bool m_failWrites = false;
    int m_reads = 0;
    int m_writes = 0;
};
