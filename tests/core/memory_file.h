#pragma once
// An archive file in memory that hands out at most m_maxChunk bytes per read.
// Free of GoogleTest, so the fuzz targets use it too.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/Archive.h"

class CMemoryFile : public CArchiveFile {
public:
    explicit CMemoryFile(std::vector<uint8_t> data = {}) : m_data(std::move(data)) {}
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

    std::vector<uint8_t> m_data;
    size_t m_pos = 0;
    size_t m_maxChunk = SIZE_MAX;
};
