#include "framework/File.h"

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
    m_hFile = ::CreateFileA(lpszFileName, access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
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
