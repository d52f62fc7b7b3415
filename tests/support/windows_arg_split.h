// A reference splitter for Windows command lines, written from the C runtime's documented
// rules, to check that what we build splits back into the arguments we meant.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits the arguments after the program name. Blanks and tabs separate outside quotes;
// 2n backslashes before a quote give n backslashes and the quote toggles quoting; 2n+1
// backslashes before a quote give n backslashes and a literal quote; other backslashes are
// literal; inside quotes, "" gives one literal quote.
std::vector<std::wstring> SplitWindowsArguments(std::wstring_view arguments);

// Splits a whole command line: the program name (to the next quote when it starts with
// one, else to the next blank, no escapes), then SplitWindowsArguments of the rest.
std::vector<std::wstring> SplitWindowsCommandLine(std::wstring_view commandLine);
