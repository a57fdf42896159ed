#pragma once
// Helpers shared by the core tests: files in the temp folder (and the in-memory archive file).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/CueReader.h"
#include "core/Unicode.h"
#include "tests/core/memory_file.h"

using Bytes = std::vector<uint8_t>;

// A file in the temp folder holding the given bytes, removed again at the end.
struct TempFile {
    explicit TempFile(const std::string& bytes) {
        std::ofstream(m_path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { std::error_code ignored; std::filesystem::remove(m_path, ignored); }
    std::string Path() const { return m_path.string(); }
    static inline int s_count = 0;
    const std::filesystem::path m_path = std::filesystem::temp_directory_path() /
        ("kelvane_test_" + std::to_string(std::random_device{}()) + "_" + std::to_string(++s_count));
};

const std::string kThreeCues = "1\n00:00:01,000 --> 00:00:03,500\nOne\n\n2\n00:00:05,000 --> 00:00:07,000\nTwo\nlines\n\n"
                               "3\n00:00:08,250 --> 00:00:09,000\nThree\n\n";

// LF line ends to CR LF.
inline std::string Crlf(std::string text) {
    for (size_t i = 0; (i = text.find('\n', i)) != std::string::npos; i += 2)
        text.insert(i, 1, '\r');
    return text;
}

// UTF-16 units (or a UTF-8 text) as a UTF-16 file with its byte-order mark.
inline std::string Utf16(const std::u16string& units, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : units)
        out += little ? std::string{char(unit), char(unit >> 8)} : std::string{char(unit >> 8), char(unit)};
    return out;
}
inline std::string Utf16(const std::string& utf8, bool little) { return Utf16(Utf8ToUtf16(utf8), little); }

// Every cue a reader gives for the file, "start end #index text" a line, then "mark" when the file had a
// byte-order mark; "not opened" when Open fails.
inline std::string ReadCues(CCueReader& reader, const std::string& bytes, const CFileEncoding& encoding = {}) {
    TempFile file(bytes);
    if (!reader.Open(file.Path(), encoding))
        return "not opened";
    std::string seen;
    for (CCue cue; reader.Next(cue);)
        seen += std::to_string(static_cast<long long>(cue.dStart)) + " " + std::to_string(static_cast<long long>(cue.dEnd)) +
                " #" + std::to_string(cue.nIndex) + " " + cue.strText + "\n";
    return seen + (reader.HasByteOrderMark() ? "mark" : "");
}
