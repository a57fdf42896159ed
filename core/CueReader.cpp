#include "core/CueReader.h"

#include "core/AssReader.h"
#include "core/VttReader.h"

std::unique_ptr<CCueReader> MakeCueReader(SubtitleFormat format)
{
    switch (format) {
    case SubtitleFormat::WebVtt: return std::make_unique<CVttReader>();
    case SubtitleFormat::Ass: return std::make_unique<CAssReader>();
    default: return nullptr;
    }
}
