#pragma once
// An archive file in memory: at most m_maxChunk bytes per read, at most m_capacity bytes on its "disk" (a write past
// it takes what fits and fails). Free of GoogleTest, for the fuzz targets too.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Archive.h"
#include "core/SettingsRecord.h"

class CMemoryFile : public CArchiveFile {
public:
    explicit CMemoryFile(std::vector<uint8_t> data = {}) : m_data(std::move(data)) {}
    unsigned Read(void* buffer, unsigned count) override {
        const size_t take = std::min<size_t>({count, m_data.size() - m_pos, m_maxChunk});
        if (take > 0)
            std::memcpy(buffer, m_data.data() + m_pos, take);
        return m_pos += take, static_cast<unsigned>(take);
    }
    bool Write(const void* buffer, unsigned count) override {
        const size_t take = std::min<size_t>(count, m_capacity > m_pos ? m_capacity - m_pos : 0);
        m_data.resize(std::max(m_data.size(), m_pos + take));
        if (take > 0)
            std::memcpy(m_data.data() + m_pos, buffer, take);
        return m_pos += take, take == count;
    }
    bool SeekTo(uint64_t offset) override { return m_pos = offset, true; }
    int64_t GetSize() override { return static_cast<int64_t>(m_data.size()); }
    bool SetSize(uint64_t size) override { return m_data.resize(size), true; }

    std::vector<uint8_t> m_data;
    size_t m_pos = 0, m_maxChunk = SIZE_MAX, m_capacity = SIZE_MAX;
};

// The archive error's cause when f throws one, else -1.
template <typename F> int ArchiveCause(F f) {
    try {
        return f(), -1;
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
}

inline int LoadRecord(CMemoryFile& file, CSettingsRecord& record) {
    CArchive ar(&file, CArchive::load);
    return ArchiveCause([&] { record.SerializeRecord(ar); });
}

inline std::vector<uint8_t> StoreRecord(CSettingsRecord record) {
    CMemoryFile file;
    CArchive ar(&file, CArchive::store);
    return record.SerializeRecord(ar), ar.Flush(), file.m_data;
}
