// The ad list: lines, entries, the delivered-list check, the cached header
// and the staleness rule.
#include "AdList.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace core {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

// ---- SplitLines -----------------------------------------------------------

struct SplitCase {
  std::string bytes;
  Lines expected;
};

class SplitTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, SplitsAtEveryKindOfBreak) {
  EXPECT_EQ(SplitLines(GetParam().bytes), GetParam().expected)
      << ::testing::PrintToString(GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTable,
    ::testing::Values(
        SplitCase{"", {}},                                   // empty input
        SplitCase{"a", {"a"}},                               // no final break
        SplitCase{"a\r\n", {"a"}},                           // final break is optional
        SplitCase{"a\r\nb\r\nc", {"a", "b", "c"}},           // CR LF
        SplitCase{"a\rb\rc\r", {"a", "b", "c"}},             // lone CR
        SplitCase{"a\nb\nc\n", {"a", "b", "c"}},             // lone LF
        SplitCase{"a\rb\nc\r\nd", {"a", "b", "c", "d"}},     // mixed
        SplitCase{"\r\n", {""}},
        SplitCase{"\r\n\r\n", {"", ""}},
        SplitCase{"a\r\n\r\n", {"a", ""}},
        SplitCase{"a\n\rb", {"a", "", "b"}},                 // LF CR is two breaks
        SplitCase{"a\r\r\nb", {"a", "", "b"}},               // CR, then CR LF
        SplitCase{"a\n\nb", {"a", "", "b"}},
        SplitCase{"\n", {""}},
        SplitCase{"\r", {""}},
        SplitCase{"a\0b"s, {"a"}},                           // NUL ends the text
        SplitCase{"\0abc"s, {}},
        SplitCase{"a\r\n\0\r\nb"s, {"a"}},
        SplitCase{"a\r\0\nb"s, {"a"}},
        SplitCase{" a \t\r\n", {" a \t"}},                   // no trimming
        SplitCase{"\xC0\xBC\xCA\xE0\r\n", {"\xC0\xBC\xCA\xE0"}}));  // bytes kept as they are

// ---- ParseListInt -----------------------------------------------------------

struct IntCase {
  std::string text;
  std::optional<int32_t> expected;
};

class IntTable : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntTable, ReadsTheListsIntegers) {
  EXPECT_EQ(ParseListInt(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntTable,
    ::testing::Values(IntCase{"2", 2}, IntCase{" 2", 2}, IntCase{"\t 2", 2}, IntCase{"   -7", -7},
                      IntCase{"2 ", std::nullopt}, IntCase{"2\t", std::nullopt},
                      IntCase{"", std::nullopt}, IntCase{" ", std::nullopt},
                      IntCase{"+", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{" -", std::nullopt}, IntCase{"+5", 5}, IntCase{"-5", -5},
                      IntCase{"0", 0}, IntCase{"-0", 0}, IntCase{"007", 7},
                      IntCase{"00000000000000000000012", 12},
                      IntCase{"2147483647", INT32_MAX}, IntCase{"2147483648", std::nullopt},
                      IntCase{"-2147483648", INT32_MIN}, IntCase{"-2147483649", std::nullopt},
                      IntCase{"99999999999999999999", std::nullopt},
                      IntCase{"1e3", std::nullopt}, IntCase{"0x10", std::nullopt},
                      IntCase{"$10", std::nullopt}, IntCase{"- 5", std::nullopt},
                      IntCase{"--5", std::nullopt}, IntCase{"+-5", std::nullopt},
                      IntCase{"1,000", std::nullopt}, IntCase{"\r2", std::nullopt},
                      IntCase{"\xA3\xB2", std::nullopt}));  // full-width digit 2 in GBK

// ---- ParseAdEntries ---------------------------------------------------------

TADRec Rec(int32_t kind, std::string text = {}, std::string file = {}, std::string url = {},
           std::string hint = {}, std::string link = {}) {
  TADRec r;
  r.Kind = kind;
  r.Text = std::move(text);
  r.ImageFile = std::move(file);
  r.ImageURL = std::move(url);
  r.Hint = std::move(hint);
  r.Link = std::move(link);
  return r;
}

void ExpectEntries(const std::vector<TADRec>& got, const std::vector<TADRec>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(got[i].Kind, want[i].Kind);
    EXPECT_EQ(got[i].Text, want[i].Text);
    EXPECT_EQ(got[i].ImageFile, want[i].ImageFile);
    EXPECT_EQ(got[i].ImageURL, want[i].ImageURL);
    EXPECT_EQ(got[i].Hint, want[i].Hint);
    EXPECT_EQ(got[i].Link, want[i].Link);
  }
}

const Lines kWorkedExample = {
    "12|3|",
    "*", "1", "a caption", "a tooltip", "http://example.com/open",
    "*", "2", "pic1.jpg|http://example.com/pic1.jpg", "a tooltip", "http://example.com/click",
    "*", "3", "a caption", "a tooltip", "",
    "$"};

TEST(ParseAdEntries, WorkedExample) {
  ASSERT_EQ(kWorkedExample.size(), 17u);
  ExpectEntries(ParseAdEntries(kWorkedExample),
                {Rec(1, "a caption", "", "", "a tooltip", "http://example.com/open"),
                 Rec(2, "", "pic1.jpg", "http://example.com/pic1.jpg", "a tooltip",
                     "http://example.com/click"),
                 Rec(3, "a caption", "", "", "a tooltip", "")});
}

TEST(ParseAdEntries, WorkedExampleAsStoredLoadsTheSame) {
  Lines stored(kWorkedExample.begin(), kWorkedExample.end() - 1);
  stored[0] = "12|3|2026-05-01 10:00:00";
  const std::string bytes = BuildCachedList(kWorkedExample, "2026-05-01 10:00:00");
  EXPECT_EQ(SplitLines(bytes), stored);
  ExpectEntries(ParseAdEntries(SplitLines(bytes)), ParseAdEntries(kWorkedExample));
}

TEST(ParseAdEntries, HeaderOnlyAndEmptyFileGiveNothing) {
  EXPECT_TRUE(ParseAdEntries(SplitLines("12|3|01.05.2026 10:00:00\r\n")).empty());
  EXPECT_TRUE(ParseAdEntries(SplitLines("")).empty());
  EXPECT_TRUE(ParseAdEntries({}).empty());
}

TEST(ParseAdEntries, LineZeroIsNeverLookedAt) {
  EXPECT_TRUE(ParseAdEntries({"*", "1", "text"}).empty());
}

TEST(ParseAdEntries, KindWithTrailingBlankIsZeroLeadingBlanksAreFine) {
  ExpectEntries(ParseAdEntries({"v|3|", "*", "2 ", "pic.jpg|http://x/p.jpg", "hint", "link"}),
                {Rec(0, "", "", "", "hint", "link")});
  ExpectEntries(ParseAdEntries({"v|3|", "*", "  2", "pic.jpg|http://x/p.jpg", "hint", "link"}),
                {Rec(2, "", "pic.jpg", "http://x/p.jpg", "hint", "link")});
  ExpectEntries(ParseAdEntries({"v|3|", "*", "\t3", "plain"}), {Rec(3, "plain")});
}

TEST(ParseAdEntries, StarWithBlankIsAFieldLine) {
  ExpectEntries(ParseAdEntries({"v|3|", "*", "1", " *", "* ", "link", "*\t"}),
                {Rec(1, " *", "", "", "* ", "link")});
  // Before any entry such a line is ignored like any other.
  EXPECT_TRUE(ParseAdEntries({"v|3|", " *", "1", "text"}).empty());
}

TEST(ParseAdEntries, KindLineOnlyAndTwoStarsInARow) {
  ExpectEntries(ParseAdEntries({"v|3|", "*", "1"}), {Rec(1)});
  ExpectEntries(ParseAdEntries({"v|3|", "*", "*", "3", "t"}), {Rec(0), Rec(3, "t")});
  ExpectEntries(ParseAdEntries({"v|3|", "*"}), {Rec(0)});
  ExpectEntries(ParseAdEntries({"v|3|", "*", ""}), {Rec(0)});  // empty kind line: kind 0
}

TEST(ParseAdEntries, ImageLineSplitsAtTheFirstBar) {
  ExpectEntries(ParseAdEntries({"v|3|", "*", "2", "a.gif|http://x/a.gif?b=1|c", "h", "l"}),
                {Rec(2, "", "a.gif", "http://x/a.gif?b=1|c", "h", "l")});
  ExpectEntries(ParseAdEntries({"v|3|", "*", "2", "|", "h"}), {Rec(2, "", "", "", "h")});
  // Without a bar ImageFile and ImageURL stay empty.
  ExpectEntries(ParseAdEntries({"v|3|", "*", "2", "a.gif http://x/a.gif", "h", "l"}),
                {Rec(2, "", "", "", "h", "l")});
}

TEST(ParseAdEntries, TextLineIsStoredWholeBarsIncluded) {
  ExpectEntries(ParseAdEntries({"v|3|", "*", "1", "a|b|c", "h", "http://x/"}),
                {Rec(1, "a|b|c", "", "", "h", "http://x/")});
  ExpectEntries(ParseAdEntries({"v|3|", "*", "3", "a|b", "h"}), {Rec(3, "a|b", "", "", "h")});
}

TEST(ParseAdEntries, OtherKindsKeepHintAndLinkOnly) {
  ExpectEntries(ParseAdEntries({"v|3|", "*", "7", "text|x", "h", "l"}), {Rec(7, "", "", "", "h", "l")});
  ExpectEntries(ParseAdEntries({"v|3|", "*", "-1", "text", "h", "l"}), {Rec(-1, "", "", "", "h", "l")});
  ExpectEntries(ParseAdEntries({"v|3|", "*", "x", "text", "h", "l"}), {Rec(0, "", "", "", "h", "l")});
}

TEST(ParseAdEntries, FieldsAfterTheFourthAreIgnored) {
  Lines lines = {"v|3|", "*", "1", "t", "h", "l", "5th", "6th", "1", "2"};
  ExpectEntries(ParseAdEntries(lines), {Rec(1, "t", "", "", "h", "l")});
  // A long block does not disturb the next entry.
  for (int i = 0; i < 1000; ++i) lines.push_back("more");
  lines.insert(lines.end(), {"*", "3", "next"});
  ExpectEntries(ParseAdEntries(lines), {Rec(1, "t", "", "", "h", "l"), Rec(3, "next")});
}

TEST(ParseAdEntries, LinesBeforeTheFirstStarBelongToNoEntry) {
  ExpectEntries(ParseAdEntries({"v|3|", "1", "stray", "", "*", "3", "t", "h"}), {Rec(3, "t", "", "", "h")});
}

TEST(ParseAdEntries, LoadingTwiceGivesTheSameList) {
  const auto a = ParseAdEntries(kWorkedExample);
  const auto b = ParseAdEntries(kWorkedExample);
  ExpectEntries(a, b);
}

// ---- ReadCachedHeader --------------------------------------------------------

struct HeaderCase {
  std::string line0;
  std::string version;
  int32_t interval;
  std::optional<std::string> stamp;
};

class HeaderTable : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTable, ReadsTheFields) {
  const HeaderCase& c = GetParam();
  const CachedHeader h = ReadCachedHeader(c.line0);
  EXPECT_EQ(h.version, c.version) << c.line0;
  EXPECT_EQ(h.interval, c.interval) << c.line0;
  EXPECT_EQ(h.stampText, c.stamp) << c.line0;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderTable,
    ::testing::Values(HeaderCase{"12|3|01.05.2026 10:00:00", "12", 3, "01.05.2026 10:00:00"},
                      HeaderCase{"12|7|", "12", 7, ""},
                      HeaderCase{"12|3|a|b", "12", 3, "a|b"},
                      // Header without interval: the stamp stands in the interval's place.
                      HeaderCase{"v|01.05.2026 10:00:00", "v", 3, std::nullopt},
                      HeaderCase{"v|", "v", 3, std::nullopt},
                      HeaderCase{"v", "", 3, std::nullopt},
                      HeaderCase{"", "", 3, std::nullopt},
                      HeaderCase{"|5|s", "", 5, "s"},
                      HeaderCase{"v||s", "v", 3, "s"},
                      HeaderCase{"v|x|s", "v", 3, "s"},
                      HeaderCase{"v|5 |s", "v", 3, "s"},
                      HeaderCase{"v| 5|s", "v", 5, "s"},
                      HeaderCase{"v|0|s", "v", 0, "s"},
                      HeaderCase{"v|-2|s", "v", -2, "s"},
                      HeaderCase{"v|2147483648|s", "v", 3, "s"},
                      HeaderCase{"V 1.0 |3|s", "V 1.0 ", 3, "s"}));

// ---- CheckDeliveredList ------------------------------------------------------

TEST(CheckDeliveredList, Verdicts) {
  EXPECT_EQ(CheckDeliveredList({}, "v"), ListVerdict::Empty);
  EXPECT_EQ(CheckDeliveredList(SplitLines(""), ""), ListVerdict::Empty);
  EXPECT_EQ(CheckDeliveredList(kWorkedExample, ""), ListVerdict::Accepted);
  EXPECT_EQ(CheckDeliveredList(kWorkedExample, "11"), ListVerdict::Accepted);
  EXPECT_EQ(CheckDeliveredList(kWorkedExample, "12"), ListVerdict::SameVersion);
  EXPECT_EQ(CheckDeliveredList({"v|3|", "$ "}, ""), ListVerdict::NoEndMarker);
  EXPECT_EQ(CheckDeliveredList({"v|3|", " $"}, ""), ListVerdict::NoEndMarker);
  EXPECT_EQ(CheckDeliveredList({"v|3|", "*", "1"}, ""), ListVerdict::NoEndMarker);
  EXPECT_EQ(CheckDeliveredList({"v3", "$"}, ""), ListVerdict::NoVersionBar);
  EXPECT_EQ(CheckDeliveredList({"$"}, ""), ListVerdict::NoVersionBar);  // "$" only
  EXPECT_EQ(CheckDeliveredList({"v|"}, ""), ListVerdict::NoEndMarker);
}

TEST(CheckDeliveredList, TrailingEmptyLineAfterTheEndMarkerIsRejected) {
  const Lines lines = SplitLines("v|3|\r\n*\r\n1\r\nt\r\n$\r\n\r\n");
  ASSERT_EQ(lines.back(), "");
  EXPECT_EQ(CheckDeliveredList(lines, "old"), ListVerdict::NoEndMarker);
  // One final break after "$" is fine.
  EXPECT_EQ(CheckDeliveredList(SplitLines("v|3|\r\n$\r\n"), "old"), ListVerdict::Accepted);
  EXPECT_EQ(CheckDeliveredList(SplitLines("v|3|\n$"), "old"), ListVerdict::Accepted);
}

TEST(CheckDeliveredList, VersionComparisonIsExactAndCaseSensitive) {
  EXPECT_EQ(CheckDeliveredList({"Ver|3|", "$"}, "Ver"), ListVerdict::SameVersion);
  EXPECT_EQ(CheckDeliveredList({"Ver|3|", "$"}, "ver"), ListVerdict::Accepted);
  EXPECT_EQ(CheckDeliveredList({"Ver|3|", "$"}, "Ver "), ListVerdict::Accepted);
}

TEST(CheckDeliveredList, EmptyVersionOnEitherSide) {
  // Server version empty: never stored while the cache is missing or has an empty version.
  EXPECT_EQ(CheckDeliveredList({"|3|", "$"}, ""), ListVerdict::SameVersion);
  EXPECT_EQ(CheckDeliveredList({"|3|", "$"}, "12"), ListVerdict::Accepted);
  // Cache version empty (or no cache): any non-empty server version is stored.
  EXPECT_EQ(CheckDeliveredList({"12|3|", "$"}, ""), ListVerdict::Accepted);
}

// ---- BuildCachedList ---------------------------------------------------------

TEST(BuildCachedList, HeaderEndingInBarGetsTheStampOnly) {
  EXPECT_EQ(BuildCachedList({"12|3|", "*", "1", "t", "$"}, "S"), "12|3|S\r\n*\r\n1\r\nt\r\n");
}

TEST(BuildCachedList, HeaderWithoutFinalBarGetsOne) {
  EXPECT_EQ(BuildCachedList({"12|3", "$"}, "S"), "12|3|S\r\n");
  EXPECT_EQ(BuildCachedList({"12|3|x", "$"}, "S"), "12|3|x|S\r\n");
}

TEST(BuildCachedList, HeaderWithoutIntervalHoldsTheStampInItsPlace) {
  const std::string cached = BuildCachedList({"v|", "*", "3", "t", "$"}, "01.05.2026 10:00:00");
  EXPECT_EQ(cached, "v|01.05.2026 10:00:00\r\n*\r\n3\r\nt\r\n");
  const CachedHeader h = ReadCachedHeader(SplitLines(cached)[0]);
  EXPECT_EQ(h.version, "v");
  EXPECT_EQ(h.interval, kDefaultInterval);
  EXPECT_FALSE(h.stampText.has_value());
  // So no stamp is found and the list is fetched at every start.
  EXPECT_TRUE(ShouldFetchList(h.version, h.interval, std::nullopt, 0));
}

TEST(BuildCachedList, EndMarkerOnlyGivesNoBytes) {
  EXPECT_EQ(BuildCachedList({"$"}, "S"), "");
  EXPECT_EQ(BuildCachedList({}, "S"), "");
}

TEST(BuildCachedList, EveryLineEndsInCrLfAndEmptyLinesSurvive) {
  const Lines delivered = SplitLines("v|2|\n*\n3\ntext\n\n\nmore\n$\n");
  EXPECT_EQ(BuildCachedList(delivered, "S"), "v|2|S\r\n*\r\n3\r\ntext\r\n\r\n\r\nmore\r\n");
  // The empty last field line (the worked example's line 15) is kept.
  const std::string bytes = BuildCachedList(kWorkedExample, "S");
  EXPECT_EQ(bytes.substr(bytes.size() - 13), "a tooltip\r\n\r\n");
  EXPECT_EQ(SplitLines(bytes).size(), 16u);
}

TEST(BuildCachedList, CachedHeaderReadsBackVersionIntervalAndStamp) {
  const std::string cached = BuildCachedList(kWorkedExample, "01.05.2026 10:00:00");
  const CachedHeader h = ReadCachedHeader(SplitLines(cached)[0]);
  EXPECT_EQ(h.version, "12");
  EXPECT_EQ(h.interval, 3);
  EXPECT_EQ(h.stampText, std::optional<std::string>("01.05.2026 10:00:00"));
}

// ---- Staleness ---------------------------------------------------------------

constexpr int64_t kMinute = 60;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = 24 * kHour;
constexpr int64_t kNow = 1777600000;  // some moment in 2026

TEST(WholeDaysBetween, CutsTheFractionAndIgnoresTheOrder) {
  EXPECT_EQ(WholeDaysBetween(0, 0), 0);
  EXPECT_EQ(WholeDaysBetween(0, kDay - 1), 0);
  EXPECT_EQ(WholeDaysBetween(0, kDay), 1);
  EXPECT_EQ(WholeDaysBetween(kDay, 0), 1);
  EXPECT_EQ(WholeDaysBetween(kNow, kNow - 2 * kDay - 23 * kHour), 2);
  EXPECT_EQ(WholeDaysBetween(kNow, kNow - 3 * kDay - kMinute), 3);
  EXPECT_EQ(WholeDaysBetween(-kDay, kDay), 2);
  EXPECT_EQ(WholeDaysBetween(INT64_MIN, INT64_MAX), static_cast<int64_t>(UINT64_MAX / 86400u));
  EXPECT_EQ(WholeDaysBetween(INT64_MAX, INT64_MIN), static_cast<int64_t>(UINT64_MAX / 86400u));
}

TEST(ShouldFetchList, IntervalThree) {
  EXPECT_TRUE(ShouldFetchList("12", 3, kNow - (3 * kDay + kMinute), kNow));
  EXPECT_FALSE(ShouldFetchList("12", 3, kNow - (2 * kDay + 23 * kHour), kNow));
  EXPECT_TRUE(ShouldFetchList("12", 3, kNow - 3 * kDay, kNow));   // exactly 3 whole days
  EXPECT_FALSE(ShouldFetchList("12", 3, kNow, kNow));
}

TEST(ShouldFetchList, FutureStampCountsByItsDistance) {
  EXPECT_TRUE(ShouldFetchList("12", 3, kNow + 3 * kDay + kMinute, kNow));
  EXPECT_FALSE(ShouldFetchList("12", 3, kNow + 2 * kDay + 23 * kHour, kNow));
}

TEST(ShouldFetchList, IntervalZeroOrNegativeAlwaysFetches) {
  EXPECT_TRUE(ShouldFetchList("12", 0, kNow, kNow));
  EXPECT_TRUE(ShouldFetchList("12", -1, kNow, kNow));
  EXPECT_TRUE(ShouldFetchList("12", INT32_MIN, kNow, kNow));
}

TEST(ShouldFetchList, MissingVersionOrStampFetches) {
  EXPECT_TRUE(ShouldFetchList("", 3, kNow, kNow));                  // empty version
  EXPECT_TRUE(ShouldFetchList("12", 3, std::nullopt, kNow));        // no readable stamp
  EXPECT_TRUE(ShouldFetchList("", 3, std::nullopt, kNow));          // no cache at all
  EXPECT_FALSE(ShouldFetchList("12", INT32_MAX, kNow - 1000 * kDay, kNow));
}

TEST(ShouldFetchList, HeaderWithoutIntervalUsesThree) {
  const CachedHeader h = ReadCachedHeader("12|");
  EXPECT_EQ(h.interval, 3);
  EXPECT_TRUE(ShouldFetchList(h.version, h.interval, std::nullopt, kNow));
  // Had a stamp been readable, three days would be the rule.
  EXPECT_FALSE(ShouldFetchList(h.version, h.interval, kNow - 2 * kDay, kNow));
  EXPECT_TRUE(ShouldFetchList(h.version, h.interval, kNow - 3 * kDay, kNow));
}

TEST(AdListConstants, PathAndDefaultInterval) {
  EXPECT_EQ(kListPath, "/AD/AD005.txt");
  EXPECT_EQ(kDefaultInterval, 3);
}

}  // namespace
}  // namespace core
