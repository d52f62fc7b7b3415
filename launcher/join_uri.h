// The join URI: "zelv://" or "retroarch://", anything, '?', and a query of key=value
// pairs joined by '&'. Byte strings of UTF-8 text throughout.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct JoinRequest {
  std::string host;
  std::string port;  // "55435" when missing or empty
  std::string core;
  std::string game;
  std::string relay;
  std::string password;
  std::string nickname;  // "Player" when missing or empty
  std::string session;   // only looked up when relay is not empty
};

inline constexpr std::string_view kDefaultPort = "55435";
inline constexpr std::string_view kDefaultNickname = "Player";

// The parsed request, or nothing when the URI starts with neither accepted scheme.
std::optional<JoinRequest> ParseJoinUri(std::string_view uri);

// The percent-decoded value of the first pair whose raw key equals key; "" when absent.
std::string GetQueryParam(std::string_view query, std::string_view key);

// '+' becomes a blank and "%" followed by two bytes becomes the byte that the standard
// library's hexadecimal integer input reads from them; anything else stays as it is.
std::string PercentDecode(std::string_view value);
