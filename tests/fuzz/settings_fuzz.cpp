// Feeds arbitrary bytes to the settings record's decoder. A load either completes or raises an archive
// error; a record that loads stores bytes that load and store again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/Archive.h"
#include "panel/SettingsRecord.h"
#include "tests/core/memory_file.h"

namespace {

bool Load(CMemoryFile& file, CSettingsRecord& record) {
    CArchive ar(&file, CArchive::load);
    try {
        return record.SerializeRecord(ar), true;
    } catch (const CArchiveException&) {
        return false;
    }
}

std::vector<uint8_t> Store(CSettingsRecord& record) {
    CMemoryFile file;
    CArchive ar(&file, CArchive::store);
    record.SerializeRecord(ar);
    ar.Flush();
    return file.m_data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryFile input(std::vector<uint8_t>(data, data + size));
    CSettingsRecord record, again;
    if (!Load(input, record))
        return 0;
    CMemoryFile stored(Store(record));
    // A complete load consumed at least the fixed part of a record; what it stores reads back the same.
    if (input.m_pos < 25 || !Load(stored, again) || Store(again) != stored.m_data)
        std::abort();
    return 0;
}
