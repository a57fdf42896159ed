// Feeds arbitrary cue text to the tag parser: no run is empty, neighbours differ in style.
#include <cstdlib>

#include "core/SubtitleTags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto runs = ParseSubtitleTags(std::string(reinterpret_cast<const char*>(data), size));
    for (size_t i = 0; i < runs.size(); ++i)
        if (runs[i].strText.empty() || (i > 0 && runs[i].style == runs[i - 1].style))
            std::abort();
    return 0;
}
