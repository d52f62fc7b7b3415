// Quoting of one command-line argument by the rules that the Windows C runtime and
// CommandLineToArgvW use to split a command line again.
#pragma once

#include <string>
#include <string_view>

// The argument in double quotes; inside them every double quote is escaped with a
// backslash, and backslashes are doubled where they stand before a quote or the closing
// quote. Splitting the result gives back exactly the argument, whatever it holds.
std::wstring QuoteWindowsArg(std::wstring_view arg);

// True when the argument would not come back as one argument if written bare: it is empty
// or holds a blank, a tab or a double quote.
bool NeedsWindowsQuoting(std::wstring_view arg);

// The argument bare when it is safe so, quoted by QuoteWindowsArg otherwise.
std::wstring QuoteWindowsArgIfNeeded(std::wstring_view arg);
