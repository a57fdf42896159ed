#include "core/TextStream.h"

#include <algorithm>
#include <cstring>

#include "core/Unicode.h"

namespace {

constexpr unsigned char kCR = '\r';
constexpr unsigned char kLF = '\n';
constexpr unsigned char kCtrlZ = 0x1A;

}  // namespace

std::unique_ptr<CTextStream> CTextStream::Open(const std::string& path, const CFileEncoding& encoding)
{
#ifdef _WIN32
    // The path is UTF-8: the wide open takes every name the file system can hold.
    std::FILE* file = _wfopen(Utf8ToWide(path).c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (!file)
        return nullptr;
    // Our own buffer does the buffering; reads go straight into it.
    std::setvbuf(file, nullptr, _IONBF, 0);
    return std::unique_ptr<CTextStream>(new CTextStream(file, encoding));
}

CTextStream::CTextStream(std::FILE* file, const CFileEncoding& encoding)
    : m_file(file), m_buf(new unsigned char[kBufferSize + 1]), m_pos(m_buf.get()), m_end(m_buf.get()),
      m_codePage(encoding)
{
}

CTextStream::~CTextStream()
{
    std::fclose(m_file);
}

int CTextStream::GetcSlow()
{
    if (Refill())
        return *m_pos++;
    m_eof = true;
    return EOF;
}

bool CTextStream::Refill()
{
    m_bLineEnds = false;  // the buffer is about to change
    while (!m_done) {
        unsigned char* const raw = m_buf.get() + 1;
        const size_t count = m_encoding == kBytes && m_started ? std::fread(raw, 1, kBufferSize, m_file)
                                                               : ReadChunk(raw);
        const unsigned char* p = raw;
        const unsigned char* end = raw + count;
        if (count == 0)
            m_done = true;  // end of file (or a read error, treated alike)
        // A Ctrl-Z ends the input for good: nothing from it on is ever read.
        bool cutByCtrlZ = false;
        if (const void* z = std::memchr(raw, kCtrlZ, count)) {
            end = static_cast<const unsigned char*>(z);
            cutByCtrlZ = true;
            m_done = true;
        }

        unsigned char* start = raw;
        unsigned char* q = raw;
        // A CR that ended the previous chunk: CR LF becomes LF, anything else
        // (also the end of the file or a Ctrl-Z) leaves the CR as it is.
        if (m_heldCR) {
            m_heldCR = false;
            start = q = m_buf.get();
            if (p < end && *p == kLF) {
                *q++ = kLF;
                ++p;
            } else {
                *q++ = kCR;
            }
        }

        // Translate CR LF to LF in place (q never passes p). A chunk without
        // any CR (LF files) needs nothing; after a CR, eight bytes at a time
        // while they hold none (CR LF files have one every few dozen bytes).
        const void* firstCR = p < end ? std::memchr(p, kCR, static_cast<size_t>(end - p)) : nullptr;
        if (!firstCR && p < end) {
            if (q != p)
                std::memmove(q, p, static_cast<size_t>(end - p));
            q += end - p;
            p = end;
        }
        while (p < end) {
            while (end - p >= 8) {
                uint64_t word;
                std::memcpy(&word, p, 8);
                const uint64_t x = word ^ 0x0D0D0D0D0D0D0D0Dull;
                if ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull)
                    break;  // a CR among them
                std::memcpy(q, &word, 8);
                p += 8;
                q += 8;
            }
            // One byte at a time up to and including the next CR.
            while (p < end && *p != kCR)
                *q++ = *p++;
            if (p == end)
                break;
            if (p + 1 == end) {
                // The last byte of the chunk: the next chunk decides, unless
                // a Ctrl-Z follows, which leaves it a lone CR.
                if (cutByCtrlZ)
                    *q++ = kCR;
                else
                    m_heldCR = true;
                ++p;
            } else if (p[1] == kLF) {
                *q++ = kLF;
                p += 2;
            } else {
                *q++ = kCR;
                ++p;
            }
        }

        if (q != start) {
            m_pos = start;
            m_end = q;
            return true;
        }
    }
    return false;
}

size_t CTextStream::ReadChunk(unsigned char* out)
{
    if (m_started)
        return m_encoding == kCodePage ? DecodeCodePage(out) : DecodeUtf16(out);
    m_started = true;
    const size_t count = std::fread(out, 1, kBufferSize, m_file);
    const bool utf16 = count >= 2 && ((out[0] == 0xFF && out[1] == 0xFE) || (out[0] == 0xFE && out[1] == 0xFF));
    const bool utf8 = count >= 3 && out[0] == 0xEF && out[1] == 0xBB && out[2] == 0xBF;
    if (!utf16 && (utf8 || m_codePage.nCodePage == 0 || !m_codePage.decode))
        return count;
    m_encoding = utf16 ? (out[0] == 0xFF ? kUtf16LE : kUtf16BE) : kCodePage;
    m_wide.reset(new unsigned char[kBufferSize]);
    const size_t mark = utf16 ? 2 : 0;
    std::memcpy(m_wide.get(), out + mark, count - mark);
    m_wideEnd = count - mark;
    return utf16 ? DecodeUtf16(out) : DecodeCodePage(out);
}

void CTextStream::FillWide(size_t size)
{
    const size_t left = m_wideEnd - m_widePos;
    std::memmove(m_wide.get(), m_wide.get() + m_widePos, left);
    m_widePos = 0;
    m_wideEnd = left;
    while (!m_wideAtEnd && m_wideEnd < size) {
        const size_t count = std::fread(m_wide.get() + m_wideEnd, 1, size - m_wideEnd, m_file);
        m_wideEnd += count;
        m_wideAtEnd = count == 0;
    }
}

size_t CTextStream::DecodeCodePage(unsigned char* out)
{
    // A byte becomes three bytes of UTF-8 at most: a quarter of the buffer at a time.
    constexpr size_t kPiece = kBufferSize / 4;
    for (;;) {
        if (m_wideEnd - m_widePos < kPiece)
            FillWide(kPiece);
        const unsigned char* const p = m_wide.get() + m_widePos;
        size_t length = std::min(m_wideEnd - m_widePos, kPiece);
        if (length == 0)
            return 0;
        // Up to the last line end, which no multi-byte character holds, unless the file ends here.
        if (!(m_wideAtEnd && m_widePos + length == m_wideEnd))
            for (size_t i = length; i > 0; --i)
                if (p[i - 1] == kLF || p[i - 1] == kCR) {
                    length = i;
                    break;
                }
        const std::string text = m_codePage.decode(m_codePage.nCodePage, reinterpret_cast<const char*>(p), length);
        m_widePos += length;
        const size_t count = std::min(text.size(), kBufferSize);
        std::memcpy(out, text.data(), count);
        if (count > 0)
            return count;
    }
}

size_t CTextStream::DecodeUtf16(unsigned char* out)
{
    constexpr unsigned kReplacement = 0xFFFD;
    unsigned char* q = out;
    // Room for one more character of up to four bytes.
    unsigned char* const last = out + kBufferSize - 4;
    const int hi = m_encoding == kUtf16LE ? 1 : 0;
    while (q <= last) {
        const size_t left = m_wideEnd - m_widePos;
        if (left < 4 && !m_wideAtEnd) {
            FillWide(kBufferSize);  // a surrogate pair kept whole
            continue;
        }
        if (left < 2) {
            if (left == 1) {  // an odd last byte
                ++m_widePos;
                q += EncodeUtf8(kReplacement, q);
            }
            break;
        }
        const unsigned char* p = m_wide.get() + m_widePos;
        unsigned code = (unsigned{p[hi]} << 8) | p[1 - hi];
        m_widePos += 2;
        if (code < 0x80) {
            *q++ = static_cast<unsigned char>(code);
            continue;
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            const unsigned low = left >= 4 ? (unsigned{p[2 + hi]} << 8) | p[3 - hi] : 0;
            if (code <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                m_widePos += 2;
            } else {
                code = kReplacement;  // a surrogate that is not half of a pair
            }
        }
        q += EncodeUtf8(code, q);
    }
    return static_cast<size_t>(q - out);
}

size_t CTextStream::ReadBlock(char* out, size_t maxReads, BlockEnd& how)
{
    size_t count = 0;
    while (count < maxReads) {
        if (m_pos == m_end && !Refill()) {
            m_eof = true;
            how = kEnd;
            return count;
        }
        // Within the buffered characters, look for LF LF with memchr; a pair
        // may also be split between this piece and the one before.
        const unsigned char* const p = m_pos;
        const unsigned char* const e = p + std::min(static_cast<size_t>(m_end - p), maxReads - count);
        const unsigned char* stop = e;
        bool pair = false;
        if (count > 0 && out[count - 1] == '\n' && *p == kLF) {
            stop = p + 1;
            pair = true;
        } else {
            for (const unsigned char* s = p; s < e;) {
                const void* found = std::memchr(s, kLF, static_cast<size_t>(e - s));
                if (!found)
                    break;
                const unsigned char* lf = static_cast<const unsigned char*>(found);
                if (lf + 1 < e && lf[1] == kLF) {
                    stop = lf + 2;
                    pair = true;
                    break;
                }
                s = lf + 1;
            }
        }
        const size_t n = static_cast<size_t>(stop - p);
        std::memcpy(out + count, p, n);
        count += n;
        m_pos += n;
        if (pair) {
            how = kEmptyLine;
            return count;
        }
    }
    how = kLimit;
    return count;
}

bool CTextStream::ReadLine(std::string_view& line, std::string& spill, size_t maxKeep)
{
    bool any = false;
    for (;;) {
        if (m_pos == m_end && !Refill()) {
            m_eof = true;
            if (any)
                line = spill;
            return any;
        }
        // The next LF and the next CR, each found once per stretch of the
        // buffer: a file with only one of them is not searched for the other
        // at every line.
        unsigned char* const e = m_end;
        if (!m_bLineEnds || m_pos < m_lfFrom || m_pos > m_nextLF) {
            unsigned char* const lf = static_cast<unsigned char*>(std::memchr(m_pos, kLF, static_cast<size_t>(e - m_pos)));
            m_lfFrom = m_pos;
            m_nextLF = lf ? lf : e;
        }
        if (!m_bLineEnds || m_pos < m_crFrom || m_pos > m_nextCR) {
            unsigned char* const cr = static_cast<unsigned char*>(std::memchr(m_pos, kCR, static_cast<size_t>(e - m_pos)));
            m_crFrom = m_pos;
            m_nextCR = cr ? cr : e;
        }
        m_bLineEnds = true;
        unsigned char* const p = std::min(m_nextLF, m_nextCR);
        const char* const start = reinterpret_cast<const char*>(m_pos);
        const size_t length = static_cast<size_t>(p - m_pos);
        m_pos = p;
        if (!any && p < e) {
            // The common case: the whole line is in the buffer.
            ++m_pos;
            line = std::string_view(start, std::min(length, maxKeep));
            return true;
        }
        if (!any)
            spill.clear();
        any = true;
        if (spill.size() < maxKeep)
            spill.append(start, std::min(length, maxKeep - spill.size()));
        if (p < e) {
            ++m_pos;  // the line end
            line = spill;
            return true;
        }
    }
}

bool CTextStream::SkipByteOrderMark()
{
    static const unsigned char kMark[3] = {0xEF, 0xBB, 0xBF};
    if ((m_pos < m_end || Refill()) && m_end - m_pos >= 3 && std::memcmp(m_pos, kMark, 3) == 0) {
        m_pos += 3;
        return true;
    }
    return m_encoding == kUtf16LE || m_encoding == kUtf16BE;
}

namespace {

// White space as the C library's isspace in the "C" locale: space, tab, LF,
// vertical tab, form feed, CR.
inline bool IsSpace(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

#if defined(__GNUC__)
#define KELVANE_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define KELVANE_ALWAYS_INLINE inline
#endif

// What the fast path reads past the buffered characters: it matches nothing,
// so the scan stops there and is done again from the stream.
constexpr int kNeedMore = -2;

// The buffered characters only; no side effect on the stream.
struct BufferSource {
    const unsigned char* p;
    const unsigned char* e;
    bool ranOut = false;

    KELVANE_ALWAYS_INLINE int Get()
    {
        if (p < e)
            return *p++;
        ranOut = true;
        return kNeedMore;
    }
};

// One header scan over a source of characters: "%d\n%d:%d:%d,%d --> %d:%d:%d,%d\n"
// directive by directive; the first that fails ends it.
template <typename Source>
struct HeaderScan {
    Source& src;
    // The character read last and not yet matched: it is pushed back at the
    // end, so a mismatch leaves it unread.
    int c = 0;
    int assigned = 0;
    bool inputFailure = false;  // the input ended where a character was needed
    int32_t values[kHeaderFields] = {};

    KELVANE_ALWAYS_INLINE void Run()
    {
        c = src.Get();
        Number() && Blanks() &&
            Number() && Literal(':') && Number() && Literal(':') && Number() && Literal(',') && Number() &&
            Blanks() && Literal('-') && Literal('-') && Literal('>') && Blanks() &&
            Number() && Literal(':') && Number() && Literal(':') && Number() && Literal(',') && Number() &&
            Blanks();
    }

    // A white-space directive: any run of white space, also none.
    KELVANE_ALWAYS_INLINE bool Blanks()
    {
        while (IsSpace(c))
            c = src.Get();
        return true;
    }

    // %d: white space, then an optionally signed decimal number.
    KELVANE_ALWAYS_INLINE bool Number()
    {
        Blanks();
        if (c == EOF) {
            inputFailure = true;
            return false;
        }
        bool negative = false;
        if (c == '-' || c == '+') {
            negative = c == '-';
            c = src.Get();  // the sign stays consumed even when no digit follows
        }
        if (!IsDigit(c))
            return false;
        // Unsigned arithmetic: digits beyond 32 bits wrap, never overflow.
        uint32_t value = 0;
        do {
            value = value * 10u + static_cast<uint32_t>(c - '0');
            c = src.Get();
        } while (IsDigit(c));
        values[assigned++] = static_cast<int32_t>(negative ? 0u - value : value);
        return true;
    }

    // A literal character: it must be the very next one.
    KELVANE_ALWAYS_INLINE bool Literal(char ch)
    {
        if (c == EOF) {
            inputFailure = true;
            return false;
        }
        if (c != static_cast<unsigned char>(ch))
            return false;
        c = src.Get();
        return true;
    }
};

}  // namespace

// The stream itself, read through with its position in locals.
struct CTextStream::Source {
    CTextStream& in;
    unsigned char* p;
    unsigned char* e;

    KELVANE_ALWAYS_INLINE int Get()
    {
        if (p < e)
            return *p++;
        in.m_pos = p;
        const int ch = in.GetcSlow();
        p = in.m_pos;
        e = in.m_end;
        return ch;
    }
};

int ScanHeader(CTextStream& in, int32_t* const fields[])
{
    // Fast path, the common case: the scan ends within the buffered
    // characters. It has no effect on the stream until it is known to be whole.
    BufferSource buffered{in.m_pos, in.m_end};
    HeaderScan<BufferSource> fast{buffered};
    fast.Run();
    if (!buffered.ranOut) {
        for (int i = 0; i < fast.assigned; ++i)
            *fields[i] = fast.values[i];
        in.m_pos += (buffered.p - in.m_pos) - 1;  // the last character read stays unread
        return fast.assigned;
    }

    // The buffer ends within the header: scan again, refilling as needed.
    CTextStream::Source stream{in, in.m_pos, in.m_end};
    HeaderScan<CTextStream::Source> scan{stream};
    scan.Run();
    for (int i = 0; i < scan.assigned; ++i)
        *fields[i] = scan.values[i];
    in.m_pos = stream.p;
    in.Ungetc(scan.c);
    return scan.inputFailure && scan.assigned == 0 ? EOF : scan.assigned;
}
