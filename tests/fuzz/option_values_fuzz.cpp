// Feeds an arbitrary Kelvane.ini section (lines "Key=value") to the option reader: every value read is in
// its range, and what is written reads back the same.
#include <cstdlib>
#include <map>
#include <sstream>

#include "core/OptionValues.h"

using Keys = std::map<std::string, std::string>;

static void ReadFrom(Keys& keys, COptionValues& values) {
    values.Read([&](const char* key, std::string& value) { return keys.count(key) && (value = keys[key], true); });
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Keys keys, written;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(in, line);)
        if (const size_t eq = line.find('='); eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    COptionValues read, again;
    ReadFrom(keys, read);
    read.Write([&](const char* key, const std::string& value) { return written[key] = value, true; });
    ReadFrom(written, again);
    if (read.nOutlineWidth < COptionValues::kMinOutlineWidth || read.nOutlineWidth > COptionValues::kMaxOutlineWidth ||
        read.crOutline > 0xFFFFFF || !(again == read))
        std::abort();
    return 0;
}
