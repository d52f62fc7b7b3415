// Test-only: the bind of the listening socket, so that tests can make it fail as Windows
// does for a reserved or taken port.
#pragma once

#include <winsock2.h>

struct ListenCalls {
  decltype(&::bind) bind = &::bind;
};

// Puts calls in place and returns the ones in use before.
ListenCalls SetListenCallsForTesting(const ListenCalls& calls);
