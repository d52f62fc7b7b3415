// Under Wine, in a player's folder (cwd) whose RA\retroarch.exe is the stand-in:
//   join_bench join N   time from sending /join to the stand-in's record appearing
//   join_bench bare N   time from CreateProcessW of the stand-in to its record appearing
// Prints "median_ms p90_ms". The same wait for the record is used in both modes.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int CountRecords() {
  int count = 0;
  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileW(L"RA\\standin-*.txt", &entry);
  if (listing == INVALID_HANDLE_VALUE) return 0;
  do ++count;
  while (FindNextFileW(listing, &entry));
  FindClose(listing);
  return count;
}

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool SendJoin() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(8080);
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
  const char request[] = "GET /join?game=Puzzle%20Game.gb HTTP/1.1\r\n\r\n";
  send(s, request, sizeof request - 1, 0);
  char buffer[512];
  while (recv(s, buffer, sizeof buffer, 0) > 0) {
  }
  closesocket(s);
  return true;
}

bool StartStandin() {
  wchar_t commandLine[] = L"\"RA\\retroarch.exe\" --bench";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, L"RA", &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool join = argc > 1 && std::string(argv[1]) == "join";
  const int runs = argc > 2 ? std::atoi(argv[2]) : 50;
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const int before = CountRecords();
    const double start = Now();
    if (!(join ? SendJoin() : StartStandin())) return 1;
    while (CountRecords() == before) Sleep(1);
    times.push_back(Now() - start);
    Sleep(50);  // let the processes of this run end before the next starts
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f %.1f\n", times[times.size() / 2], times[times.size() * 9 / 10]);
  return 0;
}
