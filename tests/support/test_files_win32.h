// File helpers for tests that run under Windows (or Wine).
#pragma once

#include <string>
#include <vector>

// A fresh, empty folder for one test under the temporary folder; removed again by
// RemoveTree. name says which test made it.
std::wstring MakeTestFolder(const std::wstring& name);

// Deletes a tree without following links: a link is removed, not what it points to.
void RemoveTree(const std::wstring& path);

void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);  // "" when missing
bool PathExists(const std::wstring& path);

// The folder of the running test program.
std::wstring ThisProgramFolder();

// The messages of launcher-log.txt in a folder, one per line, without the "[time] "
// prefix; lines that do not start with a prefix (a multi-line message) are kept whole.
std::vector<std::string> ReadLogMessages(const std::wstring& folder);

// All lines of a CR LF text, split at CR LF.
std::vector<std::string> SplitCrLfLines(const std::string& text);

std::string Narrow(const std::wstring& text);  // UTF-8
std::wstring Widen(const std::string& text);   // from UTF-8
