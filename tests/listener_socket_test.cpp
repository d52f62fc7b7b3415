#include "http_server.h"

#include <gtest/gtest.h>

#include "support/http_client_win32.h"

namespace {

TEST(OpenListeningSocketTest, HoldsTheAddressExclusivelyAndDoesNotBlock) {
  StartWinsock();
  const SOCKET listener = OpenListeningSocket(0);
  ASSERT_NE(listener, INVALID_SOCKET);
  BOOL exclusive = FALSE;
  int size = sizeof exclusive;
  ASSERT_EQ(getsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<char*>(&exclusive), &size), 0);
  EXPECT_TRUE(exclusive);

  sockaddr_in bound{};
  int length = sizeof bound;
  getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length);
  EXPECT_EQ(bound.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
  EXPECT_EQ(accept(listener, nullptr, nullptr), INVALID_SOCKET);  // non-blocking: nobody waits
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  EXPECT_EQ(OpenListeningSocket(ntohs(bound.sin_port)), INVALID_SOCKET);  // taken
  closesocket(listener);
}

}  // namespace
