#pragma once
// Reads a SubRip subtitle file forward, one cue at a time. Holds only the
// current cue: the file is never loaded whole, never sought, never re-read.

#include <cstdint>
#include <memory>
#include <string>

#include "core/Unicode.h"

class CTextStream;

class CSrtReader {
public:
    CSrtReader();
    virtual ~CSrtReader();
    CSrtReader(const CSrtReader&) = delete;
    CSrtReader& operator=(const CSrtReader&) = delete;

    // Opens the file (path in UTF-8, read as encoding says) and loads the first cue that starts at
    // or after startOffset (ms). Nonzero when such a cue is loaded and the end has not been met.
    int Open(std::string path, double startOffset, const CFileEncoding& encoding = {});
    // Reads the next header and recomputes m_dStart and m_dEnd.
    void ReadHeader();
    // Reads the next text block into m_strText.
    const std::string& ReadText();
    // Nonzero when there is no stream or a read has gone past the end.
    int IsAtEnd() const;

    std::unique_ptr<CTextStream> m_fp;  // the open subtitle file; null when none
    double m_dStart = 0;                // current cue's start, ms
    double m_dEnd = 0;                  // current cue's end, ms
    std::string m_strText;              // text of the current cue
    int32_t m_nIndex = 0;
    int32_t m_nStartHour = 0, m_nStartMin = 0, m_nStartSec = 0, m_nStartMillis = 0;
    int32_t m_nEndHour = 0, m_nEndMin = 0, m_nEndSec = 0, m_nEndMillis = 0;
};
