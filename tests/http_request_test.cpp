#include "http_request.h"

#include <gtest/gtest.h>

namespace {

struct RouteCase {
  std::string request;
  Route route;
  std::string target;
};

void PrintTo(const RouteCase& c, std::ostream* out) { *out << testing::PrintToString(c.request); }

class RouteRequestTest : public testing::TestWithParam<RouteCase> {};

TEST_P(RouteRequestTest, RoutesOnTheExactTarget) {
  const RequestLine request = ParseRequestLine(GetParam().request);
  EXPECT_EQ(request.target, GetParam().target);
  EXPECT_EQ(RouteRequest(request), GetParam().route);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, RouteRequestTest,
    testing::Values(RouteCase{"GET /ping HTTP/1.1\r\nHost: x\r\n\r\n", Route::Ping, "/ping"},
                    RouteCase{"GET /ping?x=1 HTTP/1.1\r\n", Route::NotFound, "/ping?x=1"},
                    RouteCase{"GET /ping/ HTTP/1.1\r\n", Route::NotFound, "/ping/"},
                    RouteCase{"GET /PING HTTP/1.1\r\n", Route::NotFound, "/PING"},
                    RouteCase{"GET /join HTTP/1.1\r\n", Route::Join, "/join"},
                    RouteCase{"GET /join? HTTP/1.1\r\n", Route::Join, "/join?"},
                    RouteCase{"GET /joinanything?a=b HTTP/1.1\r\n", Route::Join, "/joinanything?a=b"},
                    RouteCase{"GET /join/x?a=b HTTP/1.1\r\n", Route::Join, "/join/x?a=b"},
                    RouteCase{"POST /join?a=b HTTP/1.1\r\n\r\nbody", Route::Join, "/join?a=b"},
                    RouteCase{"OPTIONS /join?a=b HTTP/1.1\r\n", Route::Preflight, "/join?a=b"},
                    RouteCase{"OPTIONS /ping HTTP/1.1\r\n", Route::Preflight, "/ping"},
                    RouteCase{"GET /ping", Route::NotFound, ""},             // no second blank
                    RouteCase{"GET", Route::NotFound, ""},
                    RouteCase{"", Route::NotFound, ""},
                    RouteCase{"GET /ping HTTP/1.1\nHost: x\n\n", Route::Ping, "/ping"},  // LF only
                    RouteCase{std::string("GET /ping HTTP/1.1\0\r\n", 20), Route::Ping, "/ping"},
                    RouteCase{std::string("GET /pi\0ng HTTP/1.1\r\n", 21), Route::NotFound, ""},
                    RouteCase{"GET  /ping HTTP/1.1\r\n", Route::NotFound, ""},  // two blanks
                    RouteCase{"get /ping HTTP/1.1\r\n", Route::Ping, "/ping"}));

TEST(ParseRequestLineTest, LineEndsAtFirstCrLfOrCoversAll) {
  EXPECT_EQ(ParseRequestLine("GET /a HTTP/1.1\r\nX: y\r\n").line, "GET /a HTTP/1.1");
  EXPECT_EQ(ParseRequestLine("GET /a HTTP/1.1\nX: y\n").line, "GET /a HTTP/1.1\nX: y\n");
  EXPECT_EQ(ParseRequestLine(std::string("GET /a\0 HTTP/1.1", 16)).line, "GET /a");
  EXPECT_EQ(ParseRequestLine("OPTIONS").method, "OPTIONS");
}

TEST(JoinQueryTest, TextAfterTheFirstQuestionMark) {
  EXPECT_EQ(JoinQuery("/join"), "");
  EXPECT_EQ(JoinQuery("/join?"), "");
  EXPECT_EQ(JoinQuery("/joinanything?a=b"), "a=b");
  EXPECT_EQ(JoinQuery("/join?a=1?b=2"), "a=1?b=2");
  EXPECT_EQ(JoinQuery("/join?game=Puzzle%20Game.gb&x=+"), "game=Puzzle%20Game.gb&x=+");
}

TEST(HoldsLineEndTest, AnyLineFeed) {
  EXPECT_FALSE(HoldsLineEnd("GET /ping HTTP/1.1"));
  EXPECT_FALSE(HoldsLineEnd("GET /ping HTTP/1.1\r"));
  EXPECT_TRUE(HoldsLineEnd("GET /ping HTTP/1.1\r\n"));
  EXPECT_TRUE(HoldsLineEnd("GET /ping HTTP/1.1\n"));
}

TEST(FormatResponseTest, FixedHeadersAndLength) {
  EXPECT_EQ(FormatResponse("HTTP/1.1 200 OK", "pong"),
            "HTTP/1.1 200 OK\r\n"
            "Content-Type: text/plain\r\n"
            "Access-Control-Allow-Origin: *\r\n"
            "Access-Control-Allow-Methods: GET, POST, OPTIONS\r\n"
            "Access-Control-Allow-Headers: Content-Type\r\n"
            "Connection: close\r\n"
            "Content-Length: 4\r\n"
            "\r\n"
            "pong");
}

TEST(ReplyForTest, EachRouteHasItsReply) {
  struct Case {
    Route route;
    bool started;
    std::string_view status;
    std::string_view body;
  };
  for (const Case& c : {Case{Route::Ping, false, "HTTP/1.1 200 OK", "pong"},
                        Case{Route::Join, true, "HTTP/1.1 200 OK", "Launcher started."},
                        Case{Route::Join, false, "HTTP/1.1 500 Internal Server Error", "Failed to start launcher."},
                        Case{Route::Preflight, true, "HTTP/1.1 204 No Content", ""},
                        Case{Route::NotFound, true, "HTTP/1.1 404 Not Found", "Not Found"}}) {
    const Reply reply = ReplyFor(c.route, c.started);
    EXPECT_EQ(reply.statusLine, c.status);
    EXPECT_EQ(reply.body, c.body);
  }
}

}  // namespace
