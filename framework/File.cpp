#include "framework/File.h"

#include "core/Unicode.h"

namespace {

bool Utf8ToAnsi(const std::string& utf8, std::string& ansi)
{
    const std::wstring wide = Utf8ToWide(utf8);
    if (WideToUtf8(wide) != utf8)
        return false;  // no valid UTF-8: keep what can be kept, in UTF-16
    if (wide.empty()) {
        ansi.clear();
        return true;
    }
    // UTF-8 as the code page knows neither flag nor default character.
    const bool utf8CodePage = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8CodePage ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* pUsedDefault = utf8CodePage ? nullptr : &usedDefault;
    const int length = static_cast<int>(wide.size());
    const int size = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, pUsedDefault);
    if (size <= 0 || usedDefault)
        return false;
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, &out[0], size, nullptr, pUsedDefault);
    // Exactly: the bytes must read back as the same characters.
    if (usedDefault || AnsiToWide(out) != wide)
        return false;
    ansi.swap(out);
    return true;
}

std::string AnsiToUtf8(const std::string& ansi)
{
    return WideToUtf8(AnsiToWide(ansi));
}

}  // namespace

std::wstring AnsiToWide(const std::string& ansi)
{
    const int length = static_cast<int>(ansi.size());
    const int nChars = length > 0 ? ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0) : 0;
    std::wstring wide(static_cast<size_t>(nChars > 0 ? nChars : 0), L'\0');
    if (nChars > 0)
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, &wide[0], nChars);
    return wide;
}

std::string CodePageToUtf8(unsigned codePage, const char* text, size_t length)
{
    const UINT cp = codePage ? codePage : CP_ACP;
    const int n = static_cast<int>(length);
    const int nChars = n > 0 ? ::MultiByteToWideChar(cp, 0, text, n, nullptr, 0) : 0;
    std::wstring wide(static_cast<size_t>(nChars > 0 ? nChars : 0), L'\0');
    if (nChars > 0)
        ::MultiByteToWideChar(cp, 0, text, n, &wide[0], nChars);
    return WideToUtf8(wide);
}

void UseAnsiCodePageForArchives()
{
    SetArchiveCodePage(CAnsiCodePage{Utf8ToAnsi, AnsiToUtf8});
}

CFile::~CFile()
{
    Close();
}

bool CFile::Open(const char* lpszFileName, unsigned nOpenFlags)
{
    Close();
    const unsigned known = modeWrite | modeReadWrite | modeCreate | modeNoTruncate;
    if ((nOpenFlags & ~known) != 0 || (nOpenFlags & 3) == 3)
        return false;

    DWORD access = GENERIC_READ;
    if (nOpenFlags & modeWrite)
        access = GENERIC_WRITE;
    else if (nOpenFlags & modeReadWrite)
        access = GENERIC_READ | GENERIC_WRITE;

    DWORD creation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        creation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    // Share mode none: while we hold the file nobody else can open it.
    m_hFile = ::CreateFileW(Utf8ToWide(lpszFileName).c_str(), access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
    m_nOpenError = m_hFile == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    return m_hFile != INVALID_HANDLE_VALUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

long long CFile::Seek(long long lOff, SeekPosition nFrom)
{
    if (!IsOpen())
        return -1;
    LARGE_INTEGER distance;
    distance.QuadPart = lOff;
    LARGE_INTEGER position;
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (!::SetFilePointerEx(m_hFile, distance, &position, methods[nFrom]))
        return -1;
    return position.QuadPart;
}

long long CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !::GetFileSizeEx(m_hFile, &size))
        return -1;
    return size.QuadPart;
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    DWORD read = 0;
    if (!IsOpen() || count == 0 || !::ReadFile(m_hFile, buffer, count, &read, nullptr))
        return 0;
    return read;
}

bool CFile::Write(const void* buffer, unsigned count)
{
    if (!IsOpen())
        return false;
    DWORD written = 0;
    return ::WriteFile(m_hFile, buffer, count, &written, nullptr) && written == count;
}

bool CFile::SetSize(uint64_t size)
{
    return SeekTo(size) && ::SetEndOfFile(m_hFile);
}
