#include "listen_error.h"

std::string DescribeListenError(std::string_view step, int error) {
  switch (error) {
    case kWsaAddressInUse:
      // A second listener gets this too: it also binds 127.0.0.1 itself.
      return "Port 8080 on 127.0.0.1 is in use (WSAEADDRINUSE 10048)";
    case kWsaAccessDenied:
      // Windows answers this for an excluded port range (Hyper-V, WSL 2, Docker) and when
      // a program holds 8080 on every address with SO_EXCLUSIVEADDRUSE.
      return "Port 8080 is reserved by Windows or held exclusively by another program (WSAEACCES 10013): "
             "see netsh interface ipv4 show excludedportrange protocol=tcp";
    default:
      return "Port 8080 on 127.0.0.1 could not be opened: " + std::string(step) +
             " failed with Winsock error " + std::to_string(error);
  }
}
