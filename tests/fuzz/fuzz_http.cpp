// Raw bytes as the listener receives them, through parsing, routing and the reply.
#include <cstdint>

#include "fuzz_support.h"
#include "http_request.h"

namespace {

constexpr std::string_view kHeadersBeforeLength =
    "Content-Type: text/plain\r\n"
    "Access-Control-Allow-Origin: *\r\n"
    "Access-Control-Allow-Methods: GET, POST, OPTIONS\r\n"
    "Access-Control-Allow-Headers: Content-Type\r\n"
    "Connection: close\r\n"
    "Content-Length: ";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the response back as a client would: the status line, the fixed headers, a
// decimal length, the blank line, and then exactly that many bytes of body.
void CheckResponse(std::string_view statusLine, std::string_view body) {
  const std::string response = FormatResponse(statusLine, body);
  std::string_view rest = response;
  FUZZ_CHECK(rest.starts_with(statusLine));
  rest.remove_prefix(statusLine.size());
  FUZZ_CHECK(rest.starts_with("\r\n"));
  rest.remove_prefix(2);
  FUZZ_CHECK(rest.starts_with(kHeadersBeforeLength));
  rest.remove_prefix(kHeadersBeforeLength.size());

  size_t digits = 0;
  size_t length = 0;
  while (digits < rest.size() && IsDigit(rest[digits])) {
    length = length * 10 + static_cast<size_t>(rest[digits] - '0');
    ++digits;
  }
  FUZZ_CHECK(digits > 0 && (digits == 1 || rest[0] != '0'));
  rest.remove_prefix(digits);
  FUZZ_CHECK(rest.starts_with("\r\n\r\n"));
  rest.remove_prefix(4);
  FUZZ_CHECK(length == rest.size());
  FUZZ_CHECK(rest == body);
}

void CheckRequestLine(std::string_view received, const RequestLine& request) {
  const std::string_view line = request.line;
  // The line is the start of what was received and stops at the first CR LF or NUL.
  FUZZ_CHECK(received.starts_with(line) && ViewInside(line, received));
  FUZZ_CHECK(line.find('\0') == std::string_view::npos);
  FUZZ_CHECK(line.find("\r\n") == std::string_view::npos);
  if (line.size() < received.size()) {
    const std::string_view after = received.substr(line.size());
    FUZZ_CHECK(after.front() == '\0' || after.starts_with("\r\n"));
  }

  // The method runs to the first blank, or is the whole line.
  FUZZ_CHECK(line.starts_with(request.method) && ViewInside(request.method, line));
  FUZZ_CHECK(request.method.find(' ') == std::string_view::npos);
  FUZZ_CHECK(request.method.size() == line.size() || line[request.method.size()] == ' ');

  // A target sits between the first blank and the next one, inside the line.
  const std::string_view target = request.target;
  FUZZ_CHECK(ViewInside(target, line));
  FUZZ_CHECK(target.find(' ') == std::string_view::npos);
  if (!target.empty()) {
    const auto at = static_cast<size_t>(target.data() - line.data());
    FUZZ_CHECK(at == request.method.size() + 1);
    FUZZ_CHECK(at + target.size() < line.size() && line[at + target.size()] == ' ');
  }
}

void CheckRoute(const RequestLine& request, Route route) {
  FUZZ_CHECK((request.method == "OPTIONS") == (route == Route::Preflight));
  if (route == Route::Ping) FUZZ_CHECK(request.target == "/ping");
  if (route == Route::Join) FUZZ_CHECK(request.target.starts_with("/join"));

  // The query is what follows the target's first '?', up to the target's end.
  const std::string_view query = JoinQuery(request.target);
  FUZZ_CHECK(request.target.ends_with(query) && ViewInside(query, request.target));
  const size_t mark = request.target.find('?');
  if (mark == std::string_view::npos) {
    FUZZ_CHECK(query.empty());
  } else {
    FUZZ_CHECK(query.size() == request.target.size() - mark - 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view received = FuzzBytes(data, size);
  const RequestLine request = ParseRequestLine(received);
  CheckRequestLine(received, request);

  const Route route = RouteRequest(request);
  CheckRoute(request, route);

  for (bool launcherStarted : {false, true}) {
    const Reply reply = ReplyFor(route, launcherStarted);
    FUZZ_CHECK(reply.statusLine.starts_with("HTTP/1.1 "));
    FUZZ_CHECK(reply.statusLine.find_first_of("\r\n") == std::string_view::npos);
    CheckResponse(reply.statusLine, reply.body);
  }
  // Any body keeps its length right, including lengths of several digits.
  CheckResponse("HTTP/1.1 200 OK", request.line);
  return 0;
}
