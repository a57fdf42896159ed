#pragma once
// HTTP/1.0 as the players' web interfaces speak it: one request per
// connection ("Connection: close"), the reply read until the server closes
// the connection or its Content-Length is complete.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

constexpr size_t kMaxHttpReply = 64 * 1024;

// The request's bytes. With a password, HTTP Basic authentication with an
// empty user name (base64 of ":" and the password), as VLC asks. A form body
// makes it a form post (Content-Type application/x-www-form-urlencoded).
std::string BuildHttpRequest(const std::string& method, const std::string& host, int port, const std::string& path,
                             const std::string* password = nullptr, const std::string& formBody = std::string());

std::string Base64(const std::string& bytes);

struct CHttpResponse {
    int nStatus = 0;
    std::vector<std::pair<std::string, std::string>> m_headers;
    std::string strBody;

    // The first header of that name (any letter case), or null.
    const std::string* Header(const std::string& name) const;
};

enum class HttpParse { Incomplete, Complete, Bad };

// Reads what has arrived of a reply; closed: the server has closed the
// connection, nothing more comes. Bad, with a short reason, for a reply cut
// short, one over kMaxHttpReply bytes, or another program's answer.
HttpParse ParseHttpResponse(const std::string& bytes, bool closed, CHttpResponse& response, std::string& reason);
