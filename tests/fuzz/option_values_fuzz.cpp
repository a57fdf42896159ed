// Feeds an arbitrary Kelvane.ini section (lines "Key=value") to the option reader: every value read is in
// its range, and what is written reads back the same.
#include <algorithm>
#include <cstdlib>
#include <map>

#include "panel/OptionValues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::map<std::string, std::string> keys;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    COptionValues read, again;
    read.Read([&](const char* key, std::string& value) { return keys.count(key) && (value = keys[key], true); });
    if (read.nOutlineWidth < COptionValues::kMinOutlineWidth || read.nOutlineWidth > COptionValues::kMaxOutlineWidth ||
        read.crOutline > 0xFFFFFF)
        std::abort();
    std::map<std::string, std::string> written;
    read.Write([&](const char* key, const std::string& value) { return written[key] = value, true; });
    again.Read([&](const char* key, std::string& value) { return written.count(key) && (value = written[key], true); });
    if (!(again == read))
        std::abort();
    return 0;
}
