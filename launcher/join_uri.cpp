#include "join_uri.h"

#include <sstream>

namespace {

constexpr std::string_view kSchemes[] = {"zelv://", "retroarch://"};

// Reads the two bytes after a '%' as formatted hexadecimal input does: white space
// skipped, an optional sign, then as many hex digits as stand there.
std::optional<int> ReadHexPair(std::string_view pair) {
  std::istringstream in{std::string(pair)};
  int value = 0;
  in >> std::hex >> value;
  if (in.fail()) return std::nullopt;
  return value;
}

}  // namespace

std::string PercentDecode(std::string_view value) {
  std::string decoded;
  decoded.reserve(value.size());
  size_t i = 0;
  while (i < value.size()) {
    const char c = value[i];
    if (c == '%' && i + 2 < value.size()) {
      if (const auto byte = ReadHexPair(value.substr(i + 1, 2))) {
        decoded += static_cast<char>(*byte & 0xFF);
        i += 3;
        continue;
      }
      decoded += '%';
      ++i;
      continue;
    }
    decoded += (c == '+') ? ' ' : c;
    ++i;
  }
  return decoded;
}

std::string GetQueryParam(std::string_view query, std::string_view key) {
  size_t start = 0;
  while (start < query.size()) {
    const size_t equals = query.find('=', start);
    if (equals == std::string_view::npos) break;
    const size_t amp = query.find('&', equals);
    const std::string_view candidate = query.substr(start, equals - start);
    const size_t valueEnd = (amp == std::string_view::npos) ? query.size() : amp;
    if (candidate == key) return PercentDecode(query.substr(equals + 1, valueEnd - equals - 1));
    if (amp == std::string_view::npos) break;
    start = amp + 1;
  }
  return {};
}

std::optional<JoinRequest> ParseJoinUri(std::string_view uri) {
  bool accepted = false;
  for (std::string_view scheme : kSchemes) accepted = accepted || uri.starts_with(scheme);
  if (!accepted) return std::nullopt;

  const std::string_view rest = uri.substr(uri.find("://") + 3);
  const size_t mark = rest.find('?');
  const std::string_view query =
      (mark == std::string_view::npos) ? std::string_view{} : rest.substr(mark + 1);

  JoinRequest request;
  request.host = GetQueryParam(query, "host");
  request.port = GetQueryParam(query, "port");
  request.core = GetQueryParam(query, "core");
  request.game = GetQueryParam(query, "game");
  request.relay = GetQueryParam(query, "relay");
  request.password = GetQueryParam(query, "password");
  request.nickname = GetQueryParam(query, "nickname");
  if (request.port.empty()) request.port = kDefaultPort;
  if (request.nickname.empty()) request.nickname = kDefaultNickname;
  if (!request.relay.empty()) request.session = GetQueryParam(query, "session");
  return request;
}
