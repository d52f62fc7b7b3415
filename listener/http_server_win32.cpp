#include "http_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "http_request.h"
#include "http_server_testing.h"
#include "join_endpoint.h"
#include "listen_error.h"
#include "log.h"

std::atomic<bool> g_running{true};

namespace {

ListenCalls g_listenCalls;

// The longest the server waits in select before it looks at g_running again.
constexpr ULONGLONG kPollMs = 30;
// How long a client may take, from accept, to send its request line.
constexpr ULONGLONG kRequestWaitMs = 1000;
// Connections still sending their request; past this, the oldest is dropped. Keeps a
// page that opens many silent connections from holding the server.
constexpr size_t kMaxPending = 32;
// How long, after its reply, a connection is read and emptied before it is closed.
constexpr ULONGLONG kDrainMs = 1000;
// Answered connections being emptied; past this, the oldest is closed, so clients that
// never close cannot take the places of new requests.
constexpr size_t kMaxDraining = 16;
// Every connection and the listening socket go into one fd_set.
static_assert(kMaxPending + kMaxDraining + 1 <= FD_SETSIZE);

struct PendingRequest {
  SOCKET socket = INVALID_SOCKET;
  ULONGLONG acceptedAt = 0;
  size_t received = 0;
  bool lineEnded = false;
  bool peerDone = false;  // closed, reset or failed: nothing more will come
  std::array<char, kMaxRequestBytes + 1> bytes;
};

// A connection whose reply is sent. Closing a socket with unread bytes makes TCP send a
// reset, which can destroy the reply before the client has read it; so what the client
// still sends (headers beyond the buffer, a body) is read and dropped until it closes.
struct DrainingConnection {
  SOCKET socket = INVALID_SOCKET;
  ULONGLONG answeredAt = 0;
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

// Reads and drops what has arrived. True once the client has closed (or reset).
bool DiscardAvailable(SOCKET connection) {
  std::array<char, 16384> scratch;
  const int got = recv(connection, scratch.data(), static_cast<int>(scratch.size()), 0);
  return got == 0 || (got < 0 && WSAGetLastError() != WSAEWOULDBLOCK);
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

void Answer(PendingRequest& request, LauncherStarts& launchers) {
  request.bytes[request.received] = '\0';
  const RequestLine line = ParseRequestLine(std::string_view(request.bytes.data(), request.received));
  WriteLog("Request: " + std::string(line.line));

  const Route route = RouteRequest(line);
  const bool started = route == Route::Join && StartLauncher(launchers, JoinQuery(line.target));
  const Reply reply = ReplyFor(route, started);
  SendResponse(request.socket, reply.statusLine, reply.body);
}

// After the reply: a client that is done sending is closed at once; any other gets the
// end of the stream after the reply and is emptied until it closes or its time is up.
void Finish(const PendingRequest& request, std::vector<DrainingConnection>& draining, ULONGLONG now) {
  if (request.peerDone) {
    closesocket(request.socket);
    return;
  }
  shutdown(request.socket, SD_SEND);
  if (draining.size() >= kMaxDraining) {
    closesocket(draining.front().socket);
    draining.erase(draining.begin());
  }
  draining.push_back({request.socket, now});
}

// One thread serves every connection: select waits on the listening socket, on the
// connections whose request is still arriving and on those being emptied after their
// reply. Each request is answered, in accept order, once its line has ended, its bytes
// fill the buffer, its sender stops, or its second is up. A connection that sent nothing
// is closed without a reply.
void Serve(SOCKET listener) {
  std::vector<PendingRequest> pending;
  pending.reserve(kMaxPending);
  std::vector<DrainingConnection> draining;
  draining.reserve(kMaxDraining);
  LauncherStarts launchers;
  while (g_running) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener, &readable);
    for (const PendingRequest& request : pending) FD_SET(request.socket, &readable);
    for (const DrainingConnection& connection : draining) FD_SET(connection.socket, &readable);

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
      std::erase_if(draining, [&](const DrainingConnection& connection) {
        if (!FD_ISSET(connection.socket, &readable) || !DiscardAvailable(connection.socket)) return false;
        closesocket(connection.socket);
        return true;
      });
      if (FD_ISSET(listener, &readable)) AcceptWaiting(listener, pending);
    }

    const ULONGLONG now = GetTickCount64();
    std::erase_if(draining, [&](const DrainingConnection& connection) {
      if (now - connection.answeredAt < kDrainMs) return false;
      closesocket(connection.socket);
      return true;
    });
    for (size_t i = 0; i < pending.size();) {
      if (!ReadyToAnswer(pending[i], now)) {
        ++i;
        continue;
      }
      if (pending[i].received > 0) {
        Answer(pending[i], launchers);
        Finish(pending[i], draining, GetTickCount64());
      } else {
        closesocket(pending[i].socket);
      }
      pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  for (const PendingRequest& request : pending) closesocket(request.socket);
  for (const DrainingConnection& connection : draining) closesocket(connection.socket);
}

}  // namespace

ListenCalls SetListenCallsForTesting(const ListenCalls& calls) { return std::exchange(g_listenCalls, calls); }

void ListenOutcome::Tell(bool listening) {
  {
    const std::lock_guard lock(mutex_);
    known_ = true;
    listening_ = listening;
  }
  told_.notify_all();
}

bool ListenOutcome::Wait() {
  std::unique_lock lock(mutex_);
  told_.wait(lock, [this] { return known_; });
  return listening_;
}

ListeningSocket OpenListeningSocket(u_short port) {
  ListeningSocket result;
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) {
    result.failedStep = "socket";
    result.error = WSAGetLastError();
    return result;
  }
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
  if (g_listenCalls.bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
    result.failedStep = "bind";
  } else if (listen(listener, SOMAXCONN) == SOCKET_ERROR) {
    result.failedStep = "listen";
  } else {
    result.socket = listener;
    return result;
  }
  result.error = WSAGetLastError();  // before closesocket, which may set its own
  closesocket(listener);
  return result;
}

void SendResponse(SOCKET connection, std::string_view statusLine, std::string_view body) {
  const std::string response = FormatResponse(statusLine, body);
  send(connection, response.data(), static_cast<int>(response.size()), 0);
}

void RunHttpServer(ListenOutcome& outcome) {
  WSADATA winsock;
  const int startup = WSAStartup(MAKEWORD(2, 2), &winsock);
  ListeningSocket opened{INVALID_SOCKET, "WSAStartup", startup};
  if (startup == 0) opened = OpenListeningSocket(kListenPort);
  if (opened.socket == INVALID_SOCKET) {
    WriteLog("Listener failed to start");
    WriteLog(DescribeListenError(opened.failedStep, opened.error));
    if (startup == 0) WSACleanup();
    outcome.Tell(false);
    return;
  }
  WriteLog("Listening on http://localhost:8080");
  outcome.Tell(true);

  Serve(opened.socket);

  closesocket(opened.socket);
  WSACleanup();
  WriteLog("Listener stopped");
}
