// Reading the request line of an HTTP request and choosing the reply. No platform calls.
#pragma once

#include <string>
#include <string_view>

// The listener reads at most this many bytes of a request into a buffer one byte larger.
inline constexpr size_t kMaxRequestBytes = 4095;

struct RequestLine {
  std::string_view line;    // the request up to its first CR LF (or all of it), cut at NUL
  std::string_view method;  // the text before the first blank (the whole line if none)
  std::string_view target;  // between the first and second blank; empty if either is missing
};

// Splits what was received. The views point into received.
RequestLine ParseRequestLine(std::string_view received);

// True once the received bytes hold the end of the request line (a LF, after CR or not).
bool HoldsLineEnd(std::string_view received);

enum class Route { Ping, Join, Preflight, NotFound };

// "/ping" exactly, anything that begins with "/join", an OPTIONS preflight (never a join),
// or not found. Case-sensitive.
Route RouteRequest(const RequestLine& request);

// The text after the first '?' of the target, unchanged; "" when there is none.
std::string_view JoinQuery(std::string_view target);

struct Reply {
  std::string_view statusLine;
  std::string_view body;
};

// The fixed replies. launcherStarted matters only for Route::Join.
Reply ReplyFor(Route route, bool launcherStarted);

// Status line, the six fixed headers with Content-Length, an empty line and the body.
std::string FormatResponse(std::string_view statusLine, std::string_view body);
