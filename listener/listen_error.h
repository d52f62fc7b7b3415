// What the player reads when the listener cannot open its port. No platform calls.
#pragma once

#include <string>
#include <string_view>

// Winsock's codes, by value, so that this stays free of the Winsock headers.
inline constexpr int kWsaAccessDenied = 10013;  // WSAEACCES
inline constexpr int kWsaAddressInUse = 10048;  // WSAEADDRINUSE

// One log line for a failed step of opening 127.0.0.1:8080 ("WSAStartup", "socket",
// "bind", "listen") and its Winsock error: the likely cause where the code names one.
std::string DescribeListenError(std::string_view step, int error);
