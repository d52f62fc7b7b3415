// Test-only access to the Win32 calls of file_system_win32.cpp, so that tests can make them
// fail the way Windows does where Wine does not. Production code never calls the setter.
#pragma once

#include <windows.h>

struct FileSystemCalls {
  decltype(&GetFileAttributesW) getFileAttributes = &GetFileAttributesW;
  decltype(&CreateFileW) createFile = &CreateFileW;
};

// Puts calls in place and returns the ones in use before.
FileSystemCalls SetFileSystemCallsForTesting(const FileSystemCalls& calls);
