// Arbitrary bytes as a settings record: a load completes or raises an archive error; what loads stores bytes that
// load and store again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/core/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryFile input(std::vector<uint8_t>(data, data + size));
    CSettingsRecord record, again;
    if (LoadRecord(input, record) != -1)
        return 0;
    CMemoryFile stored(StoreRecord(record));
    // A complete load consumed at least the fixed part of a record; what it stores reads back the same.
    if (input.m_pos < 25 || LoadRecord(stored, again) != -1 || StoreRecord(again) != stored.m_data)
        std::abort();
    return 0;
}
