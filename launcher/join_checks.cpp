#include "join_checks.h"

bool IsSafeCoreName(std::string_view core) {
  return core.find_first_of(std::string_view("\\/:\0", 4)) == std::string_view::npos;
}

std::optional<std::string> NetplayPasswordFragment(std::string_view password) {
  if (password.find_first_of(std::string_view("\"\r\n\0", 4)) != std::string_view::npos)
    return std::nullopt;
  std::string line = "netplay_password = \"";
  line += password;
  line += "\"\r\n";
  return line;
}
