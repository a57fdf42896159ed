#include "core/HttpMessage.h"

#include <cctype>
#include <charconv>

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseCount(const std::string& text, size_t& count)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), count);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

HttpParse Bad(std::string& reason, const char* why)
{
    reason = why;
    return HttpParse::Bad;
}

}  // namespace

std::string Base64(const std::string& bytes)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        for (size_t k = 0; k < 4; ++k)
            out += i + k <= bytes.size() ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return out;
}

std::string BuildHttpRequest(const std::string& method, const std::string& host, int port, const std::string& path,
                             const std::string* password, const std::string& formBody)
{
    std::string request = method + " " + path + " HTTP/1.0\r\nHost: " + host + ":" + std::to_string(port) +
                          "\r\nConnection: close\r\n";
    if (password)
        request += "Authorization: Basic " + Base64(":" + *password) + "\r\n";
    if (!formBody.empty())
        request += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                   std::to_string(formBody.size()) + "\r\n";
    return request + "\r\n" + formBody;
}

const std::string* CHttpResponse::Header(const std::string& name) const
{
    for (const auto& header : m_headers)
        if (SameText(header.first, name))
            return &header.second;
    return nullptr;
}

HttpParse ParseHttpResponse(const std::string& bytes, bool closed, CHttpResponse& response, std::string& reason)
{
    response = CHttpResponse();
    if (bytes.size() > kMaxHttpReply)
        return Bad(reason, "reply over 64 KiB");
    if (bytes.compare(0, 5, "HTTP/", 0, bytes.size() < 5 ? bytes.size() : 5) != 0)
        return Bad(reason, "not an HTTP reply");
    size_t headEnd = bytes.find("\r\n\r\n"), bodyStart = headEnd + 4;
    if (const size_t lf = bytes.find("\n\n"); lf < headEnd)
        headEnd = lf, bodyStart = lf + 2;
    if (headEnd == std::string::npos)
        return closed ? Bad(reason, bytes.empty() ? "no reply" : "reply cut short") : HttpParse::Incomplete;

    // "HTTP/1.1 200 OK": a version, a three-digit status, an optional reason.
    const std::string head = bytes.substr(0, headEnd);
    const std::string status = head.substr(0, head.find('\n'));
    size_t code = 0;
    if (status.size() < 12 || !std::isdigit(static_cast<unsigned char>(status[5])) || status[6] != '.' ||
        !std::isdigit(static_cast<unsigned char>(status[7])) || status[8] != ' ' ||
        !ParseCount(status.substr(9, 3), code) || code < 100 ||
        (status.size() > 12 && status[12] != ' ' && status[12] != '\r'))
        return Bad(reason, "bad HTTP status line");
    response.nStatus = static_cast<int>(code);
    for (size_t at = head.find('\n'); at != std::string::npos;) {
        const size_t next = head.find('\n', at + 1);
        std::string line = head.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
        at = next;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0)
            return Bad(reason, "bad HTTP header");
        response.m_headers.emplace_back(line.substr(0, colon), Trimmed(line.substr(colon + 1)));
    }
    if (response.Header("Transfer-Encoding"))
        return Bad(reason, "chunked HTTP reply");
    const std::string* length = response.Header("Content-Length");
    size_t count = 0;
    if (length && !ParseCount(*length, count))
        return Bad(reason, "bad Content-Length");
    const size_t arrived = bytes.size() - bodyStart;
    if (!length || arrived >= count) {
        if (!length && !closed)
            return HttpParse::Incomplete;
        response.strBody = bytes.substr(bodyStart, length ? count : std::string::npos);
        return HttpParse::Complete;
    }
    return closed ? Bad(reason, "reply cut short") : HttpParse::Incomplete;
}
