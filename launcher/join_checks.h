// Checks on join values that come from a web page before they touch the disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A core name must name a file directly in the cores folder: no '\', '/', ':' or NUL.
bool IsSafeCoreName(std::string_view core);

// The bytes of netplay-pass.cfg, one line ending in CR LF: netplay_password = "...".
// Nothing when the password holds a double quote, CR, LF or NUL: the reader of that file
// ends a quoted value at the next quote, knows no escapes, and takes a line break as the
// start of another setting.
std::optional<std::string> NetplayPasswordFragment(std::string_view password);
