// The loopback HTTP server that runs on the listener's second thread.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <future>
#include <string_view>

// True while the server is to keep serving; the window thread clears it to stop.
extern std::atomic<bool> g_running;

inline constexpr u_short kListenPort = 8080;

// The body of the server thread: serves 127.0.0.1:8080 one connection at a time until
// g_running becomes false. Tells `listening` as soon as it knows whether it listens (the
// tray tip says so); returns at once, after its log lines, when it cannot listen.
void RunHttpServer(std::promise<bool> listening);

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
