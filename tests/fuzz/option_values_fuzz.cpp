// Feeds an arbitrary Kelvane.ini section (lines "Key=value") to the option reader. What holds for any file: every
// value read is in its range, what is written reads back the same, and blanks around a value, a comment after it
// and the letter case change nothing.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>

#include "core/OptionValues.h"

using Keys = std::map<std::string, std::string>;

static COptionValues ReadFrom(const Keys& keys) {
    COptionValues values;
    values.Read([&](const char* key, std::string& value) { return keys.count(key) && (value = keys.at(key), true); });
    return values;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Keys keys, written, dressed;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(in, line);)
        if (const size_t eq = line.find('='); eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    const COptionValues read = ReadFrom(keys);
    read.Write([&](const char* key, const std::string& value) { return written[key] = value, true; });
    for (auto [key, value] : keys) {
        std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return char(toupper(c)); });
        dressed[key] = " \t" + value + "\t ; a note";
    }
    if (read.nOutlineWidth < COptionValues::kMinOutlineWidth || read.nOutlineWidth > COptionValues::kMaxOutlineWidth ||
        read.nCodePage > 65535 || read.crOutline > 0xFFFFFF || !(ReadFrom(written) == read) || !(ReadFrom(dressed) == read))
        std::abort();
    return 0;
}
