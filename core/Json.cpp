#include "core/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/Unicode.h"

namespace {

class CJsonParser {
public:
    explicit CJsonParser(const std::string& text) : m_text(text) {}

    bool ParseDocument(CJsonValue& value)
    {
        SkipBlanks();
        if (!ParseValue(value, 0))
            return false;
        SkipBlanks();
        return m_pos == m_text.size() || Fail();
    }
    size_t ErrorAt() const { return m_pos; }
    bool TooDeep() const { return m_bTooDeep; }

private:
    bool Fail() { return false; }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }

    void SkipBlanks()
    {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++m_pos;
    }

    bool Literal(const char* word)
    {
        for (; *word; ++word, ++m_pos)
            if (Peek() != *word)
                return false;
        return true;
    }

    bool ParseValue(CJsonValue& value, int depth)
    {
        switch (Peek()) {
        case '{': return ParseObject(value, depth + 1);
        case '[': return ParseArray(value, depth + 1);
        case '"': return value.m_type = CJsonValue::String, ParseString(value.m_strText);
        case 't': return value.m_type = CJsonValue::Bool, value.m_bBool = true, Literal("true");
        case 'f': return value.m_type = CJsonValue::Bool, value.m_bBool = false, Literal("false");
        case 'n': return value.m_type = CJsonValue::Null, Literal("null");
        default: return value.m_type = CJsonValue::Number, ParseNumber(value.m_dNumber);
        }
    }

    bool ParseObject(CJsonValue& value, int depth)
    {
        if (depth > CJsonValue::kMaxDepth)
            return m_bTooDeep = true, false;
        value.m_type = CJsonValue::Object;
        ++m_pos;
        SkipBlanks();
        if (Peek() == '}')
            return ++m_pos, true;
        for (;;) {
            value.m_members.emplace_back();
            auto& member = value.m_members.back();
            if (Peek() != '"' || !ParseString(member.first))
                return false;
            SkipBlanks();
            if (Peek() != ':')
                return false;
            ++m_pos;
            SkipBlanks();
            if (!ParseValue(member.second, depth))
                return false;
            SkipBlanks();
            const char c = Peek();
            ++m_pos;
            if (c == '}')
                return true;
            if (c != ',')
                return --m_pos, false;
            SkipBlanks();
        }
    }

    bool ParseArray(CJsonValue& value, int depth)
    {
        if (depth > CJsonValue::kMaxDepth)
            return m_bTooDeep = true, false;
        value.m_type = CJsonValue::Array;
        ++m_pos;
        SkipBlanks();
        if (Peek() == ']')
            return ++m_pos, true;
        for (;;) {
            value.m_items.emplace_back();
            if (!ParseValue(value.m_items.back(), depth))
                return false;
            SkipBlanks();
            const char c = Peek();
            ++m_pos;
            if (c == ']')
                return true;
            if (c != ',')
                return --m_pos, false;
            SkipBlanks();
        }
    }

    bool Hex4(unsigned& unit)
    {
        if (m_text.size() - m_pos < 4)
            return false;
        const char* first = m_text.data() + m_pos;
        const auto result = std::from_chars(first, first + 4, unit, 16);
        if (result.ptr != first + 4)
            return false;
        m_pos += 4;
        return true;
    }

    bool ParseString(std::string& out)
    {
        ++m_pos;  // the opening quote
        for (;;) {
            if (AtEnd())
                return false;
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return --m_pos, false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char e = Peek();
            ++m_pos;
            static const char kEscapes[] = "\"\"\\\\//b\bf\fn\nr\rt\t";
            bool simple = false;
            for (size_t i = 0; i + 1 < sizeof kEscapes && !simple; i += 2)
                if (e == kEscapes[i])
                    out += kEscapes[i + 1], simple = true;
            if (simple)
                continue;
            unsigned unit = 0;
            if (e != 'u' || !Hex4(unit))
                return --m_pos, false;
            char32_t code = unit;
            // A high surrogate followed by an escaped low one is one character; a lone surrogate (no
            // valid UTF-8) becomes U+FFFD, as a file name in a player's answer may hold one.
            if (unit >= 0xD800 && unit <= 0xDBFF && m_text.compare(m_pos, 2, "\\u") == 0) {
                const size_t back = m_pos;
                unsigned low = 0;
                m_pos += 2;
                if (Hex4(low) && low >= 0xDC00 && low <= 0xDFFF)
                    code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                else
                    m_pos = back;
            }
            if (code >= 0xD800 && code <= 0xDFFF)
                code = 0xFFFD;
            unsigned char bytes[4];
            out.append(reinterpret_cast<const char*>(bytes), EncodeUtf8(code, bytes));
        }
    }

    bool Digits()
    {
        const size_t start = m_pos;
        while (Peek() >= '0' && Peek() <= '9')
            ++m_pos;
        return m_pos > start;
    }

    bool ParseNumber(double& number)
    {
        const size_t start = m_pos;
        if (Peek() == '-')
            ++m_pos;
        if (Peek() == '0')
            ++m_pos;
        else if (!Digits())
            return false;
        if (Peek() == '.' && (++m_pos, !Digits()))
            return false;
        if (Peek() == 'e' || Peek() == 'E') {
            ++m_pos;
            if (Peek() == '+' || Peek() == '-')
                ++m_pos;
            if (!Digits())
                return false;
        }
        const char* first = m_text.data() + start;
        const auto result = std::from_chars(first, m_text.data() + m_pos, number);
        // Out of range: too small for a double reads as zero, too large is refused.
        if (result.ec == std::errc::result_out_of_range) {
            const size_t e = m_text.find_first_of("eE", start);
            number = 0;
            return (e < m_pos && m_text[e + 1] == '-') || (m_pos = start, false);
        }
        return result.ptr == m_text.data() + m_pos && std::isfinite(number);
    }

    const std::string& m_text;
    size_t m_pos = 0;
    bool m_bTooDeep = false;
};

}  // namespace

const CJsonValue* CJsonValue::Find(const std::string& name) const
{
    for (const auto& member : m_members)
        if (member.first == name)
            return &member.second;
    return nullptr;
}

bool CJsonValue::GetNumber(const std::string& name, double& value) const
{
    const CJsonValue* member = Find(name);
    return member && member->m_type == Number && (value = member->m_dNumber, true);
}

bool CJsonValue::GetString(const std::string& name, std::string& value) const
{
    const CJsonValue* member = Find(name);
    return member && member->m_type == String && (value = member->m_strText, true);
}

bool CJsonValue::GetBool(const std::string& name, bool& value) const
{
    const CJsonValue* member = Find(name);
    return member && member->m_type == Bool && (value = member->m_bBool, true);
}

bool ParseJson(const std::string& text, CJsonValue& value, std::string& reason)
{
    value = CJsonValue();
    CJsonParser parser(text);
    if (parser.ParseDocument(value))
        return true;
    value = CJsonValue();
    reason = parser.TooDeep() ? "JSON nested too deep" : "bad JSON at byte " + std::to_string(parser.ErrorAt());
    return false;
}

std::string JsonQuote(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}
