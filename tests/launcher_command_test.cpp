#include "launcher_command.h"

#include <gtest/gtest.h>

#include "hostile_strings.h"
#include "support/windows_arg_split.h"

namespace {

TEST(MakeJoinUriTest, QueryFollowsThePrefixUnchanged) {
  EXPECT_EQ(MakeJoinUri(""), "zelv://join?");
  EXPECT_EQ(MakeJoinUri("game=x&core=y"), "zelv://join?game=x&core=y");
  EXPECT_EQ(MakeJoinUri("a=%20+b"), "zelv://join?a=%20+b");
}

TEST(BuildLauncherCommandLineTest, QuotedProgramAndQuotedUri) {
  EXPECT_EQ(BuildLauncherCommandLine(L"zelv://join?game=x&core=y"),
            L"\"kovrin.exe\" \"zelv://join?game=x&core=y\"");
}

TEST(BuildLauncherCommandLineTest, LauncherGetsTheUriBackWhateverItHolds) {
  for (const std::wstring& value : HostileArguments()) {
    const std::wstring uri = L"zelv://join?game=" + value;
    const std::vector<std::wstring> split = SplitWindowsCommandLine(BuildLauncherCommandLine(uri));
    ASSERT_EQ(split.size(), 2u) << uri.size();
    EXPECT_EQ(split[0], L"kovrin.exe");
    EXPECT_EQ(split[1], uri);
  }
}

}  // namespace
