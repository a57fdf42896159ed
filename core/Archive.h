#pragma once
// A byte archive over a file, in the format the settings file uses: a 4096-byte
// buffer, little-endian 32-bit integers, length-prefixed strings, counted reads.
// Strings are the program's UTF-8; the archive stores one in the ANSI code page
// when the code page holds it exactly, else in its UTF-16 form, and loads both.
// Portable: the Windows file and in-memory test files both implement CArchiveFile.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// What an archive reads from and writes to, at the file's current position.
class CArchiveFile {
public:
    virtual ~CArchiveFile() = default;
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual unsigned Read(void* buffer, unsigned count) = 0;
    // Writes count bytes; false when the file could not take them.
    virtual bool Write(const void* buffer, unsigned count) = 0;
    // For rewriting the file in place (a save that is undone when it fails):
    // move to an offset from the start, the length, cut or extend to a length.
    // A file that cannot answers false, or -1 for the length.
    virtual bool SeekTo(uint64_t) { return false; }
    virtual int64_t GetSize() { return -1; }
    virtual bool SetSize(uint64_t) { return false; }
};

// The ANSI code page of the strings' narrow form. toAnsi: false when the code
// page cannot hold the text exactly (no best fit). The default is Latin-1.
struct CAnsiCodePage {
    bool (*toAnsi)(const std::string& utf8, std::string& ansi);
    std::string (*fromAnsi)(const std::string& ansi);
};
void SetArchiveCodePage(const CAnsiCodePage& codePage);

// Raised when a load meets the end of the file or a malformed record.
class CArchiveException : public std::runtime_error {
public:
    // writeUndoFailed: a write failed and the file could not be put back as it was.
    enum Cause { endOfFile, badFormat, writeFailed, writeUndoFailed };
    CArchiveException(Cause cause, const char* what) : std::runtime_error(what), m_cause(cause) {}
    Cause m_cause;
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };
    CArchive(CArchiveFile* file, unsigned mode, unsigned bufSize = 4096);
    ~CArchive();  // a storing archive writes out what is still buffered
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    CArchive& operator<<(int32_t value);
    CArchive& operator<<(uint32_t value);
    CArchive& operator<<(const std::string& value);
    // Extraction past the end throws CArchiveException(endOfFile).
    CArchive& operator>>(int32_t& value);
    CArchive& operator>>(uint32_t& value);
    CArchive& operator>>(std::string& value);

    // Counted read: up to count bytes, a short count at the end is no error.
    unsigned Read(void* buffer, unsigned count);
    void Write(const void* buffer, unsigned count);
    void Flush();

private:
    void FillBuffer(unsigned needed);  // load: throws endOfFile when short
    uint32_t ReadLittleEndian(unsigned bytes);            // load: 1, 2 or 4 bytes
    void WriteLittleEndian(uint32_t value, unsigned bytes);  // store: 1, 2 or 4 bytes
    void WriteOut();                   // store: hands the collected bytes to the file
    void WriteLength(uint32_t length); // store: a string's length prefix
    uint32_t ReadLength(bool& wideMark);  // load: a length prefix, or the UTF-16 mark
    CArchiveFile* m_file;
    unsigned m_mode;
    std::vector<uint8_t> m_buffer;
    unsigned m_pos = 0;   // next byte in the buffer
    unsigned m_size = 0;  // load: bytes held; store: bytes collected
};
