// Talks HTTP over loopback to the real ZelvListener.exe, which starts the real kovrin.exe,
// which starts the stand-in RetroArch.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "support/http_client_win32.h"
#include "support/join_folder_win32.h"
#include "support/listener_fixture_win32.h"
#include "support/listener_process_win32.h"
#include "support/process_win32.h"
#include "support/test_files_win32.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;


TEST_F(ListenerTest, RoutesAnswerByteForByte) {
  Start();
  struct Case {
    std::string request;
    std::string reply;
  };
  const std::string headers = "Host: 127.0.0.1:8080\r\nUser-Agent: test\r\n\r\n";
  const Case cases[] = {
      {"GET /ping HTTP/1.1\r\n" + headers, Pong()},
      {"GET /ping?x=1 HTTP/1.1\r\n" + headers, NotFound()},
      {"GET /ping/ HTTP/1.1\r\n" + headers, NotFound()},
      {"GET /PING HTTP/1.1\r\n" + headers, NotFound()},
      {"GET /ping\r\n\r\n", NotFound()},  // no second blank: empty target
      {"GET / HTTP/1.1\r\n" + headers, NotFound()},
      {"GET /ping HTTP/1.1\nHost: x\n\n", Pong()},  // LF-only lines
      {std::string("GET /ping HTTP/1.1\r\n\0garbage\r\n\r\n", 32), Pong()},
      {std::string("GET /pi\0ng HTTP/1.1\r\n\r\n", 24), NotFound()},
      {"GET /ping HTTP/1.1\r\nX-Long: " + std::string(6000, 'a') + "\r\n\r\n", Pong()},
      {"OPTIONS /join?game=x HTTP/1.1\r\n" + headers, ExpectedReply("HTTP/1.1 204 No Content", "")},
      {"OPTIONS /ping HTTP/1.1\r\n" + headers, ExpectedReply("HTTP/1.1 204 No Content", "")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HttpExchange(c.request), c.reply) << testing::PrintToString(c.request.substr(0, 40));
  }
  // The request line is logged as received; with LF-only lines that is the whole request,
  // kept on one line of the log.
  EXPECT_EQ(CountInLog("Request: GET /ping HTTP/1.1"), 3u);
  EXPECT_EQ(CountInLog("Request: GET /ping HTTP/1.1\\nHost: x\\n\\n"), 1u);
  EXPECT_EQ(CountInLog("Request: GET /pi"), 1u);
  EXPECT_EQ(CountInLog("Request: OPTIONS /join?game=x HTTP/1.1"), 1u);
  // A preflight never starts a launcher.
  EXPECT_EQ(CountInLog("Calling launcher with URI: zelv://join?game=x"), 0u);
}

TEST_F(ListenerTest, JoinStartsTheLauncherWhichStartsRetroArch) {
  Start();
  EXPECT_EQ(HttpExchange(JoinRequest("host=192.0.2.7&core=examplecore&game=Puzzle%20Game.gb")), Started());
  const StandinRecord standin = WaitForStandin(folder_.ra);
  const std::string base = Narrow(folder_.base);
  EXPECT_EQ(standin.argv,
            (std::vector<std::string>{Narrow(folder_.ra) + "\\retroarch.exe", "--connect", "192.0.2.7",
                                      "--port", "55435", "--nick", "Player", "--libretro",
                                      base + "\\cores\\examplecore_libretro.dll",
                                      base + "\\games\\gb\\Puzzle Game.gb"}));
  ASSERT_TRUE(WaitForLogLine("RetroArch launched successfully."));
  const std::vector<std::string> log = Log();
  const std::string uri = "zelv://join?host=192.0.2.7&core=examplecore&game=Puzzle%20Game.gb";
  const auto calling = std::find(log.begin(), log.end(), "Calling launcher with URI: " + uri);
  const auto started = std::find(log.begin(), log.end(), "Launcher started");
  ASSERT_NE(calling, log.end());
  ASSERT_NE(started, log.end());
  EXPECT_LT(calling, started);
  EXPECT_EQ(*(started + 1), "argv[0]: kovrin.exe");
  EXPECT_EQ(*(started + 2), "argv[1]: " + uri);
}

TEST_F(ListenerTest, EveryJoinTargetPassesItsQueryUnchanged) {
  Start();
  struct Case {
    std::string target;
    std::string uri;
  };
  for (const Case& c : {Case{"/join", "zelv://join?"}, Case{"/join?", "zelv://join?"},
                        Case{"/joinanything?a=b", "zelv://join?a=b"}, Case{"/join/x?a=b", "zelv://join?a=b"},
                        Case{"/join?a=1?b=2", "zelv://join?a=1?b=2"},
                        Case{"/join?n=Big+Boss%21", "zelv://join?n=Big+Boss%21"}}) {
    EXPECT_EQ(HttpExchange("POST " + c.target + " HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc"), Started()) << c.target;
    EXPECT_TRUE(WaitForLogLine("argv[1]: " + c.uri)) << c.target;
  }
}

// What the listener logs is exactly what the launcher receives, quotes, backslashes and
// raw UTF-8 included.
TEST_F(ListenerTest, LauncherReceivesTheLoggedUriByteForByte) {
  Start();
  for (const std::string query : {"game=a\"b", "game=x\\", "game=x\\\"y\\\\", "nickname=caf\xC3\xA9&game=\xE2\x82\xAC",
                                  "game=\"--nick\"evil\"\\"}) {
    EXPECT_EQ(HttpExchange(JoinRequest(query)), Started());
    const std::string uri = "zelv://join?" + query;
    ASSERT_TRUE(WaitForLogLine("ARGS: " + uri)) << query;  // the launcher's last line about it
    EXPECT_EQ(CountInLog("Calling launcher with URI: " + uri), 1u);
    EXPECT_EQ(CountInLog("argv[1]: " + uri), 1u);
  }
}

TEST_F(ListenerTest, MissingLauncherGivesTheFailureReplyAndNoOtherLauncherRuns) {
  // A listener copied into a folder of its own has no kovrin.exe beside it; the one in its
  // current folder is a decoy that must never run (it would leave a stand-in record).
  const std::wstring alone = folder_.base + L"\\alone";
  CreateDirectoryW(alone.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(ListenerPath().c_str(), (alone + L"\\ZelvListener.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((ThisProgramFolder() + L"\\retroarch_standin.exe").c_str(),
                        (folder_.base + L"\\kovrin.exe").c_str(), FALSE));
  Start(alone + L"\\ZelvListener.exe");
  EXPECT_EQ(HttpExchange(JoinRequest("game=x")), NotStarted());
  const std::vector<std::string> log = Log();
  const auto calling = std::find(log.begin(), log.end(), "Calling launcher with URI: zelv://join?game=x");
  ASSERT_NE(calling, log.end());
  ASSERT_NE(calling + 1, log.end());
  EXPECT_EQ(*(calling + 1), "CreateProcess failed: 2");
  EXPECT_TRUE(StandinRecordFiles(folder_.base).empty());
}

// Headers beyond the 4 KB the listener reads (cookies of local servers) are read and
// dropped, so the reply is not lost to a reset. Wine hides a reset from recv; a send shows it.
TEST_F(ListenerTest, LargeRequestsGetTheWholeReplyThenAnOrderlyEnd) {
  Start();
  for (const auto& [target, kilobytes] :
       {std::pair{"/ping", 6}, {"/ping", 64}, {"/join?game=Puzzle%20Game.gb", 64}}) {
    const SOCKET client = ConnectLoopback();
    ASSERT_TRUE(SendAll(client, std::string("GET ") + target + " HTTP/1.1\r\nCookie: " +
                                    std::string(kilobytes * 1024, 'c') + "\r\n\r\n"));
    const bool ping = target == std::string("/ping");
    EXPECT_EQ(ReceiveUntilClosed(client), ping ? Pong() : Started());
    EXPECT_TRUE(SendAll(client, "\r\n")) << target << " " << kilobytes << " KB: reset";
    closesocket(client);
  }
  ASSERT_TRUE(WaitForLogLine("RetroArch launched successfully."));
  EXPECT_EQ(CountInLog("Calling launcher with URI: zelv://join?game=Puzzle%20Game.gb"), 1u);
}

TEST_F(ListenerTest, SilentClientIsDroppedAfterASecond) {
  Start();
  const SOCKET silent = ConnectLoopback();
  ASSERT_NE(silent, INVALID_SOCKET);
  const ULONGLONG start = GetTickCount64();
  const std::optional<std::string> reply = ReceiveUntilClosed(silent, 3000);
  const ULONGLONG waited = GetTickCount64() - start;
  closesocket(silent);
  ASSERT_TRUE(reply);
  EXPECT_EQ(*reply, "");
  EXPECT_GE(waited, 800u);
  EXPECT_LE(waited, 1600u);
  EXPECT_EQ(HttpExchange("GET /ping HTTP/1.1\r\n\r\n", 1000), Pong());
}

TEST_F(ListenerTest, RequestArrivingInPiecesIsAnswered) {
  Start();
  const SOCKET client = ConnectLoopback();
  ASSERT_NE(client, INVALID_SOCKET);
  ASSERT_TRUE(SendAll(client, "GET /pi"));
  Sleep(50);
  ASSERT_TRUE(SendAll(client, "ng HTTP/1.1"));
  Sleep(50);
  ASSERT_TRUE(SendAll(client, "\r\nHost: x\r\n\r\n"));
  EXPECT_EQ(ReceiveUntilClosed(client), Pong());
  closesocket(client);
}

TEST_F(ListenerTest, PartialRequestThatGoesQuietIsHandledWithWhatCame) {
  Start();
  const SOCKET client = ConnectLoopback();
  ASSERT_NE(client, INVALID_SOCKET);
  ASSERT_TRUE(SendAll(client, "GET /ping HTTP/1.1"));  // no line end ever comes
  EXPECT_EQ(ReceiveUntilClosed(client, 3000), Pong());
  closesocket(client);
}

TEST_F(ListenerTest, ClientsAtOnceAreServedOneAfterTheOther) {
  Start();
  // The first connection holds the server while the second waits in the backlog.
  const SOCKET first = ConnectLoopback();
  const SOCKET second = ConnectLoopback();
  ASSERT_NE(first, INVALID_SOCKET);
  ASSERT_NE(second, INVALID_SOCKET);
  ASSERT_TRUE(SendAll(second, "GET /ping HTTP/1.1\r\n\r\n"));
  Sleep(100);
  ASSERT_TRUE(SendAll(first, "GET /nothing HTTP/1.1\r\n\r\n"));
  EXPECT_EQ(ReceiveUntilClosed(first), NotFound());
  EXPECT_EQ(ReceiveUntilClosed(second), Pong());
  closesocket(first);
  closesocket(second);

  for (const auto& reply : SendAtOnce(std::vector<std::string>(8, "GET /ping HTTP/1.1\r\n\r\n")))
    EXPECT_EQ(reply, Pong());
}

TEST_F(ListenerTest, TakenPortIsExplainedAndLeavesTheTrayProgramRunning) {
  const SOCKET holder = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(8080);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(holder, 1), 0);

  Start();
  EXPECT_EQ(CountInLog("Listener failed to start"), 1u);
  Sleep(300);
  EXPECT_TRUE(IsRunning(listener_));
  EXPECT_EQ(StopListener(listener_), 0u);
  closesocket(holder);
  const std::vector<std::string> log = Log();
  EXPECT_EQ(log, (std::vector<std::string>{"ZelvListener starting", "Listener failed to start",
                                           "Port 8080 on 127.0.0.1 is in use (WSAEADDRINUSE 10048)",
                                           "ZelvListener exiting"}));
}

TEST_F(ListenerTest, CloseStopsTheServerAtOnceAndExitsInOrder) {
  Start();
  const HWND window = FindListenerWindow(listener_);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  wchar_t title[64];
  GetWindowTextW(window, title, 64);
  EXPECT_EQ(std::wstring(title), L"ZelvListener");

  // WM_CLOSE is where the tray menu's Exit and the window's close button both lead.
  const ULONGLONG start = GetTickCount64();
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForLogLine("Listener stopped", 5000));
  const ULONGLONG stopped = GetTickCount64() - start;
  EXPECT_LT(stopped, 300u) << "the server noticed the stop after " << stopped << " ms";

  EXPECT_EQ(WaitForExit(listener_), 0u);
  EXPECT_EQ(Log(), (std::vector<std::string>{"ZelvListener starting", "Listening on http://localhost:8080",
                                             "Listener stopped", "ZelvListener exiting"}));
}

TEST_F(ListenerTest, DoubleClickShowsTheWindowAndClosingItStopsTheListener) {
  Start();
  const HWND window = FindListenerWindow(listener_);
  ASSERT_NE(window, nullptr);
  for (LPARAM ignored : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE}) {
    SendMessageW(window, kTrayMessage, 1001, ignored);
    EXPECT_FALSE(IsWindowVisible(window)) << ignored;
  }
  SendMessageW(window, kTrayMessage, 1001, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 2000));

  // The close button sends WM_CLOSE too. (Wine takes a few seconds to settle a shown
  // window when there is no window manager, so no latency is asserted here.)
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExit(listener_), 0u);
  const std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "Listener stopped");
  EXPECT_EQ(log.back(), "ZelvListener exiting");
}

// The shell answers NIM_MODIFY only for an icon that it holds.
bool TrayHoldsIcon(HWND window) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = sizeof probe;
  probe.hWnd = window;
  probe.uID = 1001;
  probe.uFlags = NIF_TIP;
  std::wstring_view(L"ZelvListener listening on localhost").copy(probe.szTip, std::size(probe.szTip) - 1);
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

TEST_F(ListenerTest, IconComesBackWhenTheTaskbarIsRecreated) {
  Start();
  const HWND window = FindListenerWindow(listener_);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return TrayHoldsIcon(window); }, 5000));

  // What a restarting shell does: its icons are gone, then it announces the new taskbar.
  NOTIFYICONDATAW gone{};
  gone.cbSize = sizeof gone;
  gone.hWnd = window;
  gone.uID = 1001;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
  EXPECT_FALSE(TrayHoldsIcon(window));
  SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return TrayHoldsIcon(window); }, 5000));
}

}  // namespace
