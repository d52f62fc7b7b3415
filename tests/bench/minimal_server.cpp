// The least a loopback server can do for /ping: accept, read once, answer the same bytes
// the listener sends, close. Native; the baseline for the listener's round trip.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const int port = argc > 1 ? std::atoi(argv[1]) : 8081;
  const char reply[] =
      "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nAccess-Control-Allow-Origin: *\r\n"
      "Access-Control-Allow-Methods: GET, POST, OPTIONS\r\nAccess-Control-Allow-Headers: Content-Type\r\n"
      "Connection: close\r\nContent-Length: 4\r\n\r\npong";
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 128) != 0) {
    std::perror("minimal_server");
    return 1;
  }
  char buffer[4096];
  for (;;) {
    const int connection = accept(listener, nullptr, nullptr);
    if (connection < 0) continue;
    if (recv(connection, buffer, sizeof buffer, 0) > 0) send(connection, reply, sizeof reply - 1, 0);
    close(connection);
  }
}
