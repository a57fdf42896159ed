#pragma once
// What the fuzz targets of the WebVTT and ASS/SSA readers check on every cue, whatever the file held.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/CueReader.h"
#include "core/MarkupWriter.h"

inline void Require(bool condition, const char* what) {
    if (!condition)
        std::fprintf(stderr, "fuzz check failed: %s\n", what), std::abort();
}

// The input as a file of this process, rewritten for each input and removed at exit.
inline const std::string& InputFile(const uint8_t* data, size_t size, const char* prefix = "") {
    static const struct File {
        const char* dir = std::getenv("TMPDIR");
        std::string path = (dir && *dir ? dir : "/tmp") + ("/cue_fuzz." + std::to_string(getpid()));
        ~File() { std::remove(path.c_str()); }
    } file;
    std::FILE* f = std::fopen(file.path.c_str(), "wb");
    Require(f && std::fputs(prefix, f) >= 0 && std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0,
            "cannot write the input file");
    return file.path;
}

// The canonical markup: known tags, nested, each holding something, all closed; < > & only in tags and entities.
inline void CheckCanonical(const std::string& text) {
    std::vector<std::string> open;  // the closing tags due, innermost last
    bool justOpened = false;
    for (size_t i = 0, end; i < text.size(); i = end + 1) {
        end = text[i] == '<' ? text.find('>', i) : text[i] == '&' ? text.find(';', i) : i;
        Require(end != std::string::npos && text[i] != '>', "a < > or & that is neither tag nor entity");
        const std::string t = text.substr(i, end + 1 - i);
        const bool font = t.size() == 22 && t.compare(0, 14, "<font color=\"#") == 0 &&
                          t.find_first_not_of("0123456789ABCDEF", 14) == 20 && t.compare(20, 2, "\">") == 0;
        if (t[0] == '<' && t[1] == '/') {
            Require(!open.empty() && open.back() == t && !justOpened, "a closing tag out of place");
            open.pop_back();
        } else if (t[0] == '<') {
            Require(font || t == "<b>" || t == "<i>" || t == "<u>" || t == "<s>", "an unknown tag");
            const std::string closing = font ? "</font>" : "</" + t.substr(1);
            Require(std::find(open.begin(), open.end(), closing) == open.end(), "a tag within one of its kind");
            open.push_back(closing);
        } else if (t[0] == '&' && t != "&lt;" && t != "&gt;" && t != "&amp;") {
            const long code = t.size() <= 10 && t[1] == '#' && t.find_first_not_of("0123456789", 2) == t.size() - 1
                                  ? std::strtol(t.c_str() + 2, nullptr, 10) : -1;
            Require(code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF), "an entity that is no character");
        }
        justOpened = t[0] == '<' && t[1] != '/';
    }
    Require(open.empty() && !justOpened, "a tag left open");
}

inline void CheckCue(const CCue& cue) {
    Require(cue.dStart >= 0 && cue.dEnd > cue.dStart && cue.dEnd < 9007199254740992.0 && cue.dStart == int64_t(cue.dStart) &&
                cue.dEnd == int64_t(cue.dEnd), "times not whole ms from 0 to 2^53, the end after the start");
    Require(cue.strText.size() <= kMaxCueText && cue.strText.find_first_not_of(" \t\n") != std::string::npos,
            "a text beyond the bound, or one that shows nothing");
    CheckCanonical(cue.strText);
}
