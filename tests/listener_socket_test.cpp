#include "http_server.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "http_server_testing.h"
#include "support/call_fakes_win32.h"
#include "support/http_client_win32.h"
#include "support/test_files_win32.h"

namespace {

TEST(OpenListeningSocketTest, HoldsTheAddressExclusivelyAndDoesNotBlock) {
  StartWinsock();
  const SOCKET listener = OpenListeningSocket(0).socket;
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
  EXPECT_EQ(OpenListeningSocket(ntohs(bound.sin_port)).socket, INVALID_SOCKET);  // taken
  closesocket(listener);
}

// What bind reports on Windows for a port in use, for one in an excluded range or held on
// every address with SO_EXCLUSIVEADDRUSE (WSAEACCES), and for want of buffers (its docs).
int g_bindError = 0;
int WSAAPI FailingBind(SOCKET, const sockaddr*, int) {
  WSASetLastError(g_bindError);
  return SOCKET_ERROR;
}

TEST(RunHttpServerTest, PortThatCannotBeOpenedIsExplainedInTheLog) {
  const std::pair<int, std::string> cases[] = {
      {WSAEADDRINUSE, "Port 8080 on 127.0.0.1 is in use (WSAEADDRINUSE 10048)"},
      {WSAEACCES, "Port 8080 is reserved by Windows or held exclusively by another program (WSAEACCES 10013): "
                  "see netsh interface ipv4 show excludedportrange protocol=tcp"},
      {WSAENOBUFS, "Port 8080 on 127.0.0.1 could not be opened: bind failed with Winsock error 10055"}};
  const std::wstring folder = MakeTestFolder(L"listen-error");
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  const CallsGuard fake(SetListenCallsForTesting, {&FailingBind});
  for (const auto& [error, line] : cases) {
    g_bindError = error;
    DeleteFileW((folder + L"\\launcher-log.txt").c_str());
    SetCurrentDirectoryW(folder.c_str());
    ListenOutcome outcome;
    RunHttpServer(outcome);
    SetCurrentDirectoryW(saved);
    EXPECT_FALSE(outcome.Wait()) << error;
    EXPECT_EQ(ReadLogMessages(folder), (std::vector<std::string>{"Listener failed to start", line}));
  }
  RemoveTree(folder);
}

}  // namespace
