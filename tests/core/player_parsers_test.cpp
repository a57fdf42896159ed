// What the film players write, read by the portable parsers: JSON, mpv's lines, HTTP replies, MPC's and VLC's pages.
#include "core/HttpMessage.h"
#include "core/Json.h"
#include "core/MpvProtocol.h"
#include "core/PlayerPages.h"

#include "tests/core/test_util.h"

TEST(Json, ValuesAndRefusals) {
    CJsonValue v;
    std::string reason, s;
    ASSERT_TRUE(ParseJson(" {\"a\":[1,-2.5e1,true,false,null],\"s\":\"x\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\\ud800!\"}"
                          " \n", v, reason)) << reason;
    const CJsonValue* a = v.Find("a");
    ASSERT_TRUE(a && a->m_items.size() == 5);
    EXPECT_TRUE(a->m_items[1].m_dNumber == -25 && a->m_items[2].m_bBool && a->m_items[4].m_type == CJsonValue::Null);
    EXPECT_TRUE(v.GetString("s", s) && s == "x\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD!");  // a lone surrogate: U+FFFD
    EXPECT_TRUE(ParseJson("1e-999", v, reason) && v.m_dNumber == 0);
    const std::string deep = std::string(32, '[') + std::string(32, ']');
    EXPECT_TRUE(ParseJson(deep, v, reason));
    for (const char* text : {"", "NaN", "Infinity", "-Infinity", "1e999", "-1e400", "01", "1.", ".5", "+1", "-",
                             "{\"a\":1,}", "[1,]", "{\"a\" 1}", "{a:1}", "\"\\x\"", "\"\\u12G4\"", "\"a\nb\"", "\"open", "[1 2]",
                             "tru", "nul", "{} {}", "'a'", "[\"\\ud800\\u\"]"})
        EXPECT_FALSE(ParseJson(text, v, reason)) << text;
    EXPECT_TRUE(!ParseJson("[" + deep + "]", v, reason) && reason == "JSON nested too deep") << reason;
    EXPECT_EQ(JsonQuote("a\"b\\c\x01"), "\"a\\\"b\\\\c\\u0001\"");
}

TEST(Mpv, LineFraming) {
    CLineFramer framer;
    std::vector<std::string> lines;
    const auto feed = [&](const std::string& bytes) {
        framer.Feed(bytes.data(), bytes.size());
        for (std::string line; framer.Next(line);) lines.push_back(line);
    };
    feed("{\"a\":1}\n{\"b\"");  // one and a half
    feed(":2}\n\n{\"c\":3}\n");  // the rest, an empty line, one more
    EXPECT_EQ(lines, (std::vector<std::string>{"{\"a\":1}", "{\"b\":2}", "", "{\"c\":3}"}));
    lines.clear();
    const std::string limit(CLineFramer::kMaxLine, 'x');
    feed(limit + "\n" + limit);
    feed("y\n");                          // one byte over: dropped
    feed(std::string(100000, 'z'));       // a long one is skipped to its end, then the next line is read
    feed("z\nok\n");
    EXPECT_EQ(lines, (std::vector<std::string>{limit, "ok"}));
    EXPECT_TRUE(framer.TakeDropped() == 2 && framer.TakeDropped() == 0);
}

TEST(Mpv, Messages) {
    using K = CMpvMessage;
    const auto change = [](const std::string& name, const std::string& data) {  // data "": none
        return R"({"event":"property-change","id":1,"name":")" + name + (data.empty() ? "\"}" : "\",\"data\":" + data + "}");
    };
    const struct { std::string line; bool ok; K::Kind kind = K::Other; bool value = false; double number = 0; } cases[] = {
        {change("time-pos", "3.44"), true, K::TimePos, true, 3440}, {change("time-pos", ""), true, K::TimePos},
        {R"({"name":"time-pos","data":0,"event":"property-change"})", true, K::TimePos, true, 0},
        {change("time-pos", "null"), true, K::TimePos}, {change("pause", "true"), true, K::Pause, true, 1},
        {change("speed", "2"), true, K::Speed, true, 2}, {change("seeking", "false"), true, K::Seeking, true, 0},
        {change("volume", "\"loud\""), true}, {R"({"event":"seek"})", true, K::Seek},
        {R"({"event":"playback-restart"})", true, K::PlaybackRestart}, {R"({"event":"file-loaded"})", true},
        {R"({"event":"end-file","reason":"eof"})", true, K::EndFile}, {R"({"event":"shutdown"})", true, K::Shutdown},
        {R"({"request_id":0,"error":"success"})", true, K::Reply},
        {R"({"data":1.468135,"request_id":100,"error":"success"})", true, K::Reply, true, 1.468135},
        {change("time-pos", "-0.5"), false}, {change("time-pos", "3600001"), false}, {change("time-pos", "\"3\""), false},
        {change("time-pos", "1e999"), false}, {change("speed", "0"), false}, {change("speed", "101"), false},
        {change("pause", "1"), false}, {R"({"hello":"world"})", false}, {R"([1,2])", false},
        {R"({"request_id":"x","error":"success"})", false}, {"{\"event\":\"seek\"", false},
    };
    CMpvMessage m;
    std::string reason;
    for (const auto& c : cases) {
        reason.clear();
        ASSERT_EQ(ParseMpvMessage(c.line, m, reason), c.ok) << c.line;
        EXPECT_TRUE(reason.empty() == c.ok && (!c.ok || (m.eKind == c.kind && m.bHasValue == c.value && m.dValue == c.number)))
            << c.line;
    }
    EXPECT_TRUE(ParseMpvMessage(R"({"data":"mpv 0.36.0","request_id":7,"error":"success"})", m, reason) &&
                m.nRequestId == 7 && m.bSuccess && m.strText == "mpv 0.36.0");
    EXPECT_TRUE(ParseMpvMessage(R"({"request_id":8,"error":"property unavailable"})", m, reason) && !m.bSuccess);
    EXPECT_EQ(MpvObserveCommands() + MpvGetPropertyCommand("time-pos", 100) + MpvCyclePauseCommand(),
              "{\"command\":[\"observe_property\",1,\"time-pos\"]}\n{\"command\":[\"observe_property\",2,\"pause\"]}\n"
              "{\"command\":[\"observe_property\",3,\"speed\"]}\n{\"command\":[\"observe_property\",4,\"seeking\"]}\n"
              "{\"command\":[\"get_property\",\"time-pos\"],\"request_id\":100}\n{\"command\":[\"cycle\",\"pause\"]}\n");
}

TEST(Http, Requests) {
    EXPECT_EQ(Base64("") + "|" + Base64(":") + "|" + Base64(":p") + "|" + Base64(":pw"), "|Og==|OnA=|OnB3");
    EXPECT_EQ(BuildHttpRequest("GET", "127.0.0.1", 13579, "/variables.html"),
              "GET /variables.html HTTP/1.0\r\nHost: 127.0.0.1:13579\r\nConnection: close\r\n\r\n");
    const std::string pw = "secret";
    EXPECT_EQ(BuildHttpRequest("GET", "localhost", 8080, "/requests/status.json", &pw),
              "GET /requests/status.json HTTP/1.0\r\nHost: localhost:8080\r\nConnection: close\r\n"
              "Authorization: Basic OnNlY3JldA==\r\n\r\n");
    EXPECT_EQ(BuildHttpRequest("POST", "h", 1, "/command.html", nullptr, "wm_command=889"),
              "POST /command.html HTTP/1.0\r\nHost: h:1\r\nConnection: close\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 14\r\n\r\nwm_command=889");
}

TEST(Http, Responses) {
    using P = HttpParse;
    const std::string ok = "HTTP/1.0 200 OK\r\n", big = ok + "\r\n" + std::string(kMaxHttpReply - 19, 'x');
    const struct { std::string bytes; bool closed; P result; int status = 0; const char* body = nullptr; } cases[] = {
        {ok + "Content-Type: text/html\r\n\r\n<p>", true, P::Complete, 200, "<p>"},
        {ok + "Content-Type: text/html\r\n\r\n<p>", false, P::Incomplete},
        {"HTTP/1.1 401 Unauthorized\r\ncontent-length: 2\r\n\r\nab", false, P::Complete, 401, "ab"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nabcd", true, P::Complete, 200, "ab"},
        {"HTTP/1.1 200\nContent-Length:  0 \n\n", false, P::Complete, 200, ""},
        {ok + "Content-Length: 5\r\n\r\nab", false, P::Incomplete}, {ok + "Content-Length: 5\r\n\r\nab", true, P::Bad},
        {ok + "Server: x\r\n", true, P::Bad}, {ok + "Server: x\r\n", false, P::Incomplete},  // cut in the head
        {"HTT", false, P::Incomplete}, {"", true, P::Bad}, {"SSH-2.0-OpenSSH_9.2\r\n", false, P::Bad},
        {"HTTP/1.0 2000 OK\r\n\r\n", true, P::Bad}, {"HTTP/x.0 200 OK\r\n\r\n", true, P::Bad},
        {ok + "no colon\r\n\r\n", true, P::Bad}, {ok + "Content-Length: -1\r\n\r\n", true, P::Bad},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n", true, P::Bad},
        {big, true, P::Complete, 200}, {big + "x", true, P::Bad},  // 64 KiB at most
    };
    for (const auto& c : cases) {
        CHttpResponse r;
        std::string reason;
        ASSERT_EQ(ParseHttpResponse(c.bytes, c.closed, r, reason), c.result) << c.bytes.substr(0, 60);
        EXPECT_TRUE(reason.empty() == (c.result != P::Bad) && (!c.body || (r.nStatus == c.status && r.strBody == c.body)))
            << c.bytes.substr(0, 60);
    }
}

// MPC's newer template; the older one lacks file, size, version and, older still, playbackrate.
const std::string kMpcNew =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<title>MPC-HC WebServer - Variables</title>\n</head>\n"
    "<body class=\"page-variables\">\n<p id=\"file\">Film &amp; &#233;t&#xE9;.mkv</p>\n"
    "<p id=\"filepath\">C:\\Films\\Film.mkv</p>\n<p id=\"state\">2</p>\n<p id=\"statestring\">Lecture</p>\n"
    "<p id=\"position\">754321</p>\n<p id=\"positionstring\">00:12:34</p>\n<p id=\"duration\">5400000</p>\n"
    "<p id=\"playbackrate\">1.5</p>\n<p id=\"size\">1 GB</p>\n<p id=\"version\">2.1.4</p>\n</body>\n</html>\n";

TEST(Mpc, Variables) {
    CMpcStatus s;
    std::string reason;
    ASSERT_TRUE(ParseMpcVariables(kMpcNew, s, reason)) << reason;
    EXPECT_TRUE(s.nState == 2 && s.dPositionMs == 754321 && s.dDurationMs == 5400000 && s.dRate == 1.5);
    EXPECT_EQ(s.strFile + "|" + s.strVersion, "Film & \xC3\xA9t\xC3\xA9.mkv|2.1.4");
    EXPECT_TRUE(ParseMpcVariables("<p id=\"state\">1</p>\n<p id=\"position\">5</p>\n<p id=\"duration\">9</p>", s, reason) &&
                s.nState == 1 && s.dPositionMs == 5 && s.dRate == 1 && s.strVersion.empty());
    const auto with = [](const std::string& id, const std::string& value) {
        std::string page = kMpcNew;
        const size_t at = page.find("<p id=\"" + id + "\">") + id.size() + 9;
        return page.replace(at, page.find("</p>", at) - at, value);
    };
    for (const char* state : {"-1", "0", "1"}) EXPECT_TRUE(ParseMpcVariables(with("state", state), s, reason)) << state;
    const char *const kState = "MPC sent an unknown state", *const kPosition = "MPC sent a position that is no film position",
                      *const kRate = "MPC sent a playback rate that is no rate", *const kPage = "not MPC's variables page";
    const struct { std::string page; const char* reason; } bad[] = {
        {with("state", "3"), kState}, {with("state", "Playing"), kState}, {with("position", "-5"), kPosition},
        {with("position", "12.5"), kPosition}, {with("position", "99999999999999"), kPosition},
        {with("duration", ""), kPosition}, {with("playbackrate", "0"), kRate}, {with("playbackrate", "nan"), kRate},
        {"<html><body>It works!</body></html>", kPage},
        {"<p id=\"state\">2\n</p><p id=\"position\">1</p><p id=\"duration\">1</p>", kPage},
    };
    for (const auto& b : bad) EXPECT_TRUE(!ParseMpcVariables(b.page, s, reason) && reason == b.reason) << reason;
}

const std::string kVlcJson = R"({"fullscreen":false,"time":754,"volume":256,"length":5400,"rate":1.5,)"
                             R"("state":"playing","position":0.1396,"version":"3.0.18 Vetinari","loop":false})";

TEST(Vlc, Status) {
    const auto reply = [](int status, const std::string& body) { CHttpResponse r; return r.nStatus = status, r.strBody = body, r; };
    const auto with = [&](const std::string& key, const std::string& value) {
        std::string json = kVlcJson;
        const size_t at = json.find("\"" + key + "\":") + key.size() + 3;
        return reply(200, json.replace(at, json.find_first_of(",}", at) - at, value));
    };
    CVlcStatus s;
    std::string reason;
    ASSERT_TRUE(ParseVlcStatus(reply(200, kVlcJson), s, reason)) << reason;
    EXPECT_TRUE(s.eState == CVlcStatus::Playing && s.dTimeMs == 754000 && s.dLengthMs == 5400000 && s.dRate == 1.5 &&
                s.dPosition == 0.1396 && s.strVersion == "3.0.18 Vetinari");
    EXPECT_TRUE(ParseVlcStatus(with("state", "\"paused\""), s, reason) && s.eState == CVlcStatus::Paused);
    EXPECT_TRUE(ParseVlcStatus(with("time", "754.9"), s, reason) && s.dTimeMs == 754000);
    const char* const kPosition = "VLC sent a position that is no film position";
    const struct { CHttpResponse r; const char* reason; } bad[] = {
        {reply(401, "<html>Unauthorized</html>"), kVlcWrongPassword},
        {reply(403, "<html><body>Password for Web interface has not been set.</body></html>\n"
                    "<!-- VLC_PASSWORD_NOT_SET -->\n"), kVlcNoPassword},
        {reply(404, "{}"), "VLC answered HTTP 404"}, {with("state", "\"buffering\""), "VLC sent an unknown state"},
        {with("time", "-1"), kPosition}, {with("length", "1e12"), kPosition}, {with("position", "1.5"), kPosition},
        {with("rate", "0"), "VLC sent a rate that is no rate"}, {with("time", "\"754\""), "not VLC's status"},
        {reply(200, "{\"state\":\"playing\"}"), "not VLC's status"}, {with("time", "NaN"), "VLC: bad JSON at byte 27"},
    };
    for (const auto& b : bad) EXPECT_TRUE(!ParseVlcStatus(b.r, s, reason) && reason == b.reason) << reason;
}
