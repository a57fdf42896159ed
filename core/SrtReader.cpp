#include "core/SrtReader.h"

#include <cstring>

#include "core/TextStream.h"
#include "core/TimeMs.h"

namespace {

// ReadText reads at most this many characters per block and keeps two fewer.
constexpr size_t kTextReads = 500;
constexpr size_t kTextKept = kTextReads - 2;

// An over-long text keeps its first characters only; the rest of its block is
// no cue of its own. Reads past it up to and including its empty line (an LF
// right after `last`, the character read last, completes one), or to the end.
void SkipRestOfBlock(CTextStream& in, char last)
{
    int prev = static_cast<unsigned char>(last);
    for (int c = in.Getc(); c != EOF; prev = c, c = in.Getc()) {
        if (c == '\n' && prev == '\n')
            break;
    }
}

}  // namespace

CSrtReader::CSrtReader() = default;

CSrtReader::~CSrtReader() = default;  // the stream closes its file

int CSrtReader::Open(std::string path, double startOffset, const CFileEncoding& encoding)
{
    // A second Open replaces (and closes) the stream held before.
    m_fp = CTextStream::Open(path, encoding);
    if (!m_fp)
        return 0;
    // A UTF-8 byte-order mark would otherwise spoil the first header.
    m_fp->SkipByteOrderMark();
    ReadHeader();
    while (startOffset > m_dStart && !IsAtEnd()) {
        ReadText();
        ReadHeader();
    }
    return IsAtEnd() ? 0 : 1;
}

void CSrtReader::ReadHeader()
{
    if (m_fp) {
        int32_t* const fields[kHeaderFields] = {
            &m_nIndex,
            &m_nStartHour, &m_nStartMin, &m_nStartSec, &m_nStartMillis,
            &m_nEndHour, &m_nEndMin, &m_nEndSec, &m_nEndMillis,
        };
        ScanHeader(*m_fp, fields);
    }
    m_dStart = TimeMs(m_nStartHour, m_nStartMin, m_nStartSec, m_nStartMillis);
    m_dEnd = TimeMs(m_nEndHour, m_nEndMin, m_nEndSec, m_nEndMillis);
}

const std::string& CSrtReader::ReadText()
{
    if (IsAtEnd()) {
        m_strText.clear();
        return m_strText;
    }
    char buf[kTextReads];
    CTextStream::BlockEnd how;
    const size_t count = m_fp->ReadBlock(buf, kTextReads, how);
    size_t length = count;
    switch (how) {
    case CTextStream::kEmptyLine:
        length = count - 2;  // the line end of the last line and the empty line go
        break;
    case CTextStream::kLimit:
        length = kTextKept;  // the 499th and 500th characters are dropped
        SkipRestOfBlock(*m_fp, buf[count - 1]);
        break;
    case CTextStream::kEnd:
        // The end of the file: keep what was read, less the line end of the
        // last line when it has one.
        if (count > 0 && buf[count - 1] == '\n')
            length = count - 1;
        break;
    }
    // The text is a zero-terminated string: a NUL inside ends it.
    if (const void* nul = std::memchr(buf, '\0', length))
        length = static_cast<size_t>(static_cast<const char*>(nul) - buf);
    m_strText.assign(buf, length);
    return m_strText;
}

int CSrtReader::IsAtEnd() const
{
    return !m_fp || m_fp->Eof() ? 1 : 0;
}
