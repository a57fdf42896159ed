#pragma once
// A read-only byte stream over a file with the Windows text-mode rules, the same
// on every platform: CR LF is read as LF, a CR not followed by LF stays a CR,
// a Ctrl-Z byte (0x1A) ends the input for good just as the end of the file does,
// and the end-of-file indicator is set only by a read that tries to go past the
// end. The file is opened in binary and translated here, in a large buffer, so
// that reading is fast and identical whatever the platform's own text mode does.
//
// A file that starts with a UTF-16 byte-order mark (FF FE little-endian, FE FF
// big-endian) is converted to UTF-8 as it is read, before the text-mode rules:
// the mark itself is dropped, and the rules then apply to the characters (U+000D
// U+000A is read as LF, U+001A ends the input). A unit that is no character (a
// lone surrogate, an odd last byte) reads as U+FFFD. Any other file is read as
// its bytes, unless the encoding names a code page and a conversion and the file
// has no UTF-8 byte-order mark either: then it is converted to UTF-8 before the
// text-mode rules, a piece at a time, each piece ending at a line end (never
// inside a character of a multi-byte code page) unless a line runs on for more
// than a piece.
//
// Also the scanner for a SubRip cue header with the matching rules of the C
// library's fscanf for the format "%d\n%d:%d:%d,%d --> %d:%d:%d,%d\n".

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "core/Unicode.h"

class CTextStream {
public:
    static constexpr size_t kBufferSize = 64 * 1024;

    // Opens path (UTF-8) for reading; null when the file cannot be opened.
    static std::unique_ptr<CTextStream> Open(const std::string& path, const CFileEncoding& encoding = {});
    ~CTextStream();
    CTextStream(const CTextStream&) = delete;
    CTextStream& operator=(const CTextStream&) = delete;

    // The next character (0..255), or EOF at the end of the input, which also
    // sets the end-of-file indicator.
    int Getc()
    {
        if (m_pos < m_end)
            return *m_pos++;
        return GetcSlow();
    }

    // Pushes back the character that the last Getc returned (one character at
    // most); the next Getc returns it again. EOF is not pushed back. Like the C
    // library's ungetc, this clears the end-of-file indicator.
    void Ungetc(int c)
    {
        if (c == EOF || m_pos == m_buf.get())
            return;
        *--m_pos = static_cast<unsigned char>(c);
        m_eof = false;
    }

    // The end-of-file indicator.
    bool Eof() const { return m_eof; }

    // How ReadBlock stopped.
    enum BlockEnd {
        kEmptyLine,  // the last read completed two consecutive LFs
        kLimit,      // maxReads characters were read
        kEnd         // a read met the end of the input (and set the indicator)
    };
    // Reads characters as Getc would, one read after another, storing each in
    // out, until the first of: a read that completes two consecutive LFs, the
    // maxReads-th read, a read that meets the end. Returns the number stored.
    size_t ReadBlock(char* out, size_t maxReads, BlockEnd& how);

    // Skips a UTF-8 byte-order mark (EF BB BF) when it stands right at the
    // current position, which must be the start of the file (the first read
    // has dropped a UTF-16 mark already). True when the file began with either.
    bool SkipByteOrderMark();

    // Reads one line: the characters up to the next LF or CR, which ends the
    // line and is consumed. Only the first maxKeep characters are kept; the
    // rest of a longer line is read and dropped. line views them in the
    // stream's buffer, or in spill when the line runs across a refill; it is
    // valid until the next read. A last line without a line end is a line too.
    // False when the input had already ended (which sets the end-of-file
    // indicator).
    bool ReadLine(std::string_view& line, std::string& spill, size_t maxKeep);

private:
    friend int ScanHeader(CTextStream& in, int32_t* const fields[]);
    struct Source;  // the scanner's view of the stream

    CTextStream(std::FILE* file, const CFileEncoding& encoding);
    int GetcSlow();
    // Reads and translates the next chunk of the file. False when no character
    // is left (end of file, read error, or a Ctrl-Z met before).
    bool Refill();
    // The next chunk of the file's bytes (the first one decides whether the
    // file is UTF-16 or converted from a code page), converted to UTF-8 for
    // such a file. 0 at the end.
    size_t ReadChunk(unsigned char* out);
    // Converts the UTF-16 units that follow into out (at most kBufferSize bytes).
    size_t DecodeUtf16(unsigned char* out);
    // Converts the code page's bytes that follow into out (the same).
    size_t DecodeCodePage(unsigned char* out);
    // Moves the bytes not yet converted to the front of m_wide and reads on
    // until it holds up to size bytes or the file ends.
    void FillWide(size_t size);

    std::FILE* m_file;
    // One spare byte in front, so a CR held back from the previous chunk can be
    // put before the translated data of the next one.
    std::unique_ptr<unsigned char[]> m_buf;
    unsigned char* m_pos;       // next character to deliver
    unsigned char* m_end;       // end of the translated characters
    bool m_eof = false;         // end-of-file indicator
    bool m_done = false;        // no more input: end of file or Ctrl-Z
    bool m_heldCR = false;      // the last chunk ended in CR; the next decides it

    // ReadLine only: the next LF (CR) in the buffer at or after m_lfFrom
    // (m_crFrom), or m_end when none, while m_bLineEnds holds.
    bool m_bLineEnds = false;
    unsigned char* m_lfFrom = nullptr;
    unsigned char* m_nextLF = nullptr;
    unsigned char* m_crFrom = nullptr;
    unsigned char* m_nextCR = nullptr;

    // UTF-16 and code page files only: the file's bytes not yet converted.
    enum Encoding { kBytes, kUtf16LE, kUtf16BE, kCodePage };
    Encoding m_encoding = kBytes;
    CFileEncoding m_codePage;
    bool m_started = false;     // the first chunk (and its mark) has been read
    std::unique_ptr<unsigned char[]> m_wide;
    size_t m_widePos = 0;
    size_t m_wideEnd = 0;
    bool m_wideAtEnd = false;   // the file has no more bytes
};

// Fields of a cue header in the order the format fills them: number, start
// hour, minute, second, millisecond, end hour, minute, second, millisecond.
constexpr int kHeaderFields = 9;

// Scans one cue header from in as fscanf(in, "%d\n%d:%d:%d,%d --> %d:%d:%d,%d\n",
// ...) would, assigning through fields[0..8] up to the first mismatch. Numbers
// beyond 32 bits wrap modulo 2^32. The character that caused a mismatch is left
// unread. Returns the number of fields assigned, or EOF when the input ended
// before the first field was assigned.
int ScanHeader(CTextStream& in, int32_t* const fields[kHeaderFields]);
