#include "http_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http_server_testing.h"
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
  const ListeningSocket taken = OpenListeningSocket(ntohs(bound.sin_port));
  EXPECT_EQ(taken.socket, INVALID_SOCKET);
  EXPECT_EQ(std::string(taken.failedStep), "bind");
  EXPECT_EQ(taken.error, WSAEADDRINUSE);
  closesocket(listener);
}

// What bind and listen report on Windows for a port in use (WSAEADDRINUSE), for one in an
// excluded range or held on every address with SO_EXCLUSIVEADDRUSE (WSAEACCES), and for
// want of buffers; the docs of bind and listen list these codes.
int g_error = 0;
int WSAAPI FailingBind(SOCKET, const sockaddr*, int) {
  WSASetLastError(g_error);
  return SOCKET_ERROR;
}
int WSAAPI PretendBind(SOCKET, const sockaddr*, int) { return 0; }
int WSAAPI FailingListen(SOCKET, int) {
  WSASetLastError(g_error);
  return SOCKET_ERROR;
}

TEST(RunHttpServerTest, PortThatCannotBeOpenedIsExplainedInTheLog) {
  struct Case {
    ListenCalls calls;
    int error;
    std::string line;
  };
  const Case cases[] = {
      {{&FailingBind, &::listen}, WSAEADDRINUSE, "Port 8080 on 127.0.0.1 is in use (WSAEADDRINUSE 10048)"},
      {{&FailingBind, &::listen}, WSAEACCES,
       "Port 8080 is reserved by Windows or held exclusively by another program (WSAEACCES 10013): "
       "see netsh interface ipv4 show excludedportrange protocol=tcp"},
      {{&PretendBind, &FailingListen}, WSAENOBUFS,
       "Port 8080 on 127.0.0.1 could not be opened: listen failed with Winsock error 10055"},
  };
  const std::wstring folder = MakeTestFolder(L"listen-error");
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  for (const Case& c : cases) {
    DeleteFileW((folder + L"\\launcher-log.txt").c_str());
    SetCurrentDirectoryW(folder.c_str());
    SetListenCalls(c.calls);
    g_error = c.error;
    ListenOutcome outcome;
    RunHttpServer(outcome);
    SetListenCalls({});
    SetCurrentDirectoryW(saved);
    EXPECT_FALSE(outcome.Wait()) << c.error;
    EXPECT_EQ(ReadLogMessages(folder), (std::vector<std::string>{"Listener failed to start", c.line}));
  }
  RemoveTree(folder);
}

}  // namespace
