// Test-only access to the Win32 calls of game_search_win32.cpp, so that tests can make them
// fail the way Windows does where Wine does not. Production code never calls the setter.
#pragma once

#include <windows.h>

struct GameSearchCalls {
  decltype(&CreateFileW) createFile = &CreateFileW;
  // Both the listing classes and FileIdInfo.
  decltype(&GetFileInformationByHandleEx) getFileInformationEx = &GetFileInformationByHandleEx;
  decltype(&GetFileInformationByHandle) getFileInformation = &GetFileInformationByHandle;
  decltype(&FindFirstFileExW) findFirstFile = &FindFirstFileExW;
  decltype(&FindNextFileW) findNextFile = &FindNextFileW;
};

// Puts calls in place and returns the ones in use before.
GameSearchCalls SetGameSearchCallsForTesting(const GameSearchCalls& calls);
