#include "http_request.h"

RequestLine ParseRequestLine(std::string_view received) {
  RequestLine request;
  const size_t nul = received.find('\0');
  if (nul != std::string_view::npos) received = received.substr(0, nul);
  const size_t crlf = received.find("\r\n");
  request.line = (crlf == std::string_view::npos) ? received : received.substr(0, crlf);

  const size_t first = request.line.find(' ');
  request.method = request.line.substr(0, first);
  if (first != std::string_view::npos) {
    const size_t second = request.line.find(' ', first + 1);
    if (second != std::string_view::npos)
      request.target = request.line.substr(first + 1, second - first - 1);
  }
  return request;
}

bool HoldsLineEnd(std::string_view received) { return received.find('\n') != std::string_view::npos; }

Route RouteRequest(const RequestLine& request) {
  // A browser's preflight asks whether the real request may follow; answering it must
  // not start a launcher, or one click would start two.
  if (request.method == "OPTIONS") return Route::Preflight;
  if (request.target == "/ping") return Route::Ping;
  if (request.target.starts_with("/join")) return Route::Join;
  return Route::NotFound;
}

std::string_view JoinQuery(std::string_view target) {
  const size_t mark = target.find('?');
  return (mark == std::string_view::npos) ? std::string_view{} : target.substr(mark + 1);
}

Reply ReplyFor(Route route, bool launcherStarted) {
  switch (route) {
    case Route::Ping:
      return {"HTTP/1.1 200 OK", "pong"};
    case Route::Join:
      return launcherStarted ? Reply{"HTTP/1.1 200 OK", "Launcher started."}
                             : Reply{"HTTP/1.1 500 Internal Server Error", "Failed to start launcher."};
    case Route::Preflight:
      return {"HTTP/1.1 204 No Content", ""};
    case Route::NotFound:
      break;
  }
  return {"HTTP/1.1 404 Not Found", "Not Found"};
}

std::string FormatResponse(std::string_view statusLine, std::string_view body) {
  std::string response;
  response.reserve(statusLine.size() + body.size() + 200);
  response += statusLine;
  response +=
      "\r\n"
      "Content-Type: text/plain\r\n"
      "Access-Control-Allow-Origin: *\r\n"
      "Access-Control-Allow-Methods: GET, POST, OPTIONS\r\n"
      "Access-Control-Allow-Headers: Content-Type\r\n"
      "Connection: close\r\n"
      "Content-Length: ";
  response += std::to_string(body.size());
  response += "\r\n\r\n";
  response += body;
  return response;
}
