// Feeds arbitrary bytes to the settings record's decoder. A load either
// completes or raises an archive error; a record that loads must store and
// load again to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/Archive.h"
#include "panel/SettingsRecord.h"
#include "tests/core/memory_file.h"

namespace {

bool Load(CMemoryFile& file, CSettingsRecord& record)
{
    CArchive ar(&file, CArchive::load);
    try {
        record.SerializeRecord(ar);
        return true;
    } catch (const CArchiveException&) {
        return false;
    }
}

bool Same(const CSettingsRecord& a, const CSettingsRecord& b)
{
    return a.m_nDelay == b.m_nDelay && a.m_nHour == b.m_nHour && a.m_nMin == b.m_nMin && a.m_nSec == b.m_nSec &&
           a.m_nMillis == b.m_nMillis && a.m_crText == b.m_crText && a.m_strFile == b.m_strFile &&
           std::memcmp(&a.m_rcOverlay, &b.m_rcOverlay, sizeof a.m_rcOverlay) == 0 &&
           std::memcmp(&a.m_lfFont, &b.m_lfFont, sizeof a.m_lfFont) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemoryFile input;
    input.m_data.assign(data, data + size);
    CSettingsRecord record;
    if (!Load(input, record))
        return 0;
    // A complete load consumed at least the fixed part of a record.
    if (input.m_pos < 25)
        std::abort();

    CMemoryFile stored;
    {
        CArchive ar(&stored, CArchive::store);
        record.SerializeRecord(ar);
    }
    CSettingsRecord again;
    if (!Load(stored, again) || !Same(record, again))
        std::abort();
    return 0;
}
