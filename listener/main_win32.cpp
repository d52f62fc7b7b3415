// ZelvListener: a tray program that turns join requests from web pages into launcher starts.
#include <windows.h>
#include <objbase.h>

#include <functional>
#include <thread>

#include "http_server.h"
#include "listener_window.h"
#include "log.h"
#include "tray_icon.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WriteLog("ZelvListener starting");
  // The server may already be listening while the window is being made.
  ListenOutcome listening;
  std::thread server(RunHttpServer, std::ref(listening));
  // ShellExecuteW (View Logs) may use COM, which its documentation asks the caller to
  // initialise, apartment-threaded, on the thread that calls it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ListenerWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassW(&windowClass);

  // The tray tip tells the player whether pages can reach the listener. The server thread
  // hands over that one fact once, as soon as its bind and listen are done (moments).
  SetTrayListening(listening.Wait());
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
  if (SUCCEEDED(com)) CoUninitialize();
  WriteLog("ZelvListener exiting");
  return 0;
}
