// Sends COUNT sequential /ping requests to 127.0.0.1:PORT, one connection each, and prints
// "median_us p99_us failures" for the round trips. A first tenth as many requests warm the
// server up and are not counted. Native.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const int port = argc > 1 ? std::atoi(argv[1]) : 8080;
  const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
  const std::string request = "GET /ping HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  std::vector<double> micros;
  int failures = 0;
  for (int i = -count / 10; i < count; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(s, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
      char buffer[1024];
      ssize_t n;
      while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) reply.append(buffer, static_cast<size_t>(n));
    }
    close(s);
    const auto end = std::chrono::steady_clock::now();
    if (!reply.ends_with("\r\n\r\npong")) ++failures;
    if (i >= 0) micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::sort(micros.begin(), micros.end());
  std::printf("%.0f %.0f %d\n", micros[micros.size() / 2], micros[micros.size() * 99 / 100], failures);
  return failures == 0 ? 0 : 1;
}
