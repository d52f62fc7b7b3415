// ZelvListener: a tray program that turns join requests from web pages into launcher starts.
#include <windows.h>

#include <thread>

#include "http_server.h"
#include "listener_window.h"
#include "log.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WriteLog("ZelvListener starting");
  // The server may already be listening while the window is being made.
  std::thread server(RunHttpServer);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ListenerWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassW(&windowClass);

  g_window = CreateWindowExW(0, kWindowClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, 400, 200, nullptr, nullptr, instance, nullptr);
  ShowWindow(g_window, SW_HIDE);
  UpdateWindow(g_window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }

  g_running = false;
  if (server.joinable()) server.join();
  WriteLog("ZelvListener exiting");
  return 0;
}
