// A raw TCP client for talking HTTP to the listener on 127.0.0.1 in tests.
#pragma once

#include <winsock2.h>

#include <optional>
#include <string>

// Starts Winsock once for the test program.
void StartWinsock();

// A connected socket to 127.0.0.1:port, or INVALID_SOCKET.
SOCKET ConnectLoopback(unsigned short port = 8080);

bool SendAll(SOCKET socket, const std::string& bytes);

// Everything the peer sends until it closes, or nothing if it has not closed within
// timeoutMs. A reset after some bytes still gives the bytes.
std::optional<std::string> ReceiveUntilClosed(SOCKET socket, unsigned long timeoutMs = 5000);

// Connects, sends the request, and returns the whole reply; nothing when the connection
// failed or did not close in time.
std::optional<std::string> HttpExchange(const std::string& request, unsigned long timeoutMs = 5000);

// The exact reply the listener sends for a status line and body.
std::string ExpectedReply(const std::string& statusLine, const std::string& body);
