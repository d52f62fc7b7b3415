// The loopback HTTP server that runs on the listener's second thread.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string_view>

// True while the server is to keep serving; the window thread clears it to stop.
extern std::atomic<bool> g_running;

inline constexpr u_short kListenPort = 8080;

// Whether the server listens: told once by the server thread, as soon as it knows, to the
// window thread, whose tray tip says so.
struct ListenOutcome {
  void Tell(bool listening);
  bool Wait();  // until told

 private:
  std::mutex mutex_;
  std::condition_variable told_;
  bool known_ = false;
  bool listening_ = false;
};

// The body of the server thread: serves 127.0.0.1:8080 one connection at a time until
// g_running becomes false. Tells `outcome` whether it listens; returns at once, after its
// log lines, when it cannot listen.
void RunHttpServer(ListenOutcome& outcome);

struct ListeningSocket {
  SOCKET socket = INVALID_SOCKET;
  const char* failedStep = "";  // "socket", "bind" or "listen" when socket is invalid
  int error = 0;                // the Winsock error of that step
};

// A non-blocking TCP socket that holds 127.0.0.1:port for itself alone and listens, or the
// step that failed. Port 0 takes any free port (for tests).
ListeningSocket OpenListeningSocket(u_short port);

// Sends status line, fixed headers and body in one send. Does not close the connection.
void SendResponse(SOCKET connection, std::string_view statusLine, std::string_view body);
