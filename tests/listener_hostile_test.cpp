// What any web page (or any local program) can throw at the listener: load, bursts of
// joins and clients that misbehave. After each, the listener must still answer at once.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <regex>
#include <thread>

#include "support/listener_fixture_win32.h"

namespace {

// A /ping that must be answered within a second, as a page's liveness probe would wait.
void ExpectPongWithinASecond(const std::string& after) {
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(HttpExchange("GET /ping HTTP/1.1\r\n\r\n", 1000), Pong()) << "after " << after;
  EXPECT_LT(GetTickCount64() - start, 1000u) << "after " << after;
}

size_t ResidentBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize : 0;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

TEST_F(ListenerTest, TwentyThousandPingsFromEightClients) {
  Start();
  // The window thread makes its window only once the server listens; then it grows by MBs.
  ASSERT_NE(FindListenerWindow(listener_), nullptr);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(HttpExchange("GET /ping HTTP/1.1\r\n\r\n"), Pong());
  const size_t before = ResidentBytes(listener_.process);
  ASSERT_GT(before, 0u);

  constexpr int kClients = 8;
  constexpr int kPerClient = 2500;
  std::vector<std::vector<double>> times(kClients);
  std::atomic<int> wrong{0};
  const ULONGLONG start = GetTickCount64();
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      LARGE_INTEGER frequency, t0, t1;
      QueryPerformanceFrequency(&frequency);
      for (int i = 0; i < kPerClient; ++i) {
        QueryPerformanceCounter(&t0);
        const bool right = HttpExchange("GET /ping HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n") == Pong();
        QueryPerformanceCounter(&t1);
        if (!right) ++wrong;
        times[c].push_back(1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) /
                           static_cast<double>(frequency.QuadPart));
      }
    });
  }
  for (std::thread& client : clients) client.join();
  const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  const size_t after = ResidentBytes(listener_.process);

  std::vector<double> all;
  for (const auto& t : times) all.insert(all.end(), t.begin(), t.end());
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_LE(static_cast<double>(after), static_cast<double>(before) * 1.10)
      << "resident " << before << " -> " << after << " bytes";
  std::printf("load: %zu requests in %.1f s = %.0f requests/s; round trip median %.2f ms, p99 %.2f ms;"
              " resident %zu -> %zu KiB\n",
              all.size(), seconds, static_cast<double>(all.size()) / seconds, Percentile(all, 0.5),
              Percentile(all, 0.99), before / 1024, after / 1024);
  RecordProperty("requests_per_second", static_cast<int>(static_cast<double>(all.size()) / seconds));
}

TEST_F(ListenerTest, BurstOfJoinsStartsAtMostFourLaunchersAndKeepsTheLogWhole) {
  Start();
  constexpr size_t kJoins = 20;
  std::vector<std::string> requests;
  for (size_t i = 0; i < kJoins; ++i)
    requests.push_back(JoinRequest("game=Puzzle%20Game.gb&nickname=p" + std::to_string(i)));
  const std::vector<std::optional<std::string>> replies = SendAtOnce(requests);
  const size_t started = static_cast<size_t>(std::count(replies.begin(), replies.end(), Started()));
  const size_t refused = static_cast<size_t>(std::count(replies.begin(), replies.end(), NotStarted()));
  EXPECT_EQ(started + refused, kJoins);
  EXPECT_GE(started, 4u);  // launchers that have ended make room for more
  EXPECT_EQ(CountInLog("Too many joins at once: launcher not started"), refused);
  EXPECT_TRUE(WaitUntil([&] { return StandinRecordFiles(folder_.ra).size() == started; }, 60000))
      << StandinRecordFiles(folder_.ra).size() << " stand-in starts";
  ASSERT_TRUE(WaitUntil([&] { return CountInLog("RetroArch launched successfully.") == started; }, 30000));

  std::vector<std::string> nicknames;
  for (const std::wstring& file : StandinRecordFiles(folder_.ra)) nicknames.push_back(ReadStandinRecord(file).argv.at(4));
  std::sort(nicknames.begin(), nicknames.end());
  EXPECT_EQ(std::unique(nicknames.begin(), nicknames.end()), nicknames.end());

  // Every line is one whole line of one writer: a stamp, then a message it writes.
  const std::regex line(R"(\[\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\] (ZelvListener starting|Listening on http://localhost:8080|)"
                        R"(Request: GET /join\?game=Puzzle%20Game\.gb&nickname=p\d+ HTTP/1\.1|)"
                        R"(Calling launcher with URI: zelv://join\?game=Puzzle%20Game\.gb&nickname=p\d+|)"
                        R"(Too many joins at once: launcher not started|)"
                        R"(Launcher started|argv\[0\]: kovrin\.exe|argv\[1\]: zelv://join\?game=Puzzle%20Game\.gb&nickname=p\d+|)"
                        R"(CONFIG PATH: .*launcher-config\.json|RAW CONFIG START|RAW CONFIG END|\{|)"
                        R"(ARGS: zelv://join\?game=Puzzle%20Game\.gb&nickname=p\d+|Launching RetroArch with args: .*|)"
                        R"(RetroArch launched successfully\.)|  ".*",?|\}|)");
  const std::vector<std::string> lines = SplitCrLfLines(ReadBytes(folder_.base + L"\\launcher-log.txt"));
  EXPECT_EQ(lines.size(), 2 + started * 17 + refused * 2);  // the listener's two start lines so far
  for (const std::string& text : lines) EXPECT_TRUE(std::regex_match(text, line)) << text;
}

// Launchers that keep running (the stand-in, held): a double click or a repeating page
// starts one, a flood no more than four at once, and launchers that end make room again.
TEST_F(ListenerTest, RepeatedJoinsStartOnceAndFourLaunchersRunAtMost) {
  const std::wstring held = folder_.base + L"\\held";
  CreateDirectoryW(held.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(ListenerPath().c_str(), (held + L"\\ZelvListener.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((ThisProgramFolder() + L"\\retroarch_standin.exe").c_str(),
                        (held + L"\\kovrin.exe").c_str(), FALSE));
  WriteBytes(folder_.base + L"\\hold", "");
  Start(held + L"\\ZelvListener.exe");
  const std::vector<std::optional<std::string>> same = SendAtOnce(std::vector(20, JoinRequest("game=same")));
  EXPECT_EQ(std::count(same.begin(), same.end(), Started()), 20);
  EXPECT_EQ(CountInLog("Same join again within 5 s: not started twice"), 19u);

  Sleep(1000);  // other joins a second later are no repeats: 3 start beside the one running
  std::vector<std::string> requests;
  for (int i = 0; i < 20; ++i) requests.push_back(JoinRequest("game=g" + std::to_string(i)));
  const std::vector<std::optional<std::string>> replies = SendAtOnce(requests);
  EXPECT_EQ(std::count(replies.begin(), replies.end(), Started()), 3);
  EXPECT_EQ(CountInLog("Too many joins at once: launcher not started"), 17u);
  EXPECT_TRUE(WaitUntil([&] { return StandinRecordFiles(folder_.base).size() == 4; }));

  DeleteFileW((folder_.base + L"\\hold").c_str());
  EXPECT_TRUE(WaitUntil([&] { return HttpExchange(JoinRequest("game=after")) == Started(); }));
}

TEST_F(ListenerTest, MisbehavingClientsDoNotStopTheServer) {
  Start();
  {
    std::vector<SOCKET> silent;
    for (int i = 0; i < 50; ++i) silent.push_back(ConnectLoopback());
    ExpectPongWithinASecond("50 connections that never send");
    for (SOCKET s : silent) closesocket(s);
  }
  {
    std::vector<SOCKET> lingering(50);  // answered, then neither read from nor closed
    for (SOCKET& s : lingering) SendAll(s = ConnectLoopback(), "GET /x HTTP/1.1\r\n" + std::string(8000, 'h'));
    ExpectPongWithinASecond("50 answered connections that stay open");
    for (SOCKET s : lingering) closesocket(s);
  }
  {
    const SOCKET half = ConnectLoopback();
    SendAll(half, "GET /pi");
    linger reset{1, 0};  // close with a reset, not a goodbye
    setsockopt(half, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
    closesocket(half);
    ExpectPongWithinASecond("half a request line and a reset");
  }
  std::mt19937 random(20261208);
  std::string noise(1 << 20, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"1 MiB of random bytes", noise},
      {"a request line of 4095 bytes with no line end", "GET /" + std::string(4090, 'a')},
      {"10,000 question marks", "GET /join" + std::string(10000, '?') + " HTTP/1.1\r\n\r\n"},
      {"zero bytes", std::string(64, '\0')},
      {"a line end and nothing else", "\r\n"},
  };
  for (const Case& c : cases) {
    const SOCKET client = ConnectLoopback();
    ASSERT_NE(client, INVALID_SOCKET);
    SendAll(client, c.bytes);  // the server may stop reading and reset early; that is fine
    ReceiveUntilClosed(client, 3000);
    closesocket(client);
    ExpectPongWithinASecond(c.name);
  }
  // None of them was taken for a join.
  EXPECT_EQ(CountInLog("Launcher started"), 0u);
}

TEST_F(ListenerTest, LogHeldWithoutSharingLosesOnlyItsLines) {
  Start();
  // The listener's last line may be visible a moment before its handle is closed.
  HANDLE holder = INVALID_HANDLE_VALUE;
  WaitUntil([&] {
    holder = CreateFileW((folder_.base + L"\\launcher-log.txt").c_str(), GENERIC_READ, 0, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return holder != INVALID_HANDLE_VALUE;
  }, 2000);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  ExpectPongWithinASecond("the log was locked");
  EXPECT_EQ(HttpExchange(JoinRequest("game=Puzzle%20Game.gb")), Started());
  EXPECT_EQ(WaitForStandin(folder_.ra).argv.size(), 6u);  // the launcher ran on too
  CloseHandle(holder);
  ExpectPongWithinASecond("the log was released");
  // Only the ping after the release: the launcher's last line, retried for a moment while
  // the log was held, may land before or after it.
  EXPECT_EQ(CountInLog("Request: GET /ping HTTP/1.1"), 1u);
  EXPECT_EQ(CountInLog("Request: GET /join?game=Puzzle%20Game.gb HTTP/1.1"), 0u);
}

}  // namespace
