// Starting and stopping the real ZelvListener.exe from tests.
#pragma once

#include <windows.h>

#include <string>

struct ListenerProcess {
  HANDLE process = nullptr;
  DWORD id = 0;
};

// Starts the listener program in a working folder and waits until its log says that the
// server listens or failed to start. process is null when it did not come up.
ListenerProcess StartListener(const std::wstring& program, const std::wstring& workingFolder);

// The listener's hidden window, waited for (bounded); null when there is none.
HWND FindListenerWindow(const ListenerProcess& listener, unsigned long timeoutMs = 10000);

// Asks the listener to stop the way its menu's Exit does (WM_CLOSE) and waits for the
// process to end; kills it after timeoutMs. Returns the exit code, or ~0 when killed.
unsigned long StopListener(ListenerProcess& listener, unsigned long timeoutMs = 15000);

// Waits for the process to end on its own and closes its handle. Returns the exit code,
// or ~0 when it did not end within timeoutMs (it is then left running).
unsigned long WaitForExit(ListenerProcess& listener, unsigned long timeoutMs = 15000);

bool IsRunning(const ListenerProcess& listener);
