#include "arg_quote.h"

#include <gtest/gtest.h>

#include "hostile_strings.h"
#include "support/windows_arg_split.h"

namespace {

TEST(QuoteWindowsArgTest, EscapesQuotesAndBackslashesBeforeThem) {
  EXPECT_EQ(QuoteWindowsArg(L""), L"\"\"");
  EXPECT_EQ(QuoteWindowsArg(L"a b"), L"\"a b\"");
  EXPECT_EQ(QuoteWindowsArg(L"a\"b"), L"\"a\\\"b\"");
  EXPECT_EQ(QuoteWindowsArg(L"a\\b"), L"\"a\\b\"");          // lone backslash kept
  EXPECT_EQ(QuoteWindowsArg(L"a\\\"b"), L"\"a\\\\\\\"b\"");  // \" becomes \\\"
  EXPECT_EQ(QuoteWindowsArg(L"end\\"), L"\"end\\\\\"");      // doubled before closing quote
}

TEST(QuoteWindowsArgTest, IfNeededLeavesSafeValuesBare) {
  EXPECT_EQ(QuoteWindowsArgIfNeeded(L"192.0.2.7"), L"192.0.2.7");
  EXPECT_EQ(QuoteWindowsArgIfNeeded(L"C:\\a\\"), L"C:\\a\\");
  EXPECT_EQ(QuoteWindowsArgIfNeeded(L"Big Boss"), L"\"Big Boss\"");
  EXPECT_EQ(QuoteWindowsArgIfNeeded(L""), L"\"\"");
  EXPECT_EQ(QuoteWindowsArgIfNeeded(L"tab\t"), L"\"tab\t\"");
}

TEST(QuoteWindowsArgTest, EveryHostileValueSplitsBackToItself) {
  for (const std::wstring& value : HostileArguments()) {
    for (const std::wstring& quoted : {QuoteWindowsArg(value), QuoteWindowsArgIfNeeded(value)}) {
      const std::vector<std::wstring> split = SplitWindowsArguments(L"--opt " + quoted + L" next");
      ASSERT_EQ(split.size(), 3u) << quoted;
      EXPECT_EQ(split[1], value) << quoted;
      EXPECT_EQ(split[2], L"next") << quoted;
    }
  }
}

TEST(WindowsArgSplitTest, FollowsTheRuntimeRules) {
  using Args = std::vector<std::wstring>;
  EXPECT_EQ(SplitWindowsArguments(L"a  b\tc"), (Args{L"a", L"b", L"c"}));
  EXPECT_EQ(SplitWindowsArguments(L"\"a b\" c"), (Args{L"a b", L"c"}));
  EXPECT_EQ(SplitWindowsArguments(L"a\\\\\\b"), (Args{L"a\\\\\\b"}));
  EXPECT_EQ(SplitWindowsArguments(L"a\\\\\"b c\""), (Args{L"a\\b c"}));
  EXPECT_EQ(SplitWindowsArguments(L"a\\\"b"), (Args{L"a\"b"}));
  EXPECT_EQ(SplitWindowsArguments(L"\"\""), (Args{L""}));
  EXPECT_EQ(SplitWindowsArguments(L"\"a\"\"b\""), (Args{L"a\"b"}));
  EXPECT_EQ(SplitWindowsCommandLine(L"\"C:\\x y\\p.exe\" --a"), (Args{L"C:\\x y\\p.exe", L"--a"}));
}

}  // namespace
