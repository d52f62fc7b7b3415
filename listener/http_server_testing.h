// Test-only: the Winsock calls that open the listening socket, so that tests can make them
// fail as Windows does for a reserved or taken port.
#pragma once

#include <winsock2.h>

struct ListenCalls {
  decltype(&::bind) bind = &::bind;
  decltype(&::listen) listen = &::listen;
};

void SetListenCalls(const ListenCalls& calls);
