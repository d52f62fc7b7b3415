// A test fixture that runs the real ZelvListener.exe in a player's folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/http_client_win32.h"
#include "support/join_folder_win32.h"
#include "support/listener_process_win32.h"
#include "support/process_win32.h"
#include "support/test_files_win32.h"

class ListenerTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeJoinFolder(L"listener");
    StartWinsock();
  }
  void TearDown() override {
    if (listener_.process) StopListener(listener_);
    RemoveTree(folder_.base);
  }

  void Start(const std::wstring& program = ListenerPath()) {
    listener_ = StartListener(program, folder_.base);
    ASSERT_NE(listener_.process, nullptr);
  }

  std::vector<std::string> Log() { return ReadLogMessages(folder_.base); }
  size_t CountInLog(const std::string& message) {
    const std::vector<std::string> log = Log();
    return static_cast<size_t>(std::count(log.begin(), log.end(), message));
  }
  bool WaitForLogLine(const std::string& message, unsigned long timeoutMs = 10000) {
    return WaitUntil([&] { return CountInLog(message) > 0; }, timeoutMs);
  }

  JoinFolder folder_;
  ListenerProcess listener_;
};

inline std::string Pong() { return ExpectedReply("HTTP/1.1 200 OK", "pong"); }
inline std::string NotFound() { return ExpectedReply("HTTP/1.1 404 Not Found", "Not Found"); }
inline std::string Started() { return ExpectedReply("HTTP/1.1 200 OK", "Launcher started."); }
inline std::string NotStarted() {
  return ExpectedReply("HTTP/1.1 500 Internal Server Error", "Failed to start launcher.");
}
inline std::string JoinRequest(const std::string& query) { return "GET /join?" + query + " HTTP/1.1\r\n\r\n"; }

// Sends each request on its own connection, all at once; the replies in request order.
inline std::vector<std::optional<std::string>> SendAtOnce(const std::vector<std::string>& requests) {
  std::vector<std::optional<std::string>> replies(requests.size());
  std::vector<std::thread> clients;
  for (size_t i = 0; i < requests.size(); ++i)
    clients.emplace_back([&, i] { replies[i] = HttpExchange(requests[i], 20000); });
  for (std::thread& client : clients) client.join();
  return replies;
}
