#pragma once
// CFile: a Win32 file that the settings archive reads and writes.
// Open modes: modeRead (0): read only, must exist, no sharing;
// modeCreate | modeNoTruncate | modeReadWrite (0x3002): read and write,
// created when missing, never truncated, no sharing.

#include <windows.h>

#include <string>

#include "core/Archive.h"

class CFile : public CArchiveFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    ~CFile() override;  // closes the file
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False when the file could not be opened (or nOpenFlags holds other bits);
    // m_nOpenError then holds the platform's reason. The name is UTF-8.
    bool Open(const char* lpszFileName, unsigned nOpenFlags);
    void Close();
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    // New position, or -1 on failure.
    long long Seek(long long lOff, SeekPosition nFrom);
    long long GetLength() const;

    unsigned Read(void* buffer, unsigned count) override;
    bool Write(const void* buffer, unsigned count) override;
    bool SeekTo(uint64_t offset) override { return Seek(static_cast<long long>(offset), begin) >= 0; }
    int64_t GetSize() override { return GetLength(); }
    bool SetSize(uint64_t size) override;  // moves to size and ends the file there

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    DWORD m_nOpenError = 0;
};

// Makes the archives store text in this system's ANSI code page where it holds
// the text exactly (no best fit), else in the UTF-16 form.
void UseAnsiCodePageForArchives();

// Bytes in the ANSI code page as UTF-16.
std::wstring AnsiToWide(const std::string& ansi);
// Bytes in a code page (0: the ANSI one) as UTF-8, as the subtitle readers take
// them (CFileEncoding::decode). Invalid sequences read as the system reads them.
std::string CodePageToUtf8(unsigned codePage, const char* text, size_t length);
