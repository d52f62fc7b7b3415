// Any bytes as a join URI, and the same bytes sent back through a URI as one encoded value.
#include <algorithm>
#include <cstdint>

#include "fuzz_support.h"
#include "join_uri.h"

namespace {

constexpr std::string_view kKeys[] = {"host", "port",     "core",     "game",   "relay",
                                      "password", "nickname", "session", ""};

bool IsUnreserved(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// What a web page's encodeURIComponent makes of the bytes: all but the unreserved ones as %XX.
std::string PercentEncode(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (char c : bytes) {
    if (IsUnreserved(c)) {
      encoded += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    encoded += '%';
    encoded += kHex[byte >> 4];
    encoded += kHex[byte & 0x0F];
  }
  return encoded;
}

void CheckRawUri(std::string_view uri) {
  const bool knownScheme = uri.starts_with("zelv://") || uri.starts_with("retroarch://");
  const std::optional<JoinRequest> request = ParseJoinUri(uri);
  FUZZ_CHECK(request.has_value() == knownScheme);
  if (request) {
    FUZZ_CHECK(!request->port.empty());
    FUZZ_CHECK(!request->nickname.empty());
    if (request->relay.empty()) FUZZ_CHECK(request->session.empty());
    for (const std::string* field : {&request->host, &request->core, &request->game,
                                     &request->relay, &request->password, &request->session})
      FUZZ_CHECK(field->size() <= uri.size());
  }

  // Decoding only ever turns three bytes into one or keeps a byte as it is.
  const std::string decoded = PercentDecode(uri);
  FUZZ_CHECK(decoded.size() <= uri.size());
  // Without a '%' only '+' changes: it becomes a blank.
  if (uri.find('%') == std::string_view::npos) {
    std::string plusAsBlank(uri);
    std::replace(plusAsBlank.begin(), plusAsBlank.end(), '+', ' ');
    FUZZ_CHECK(decoded == plusAsBlank);
  }
  for (std::string_view key : kKeys) FUZZ_CHECK(GetQueryParam(uri, key).size() <= uri.size());
}

// Every field set to the same value, encoded as a page would: each comes back unchanged,
// bar the defaults for an empty port or nickname.
void CheckEncodedValue(std::string_view value) {
  const std::string encoded = PercentEncode(value);
  FUZZ_CHECK(PercentDecode(encoded) == value);

  std::string uri = "zelv://join?";
  for (std::string_view key : kKeys) {
    if (key.empty()) continue;
    uri += key;
    uri += '=';
    uri += encoded;
    uri += '&';
  }
  const std::optional<JoinRequest> request = ParseJoinUri(uri);
  FUZZ_CHECK(request.has_value());
  FUZZ_CHECK(request->host == value && request->core == value && request->game == value);
  FUZZ_CHECK(request->relay == value && request->password == value);
  FUZZ_CHECK(request->port == (value.empty() ? kDefaultPort : value));
  FUZZ_CHECK(request->nickname == (value.empty() ? kDefaultNickname : value));
  FUZZ_CHECK(request->session == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes = FuzzBytes(data, size);
  CheckRawUri(bytes);
  CheckEncodedValue(bytes);
  return 0;
}
