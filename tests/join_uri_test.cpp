#include "join_uri.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
  const char* raw;
  std::string decoded;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.raw; }

class PercentDecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(PercentDecodeTest, DecodesLikeFormattedHexInput) {
  EXPECT_EQ(PercentDecode(GetParam().raw), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PercentDecodeTest,
    testing::Values(DecodeCase{"Big+Boss%21", "Big Boss!"},
                    DecodeCase{"%e2%82%ac", "\xE2\x82\xAC"},
                    DecodeCase{"%E2%82%AC", "\xE2\x82\xAC"},
                    DecodeCase{"%4G", "\x04"},              // one digit read, both bytes consumed
                    DecodeCase{"%G4", "%G4"},               // no digit: '%' kept, G4 literal
                    DecodeCase{"100%", "100%"},             // nothing after '%'
                    DecodeCase{"a%4", "a%4"},               // one byte after '%'
                    DecodeCase{"%-1", "\xFF"},              // signed read, low 8 bits
                    DecodeCase{"% 4", "\x04"},              // leading white space skipped
                    DecodeCase{"%00x", std::string("\0x", 2)},
                    DecodeCase{"%%41", "%A"},               // first '%' fails, second decodes
                    DecodeCase{"a%2", "a%2"},
                    DecodeCase{"", ""}));

TEST(ParseJoinUriTest, FillsFieldsAndDefaults) {
  const auto request = ParseJoinUri("zelv://join?core=examplecore&game=Puzzle.gb");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->core, "examplecore");
  EXPECT_EQ(request->game, "Puzzle.gb");
  EXPECT_EQ(request->port, "55435");
  EXPECT_EQ(request->nickname, "Player");
  EXPECT_EQ(request->host, "");
  EXPECT_EQ(request->relay, "");
  EXPECT_EQ(request->password, "");
  EXPECT_EQ(request->session, "");
}

TEST(ParseJoinUriTest, BothSchemesGiveTheSameRequest) {
  const auto a = ParseJoinUri("zelv://join?host=h&port=1&core=c&game=g&password=p&nickname=n");
  const auto b = ParseJoinUri("retroarch://join?host=h&port=1&core=c&game=g&password=p&nickname=n");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->host, b->host);
  EXPECT_EQ(a->port, "1");
  EXPECT_EQ(b->port, "1");
  EXPECT_EQ(a->password, b->password);
  EXPECT_EQ(a->nickname, "n");
  EXPECT_EQ(b->nickname, "n");
}

TEST(ParseJoinUriTest, RejectsOtherSchemes) {
  for (const char* uri : {"ZELV://join?game=a", "Zelv://join?game=a", " zelv://join?game=a",
                          "http://join?game=a", "RETROARCH://join?game=a", "zelv:/join?game=a",
                          ""}) {
    EXPECT_FALSE(ParseJoinUri(uri)) << uri;
  }
}

TEST(ParseJoinUriTest, QueryStartsAtFirstQuestionMarkAfterScheme) {
  struct Case {
    const char* uri;
    const char* game;
  };
  for (const Case& c : {Case{"zelv://?game=a.sfc", "a.sfc"}, Case{"zelv://x/y?game=a.sfc", "a.sfc"},
                        Case{"zelv://join", ""}, Case{"zelv://join?", ""},
                        Case{"zelv://join?game=a?b", "a?b"}, Case{"zelv://join?game=x#y", "x#y"}}) {
    const auto request = ParseJoinUri(c.uri);
    ASSERT_TRUE(request) << c.uri;
    EXPECT_EQ(request->game, c.game) << c.uri;
  }
}

TEST(ParseJoinUriTest, EmptyPortAndNicknameTakeDefaults) {
  const auto request = ParseJoinUri("zelv://join?port=&nickname=");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->port, "55435");
  EXPECT_EQ(request->nickname, "Player");
}

TEST(ParseJoinUriTest, SessionIsReadOnlyInRelayMode) {
  const auto direct = ParseJoinUri("zelv://join?game=g&session=S");
  const auto relay = ParseJoinUri("zelv://join?game=g&relay=R&session=S");
  ASSERT_TRUE(direct && relay);
  EXPECT_EQ(direct->session, "");
  EXPECT_EQ(relay->relay, "R");
  EXPECT_EQ(relay->session, "S");
}

struct ParamCase {
  const char* query;
  const char* key;
  std::string value;
};

void PrintTo(const ParamCase& c, std::ostream* out) { *out << c.key << " in " << c.query; }

class GetQueryParamTest : public testing::TestWithParam<ParamCase> {};

TEST_P(GetQueryParamTest, WalksPairsFromTheStartOfEachSegment) {
  EXPECT_EQ(GetQueryParam(GetParam().query, GetParam().key), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, GetQueryParamTest,
    testing::Values(ParamCase{"host=a&host=b", "host", "a"},       // first pair wins
                    ParamCase{"Host=a", "host", ""},               // keys are case-sensitive
                    ParamCase{"h%6Fst=a", "host", ""},             // keys are not decoded
                    ParamCase{"flag&host=h", "host", ""},          // "flag&host" is one key
                    ParamCase{"host=h&&port=1", "host", "h"},
                    ParamCase{"host=h&&port=1", "port", ""},       // "&port" spoiled
                    ParamCase{"&host=h", "host", ""},
                    ParamCase{"password=a=b", "password", "a=b"},  // '=' inside the value
                    ParamCase{"a=1&b=2&c=3", "c", "3"},
                    ParamCase{"a=1&b=", "b", ""},
                    ParamCase{"a=1&b", "b", ""},                   // no '=' after last '&'
                    ParamCase{"nick=x&nickname=y", "nickname", "y"},
                    ParamCase{"ho=1&host=2", "host", "2"},
                    ParamCase{"=v&host=h", "", "v"},
                    ParamCase{"", "host", ""}));

}  // namespace
