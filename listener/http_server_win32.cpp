#include "http_server.h"

#include <ws2tcpip.h>

#include <string>

#include "http_request.h"
#include "join_endpoint.h"
#include "log.h"

std::atomic<bool> g_running{true};

namespace {

// The longest the server waits for a connection before it looks at g_running again.
constexpr int kAcceptPollMs = 30;
// How long one client may take to send its request line.
constexpr ULONGLONG kRequestWaitMs = 1000;

bool WaitReadable(SOCKET socket, ULONGLONG timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket, &readable);
  timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
  return select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

// Reads into buffer until the request line has ended, the buffer is full, the peer has
// closed, or the request time is up; then takes what else has already arrived, so the
// close that follows does not turn unread headers into a reset. Returns the byte count.
size_t ReceiveRequest(SOCKET connection, char* buffer) {
  const ULONGLONG start = GetTickCount64();
  size_t received = 0;
  bool lineEnded = false;
  while (received < kMaxRequestBytes) {
    const ULONGLONG elapsed = GetTickCount64() - start;
    if (!lineEnded && elapsed >= kRequestWaitMs) break;
    if (!WaitReadable(connection, lineEnded ? 0 : kRequestWaitMs - elapsed)) break;
    const int got = recv(connection, buffer + received, static_cast<int>(kMaxRequestBytes - received), 0);
    if (got <= 0) break;
    received += static_cast<size_t>(got);
    lineEnded = lineEnded || HoldsLineEnd(std::string_view(buffer, received));
  }
  buffer[received] = '\0';
  return received;
}

void HandleConnection(SOCKET connection, char* buffer) {
  const size_t received = ReceiveRequest(connection, buffer);
  if (received == 0) {
    closesocket(connection);
    return;
  }
  const RequestLine request = ParseRequestLine(std::string_view(buffer, received));
  WriteLog("Request: " + std::string(request.line));

  const Route route = RouteRequest(request);
  const bool started = route == Route::Join && StartLauncher(JoinQuery(request.target));
  const Reply reply = ReplyFor(route, started);
  SendResponse(connection, reply.statusLine, reply.body);
  closesocket(connection);
}

}  // namespace

SOCKET OpenListeningSocket(u_short port) {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return INVALID_SOCKET;
  u_long nonBlocking = 1;
  ioctlsocket(listener, FIONBIO, &nonBlocking);
  // Without this, another program could bind the same address with SO_REUSEADDR and
  // receive the joins, passwords included. A failure here still leaves bind to decide.
  BOOL exclusive = TRUE;
  setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
             sizeof exclusive);

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR ||
      listen(listener, SOMAXCONN) == SOCKET_ERROR) {
    closesocket(listener);
    return INVALID_SOCKET;
  }
  return listener;
}

void SendResponse(SOCKET connection, std::string_view statusLine, std::string_view body) {
  const std::string response = FormatResponse(statusLine, body);
  send(connection, response.data(), static_cast<int>(response.size()), 0);
}

void RunHttpServer() {
  WSADATA winsock;
  WSAStartup(MAKEWORD(2, 2), &winsock);
  const SOCKET listener = OpenListeningSocket(kListenPort);
  if (listener == INVALID_SOCKET) {
    WriteLog("Listener failed to start");
    WSACleanup();
    return;
  }
  WriteLog("Listening on http://localhost:8080");

  // One buffer for the life of the thread: one byte more than a request may fill.
  char buffer[kMaxRequestBytes + 1];
  while (g_running) {
    // Waiting on the socket rather than sleeping accepts a connection the moment it
    // arrives, and still reads g_running at least every 30 ms.
    if (!WaitReadable(listener, kAcceptPollMs)) continue;
    const SOCKET connection = accept(listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    HandleConnection(connection, buffer);
  }

  closesocket(listener);
  WSACleanup();
  WriteLog("Listener stopped");
}
