#include "core/Archive.h"

#include <algorithm>
#include <cstring>

#include "core/Unicode.h"

namespace {

// Every integer the archive handles fits in the buffer at once.
constexpr unsigned kMinBufferSize = 16;

// Prefix values of a string's length: one byte below 0xFF, otherwise 16 bits;
// 0xFFFF announces a 32-bit length, 0xFFFE the mark of a UTF-16 string.
constexpr uint32_t kByteLengthLimit = 0xFF;
constexpr uint32_t kWideStringMark = 0xFFFE;
constexpr uint32_t kLongLengthMark = 0xFFFF;

int32_t ToSigned(uint32_t value)
{
    // Two's complement, without relying on the implementation's conversion.
    if (value <= 0x7FFFFFFFu)
        return static_cast<int32_t>(value);
    return -static_cast<int32_t>(~value) - 1;
}

CAnsiCodePage g_codePage = {Utf8ToLatin1, Latin1ToUtf8};

void RequireMode(bool ok)
{
    if (!ok)
        throw std::logic_error("archive used in the wrong direction");
}

}  // namespace

void SetArchiveCodePage(const CAnsiCodePage& codePage)
{
    g_codePage = codePage;
}

CArchive::CArchive(CArchiveFile* file, unsigned mode, unsigned bufSize)
    : m_file(file), m_mode(mode), m_buffer(std::max(bufSize, kMinBufferSize))
{
}

CArchive::~CArchive()
{
    if (!IsStoring())
        return;
    try {
        WriteOut();
    } catch (...) {
        // A destructor must not throw; whoever needs to know calls Flush first.
    }
}

void CArchive::FillBuffer(unsigned needed)
{
    if (m_size - m_pos >= needed)
        return;
    // Keep the unread bytes, move them to the front, and top the buffer up.
    const unsigned held = m_size - m_pos;
    if (held > 0 && m_pos > 0)
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, held);
    m_pos = 0;
    m_size = held;
    const unsigned capacity = static_cast<unsigned>(m_buffer.size());
    while (m_size < needed) {
        const unsigned got = m_file->Read(m_buffer.data() + m_size, capacity - m_size);
        if (got == 0)
            throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
        m_size += got;
    }
}

uint32_t CArchive::ReadLittleEndian(unsigned bytes)
{
    RequireMode(IsLoading());
    FillBuffer(bytes);
    uint32_t value = 0;
    for (unsigned i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(m_buffer[m_pos + i]) << (8 * i);
    m_pos += bytes;
    return value;
}

void CArchive::WriteLittleEndian(uint32_t value, unsigned bytes)
{
    uint8_t encoded[4];
    for (unsigned i = 0; i < bytes; ++i)
        encoded[i] = static_cast<uint8_t>(value >> (8 * i));
    Write(encoded, bytes);
}

CArchive& CArchive::operator<<(int32_t value)
{
    return *this << static_cast<uint32_t>(value);
}

CArchive& CArchive::operator<<(uint32_t value)
{
    WriteLittleEndian(value, 4);
    return *this;
}

void CArchive::WriteLength(uint32_t n)
{
    if (n < kByteLengthLimit) {
        WriteLittleEndian(n, 1);
    } else {
        WriteLittleEndian(kByteLengthLimit, 1);
        if (n < kWideStringMark) {
            WriteLittleEndian(n, 2);
        } else {
            WriteLittleEndian(kLongLengthMark, 2);
            WriteLittleEndian(n, 4);
        }
    }
}

CArchive& CArchive::operator<<(const std::string& value)
{
    RequireMode(IsStoring());
    std::string ansi;
    if (g_codePage.toAnsi(value, ansi)) {
        // The code page holds it: its bytes, as every earlier version stored them.
        if (ansi.size() > 0xFFFFFFFFu)
            throw CArchiveException(CArchiveException::badFormat, "string too long to store");
        WriteLength(static_cast<uint32_t>(ansi.size()));
        Write(ansi.data(), static_cast<unsigned>(ansi.size()));
        return *this;
    }
    // The UTF-16 form: the mark, then the length in UTF-16 units, then the units.
    const std::u16string wide = Utf8ToUtf16(value);
    if (wide.size() > 0x7FFFFFFFu)
        throw CArchiveException(CArchiveException::badFormat, "string too long to store");
    WriteLittleEndian(kByteLengthLimit, 1);
    WriteLittleEndian(kWideStringMark, 2);
    WriteLength(static_cast<uint32_t>(wide.size()));
    for (char16_t unit : wide)
        WriteLittleEndian(unit, 2);
    return *this;
}

CArchive& CArchive::operator>>(int32_t& value)
{
    value = ToSigned(ReadLittleEndian(4));
    return *this;
}

CArchive& CArchive::operator>>(uint32_t& value)
{
    value = ReadLittleEndian(4);
    return *this;
}

uint32_t CArchive::ReadLength(bool& wideMark)
{
    wideMark = false;
    uint32_t length = ReadLittleEndian(1);
    if (length == kByteLengthLimit) {
        length = ReadLittleEndian(2);
        wideMark = length == kWideStringMark;
        if (length == kLongLengthMark)
            length = ReadLittleEndian(4);
    }
    return length;
}

CArchive& CArchive::operator>>(std::string& value)
{
    bool wide = false;
    uint32_t length = ReadLength(wide);
    if (wide) {
        bool again = false;
        length = ReadLength(again);
        if (again)
            throw CArchiveException(CArchiveException::badFormat, "string marked as UTF-16 twice");
    }
    // The length comes from the file and may be corrupt: grow the string only
    // by what has actually been read, so a huge claim costs no huge allocation.
    uint64_t remaining = wide ? uint64_t{length} * 2 : length;
    std::string bytes;
    bytes.reserve(std::min<uint64_t>(remaining, m_buffer.size()));
    char chunk[4096];
    while (remaining > 0) {
        const unsigned want = static_cast<unsigned>(std::min<uint64_t>(remaining, sizeof chunk));
        const unsigned got = Read(chunk, want);
        bytes.append(chunk, got);
        if (got < want)
            throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
        remaining -= got;
    }
    if (!wide) {
        value = g_codePage.fromAnsi(bytes);
        return *this;
    }
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const unsigned low = static_cast<uint8_t>(bytes[2 * i]);
        const unsigned high = static_cast<uint8_t>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(low | high << 8);
    }
    value = Utf16ToUtf8(units);
    return *this;
}

unsigned CArchive::Read(void* buffer, unsigned count)
{
    RequireMode(IsLoading());
    uint8_t* out = static_cast<uint8_t*>(buffer);
    unsigned done = 0;
    const unsigned capacity = static_cast<unsigned>(m_buffer.size());
    while (done < count) {
        if (m_pos == m_size) {
            const unsigned remaining = count - done;
            if (remaining >= capacity) {
                // Large reads bypass the buffer.
                const unsigned got = m_file->Read(out + done, remaining);
                if (got == 0)
                    break;
                done += got;
                continue;
            }
            m_pos = 0;
            m_size = m_file->Read(m_buffer.data(), capacity);
            if (m_size == 0)
                break;
        }
        const unsigned take = std::min(count - done, m_size - m_pos);
        std::memcpy(out + done, m_buffer.data() + m_pos, take);
        m_pos += take;
        done += take;
    }
    return done;
}

void CArchive::Write(const void* buffer, unsigned count)
{
    RequireMode(IsStoring());
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    const unsigned capacity = static_cast<unsigned>(m_buffer.size());
    while (count > 0) {
        if (m_size == capacity)
            WriteOut();
        if (m_size == 0 && count >= capacity) {
            // Large writes bypass the buffer.
            if (!m_file->Write(in, count))
                throw CArchiveException(CArchiveException::writeFailed, "file write failed");
            return;
        }
        const unsigned take = std::min(count, capacity - m_size);
        std::memcpy(m_buffer.data() + m_size, in, take);
        m_size += take;
        in += take;
        count -= take;
    }
    if (m_size == capacity)
        WriteOut();
}

void CArchive::WriteOut()
{
    if (m_size == 0)
        return;
    const unsigned size = m_size;
    m_size = 0;  // the bytes are gone either way: never written twice
    if (!m_file->Write(m_buffer.data(), size))
        throw CArchiveException(CArchiveException::writeFailed, "file write failed");
}

void CArchive::Flush()
{
    // A loading archive keeps what it has read ahead: the file offers no way
    // back, and the next extraction continues where the last one stopped.
    if (IsStoring())
        WriteOut();
}
