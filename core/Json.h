#pragma once
// A small JSON reader for what the film players write: mpv's IPC messages and
// VLC's status page. Strict grammar (RFC 8259) with a nesting limit; a number
// that does not fit a double (1e999) is refused, so no value is NaN or infinite.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class CJsonValue {
public:
    enum Type { Null, Bool, Number, String, Array, Object };
    static constexpr int kMaxDepth = 32;

    Type m_type = Null;
    bool m_bBool = false;
    double m_dNumber = 0;
    std::string m_strText;                                     // a string, in UTF-8
    std::vector<CJsonValue> m_items;                           // an array's items
    std::vector<std::pair<std::string, CJsonValue>> m_members; // an object's members, in order

    // The first member called name, or null when this is no object or has none.
    const CJsonValue* Find(const std::string& name) const;
    // The member called name when it is a number (a string, a bool); false otherwise.
    bool GetNumber(const std::string& name, double& value) const;
    bool GetString(const std::string& name, std::string& value) const;
    bool GetBool(const std::string& name, bool& value) const;
};

// Parses the whole text (blanks around the value allowed). False with a short
// reason ("bad JSON at byte 12") when the text is not one JSON value.
bool ParseJson(const std::string& text, CJsonValue& value, std::string& reason);

// A JSON string literal, quotes included, for text in UTF-8.
std::string JsonQuote(const std::string& text);
