#include "http_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "http_request.h"
#include "join_endpoint.h"
#include "log.h"

std::atomic<bool> g_running{true};

namespace {

// The longest the server waits in select before it looks at g_running again.
constexpr ULONGLONG kPollMs = 30;
// How long a client may take, from accept, to send its request line.
constexpr ULONGLONG kRequestWaitMs = 1000;
// Connections still sending their request; past this, the oldest is dropped. Keeps a
// page that opens many silent connections from holding the server (and within FD_SETSIZE).
constexpr size_t kMaxPending = 32;

struct PendingRequest {
  SOCKET socket = INVALID_SOCKET;
  ULONGLONG acceptedAt = 0;
  size_t received = 0;
  bool lineEnded = false;
  bool peerDone = false;  // closed, reset or failed: nothing more will come
  std::array<char, kMaxRequestBytes + 1> bytes;
};

bool ReadyToAnswer(const PendingRequest& request, ULONGLONG now) {
  return request.lineEnded || request.peerDone || request.received >= kMaxRequestBytes ||
         now - request.acceptedAt >= kRequestWaitMs;
}

// Takes what has arrived; the request line may come in several pieces.
void ReadAvailable(PendingRequest& request) {
  const int got = recv(request.socket, request.bytes.data() + request.received,
                       static_cast<int>(kMaxRequestBytes - request.received), 0);
  if (got <= 0) {
    if (got == 0 || WSAGetLastError() != WSAEWOULDBLOCK) request.peerDone = true;
    return;
  }
  const std::string_view piece(request.bytes.data() + request.received, static_cast<size_t>(got));
  request.received += static_cast<size_t>(got);
  request.lineEnded = request.lineEnded || HoldsLineEnd(piece);
}

void AcceptWaiting(SOCKET listener, std::vector<PendingRequest>& pending) {
  for (size_t accepted = 0; accepted < kMaxPending; ++accepted) {
    const SOCKET connection = accept(listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return;
    if (pending.size() >= kMaxPending) {
      closesocket(pending.front().socket);
      pending.erase(pending.begin());
    }
    PendingRequest& request = pending.emplace_back();
    request.socket = connection;
    request.acceptedAt = GetTickCount64();
    // As a rule the request is there already; reading now saves a round through select.
    ReadAvailable(request);
  }
}

void Answer(PendingRequest& request) {
  request.bytes[request.received] = '\0';
  const RequestLine line = ParseRequestLine(std::string_view(request.bytes.data(), request.received));
  WriteLog("Request: " + std::string(line.line));

  const Route route = RouteRequest(line);
  const bool started = route == Route::Join && StartLauncher(JoinQuery(line.target));
  const Reply reply = ReplyFor(route, started);
  SendResponse(request.socket, reply.statusLine, reply.body);
}

// One thread serves every connection: select waits on the listening socket and on the
// connections whose request is still arriving, and each request is answered, in accept
// order, once its line has ended, its bytes fill the buffer, its sender stops, or its
// second is up. A connection that sent nothing is closed without a reply.
void Serve(SOCKET listener) {
  std::vector<PendingRequest> pending;
  pending.reserve(kMaxPending);
  while (g_running) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener, &readable);
    for (const PendingRequest& request : pending) FD_SET(request.socket, &readable);

    ULONGLONG waitMs = kPollMs;
    if (!pending.empty()) {
      const ULONGLONG age = GetTickCount64() - pending.front().acceptedAt;
      waitMs = std::min(waitMs, age >= kRequestWaitMs ? 0 : kRequestWaitMs - age);
    }
    timeval timeout{0, static_cast<long>(waitMs * 1000)};
    if (select(0, &readable, nullptr, nullptr, &timeout) > 0) {
      for (PendingRequest& request : pending) {
        if (FD_ISSET(request.socket, &readable)) ReadAvailable(request);
      }
      if (FD_ISSET(listener, &readable)) AcceptWaiting(listener, pending);
    }

    const ULONGLONG now = GetTickCount64();
    for (size_t i = 0; i < pending.size();) {
      if (!ReadyToAnswer(pending[i], now)) {
        ++i;
        continue;
      }
      if (pending[i].received > 0) Answer(pending[i]);
      closesocket(pending[i].socket);
      pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  for (const PendingRequest& request : pending) closesocket(request.socket);
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

  Serve(listener);

  closesocket(listener);
  WSACleanup();
  WriteLog("Listener stopped");
}
