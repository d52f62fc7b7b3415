#include "support/http_client_win32.h"

#include <ws2tcpip.h>

void StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

SOCKET ConnectLoopback(unsigned short port) {
  StartWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

bool SendAll(SOCKET s, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

std::optional<std::string> ReceiveUntilClosed(SOCKET s, unsigned long timeoutMs) {
  std::string received;
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return std::nullopt;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    const ULONGLONG left = deadline - now;
    timeval timeout{static_cast<long>(left / 1000), static_cast<long>((left % 1000) * 1000)};
    if (select(0, &readable, nullptr, nullptr, &timeout) <= 0) return std::nullopt;
    char buffer[8192];
    const int n = recv(s, buffer, sizeof buffer, 0);
    if (n <= 0) return received;
    received.append(buffer, static_cast<size_t>(n));
  }
}

std::optional<std::string> HttpExchange(const std::string& request, unsigned long timeoutMs) {
  const SOCKET s = ConnectLoopback();
  if (s == INVALID_SOCKET) return std::nullopt;
  std::optional<std::string> reply;
  if (SendAll(s, request)) reply = ReceiveUntilClosed(s, timeoutMs);
  closesocket(s);
  return reply;
}

std::string ExpectedReply(const std::string& statusLine, const std::string& body) {
  return statusLine +
         "\r\n"
         "Content-Type: text/plain\r\n"
         "Access-Control-Allow-Origin: *\r\n"
         "Access-Control-Allow-Methods: GET, POST, OPTIONS\r\n"
         "Access-Control-Allow-Headers: Content-Type\r\n"
         "Connection: close\r\n"
         "Content-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}
