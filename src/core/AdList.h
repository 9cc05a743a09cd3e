// The ad list: line splitting, entry parsing, the delivered-list check, the
// cached header and the staleness rule. All text here is raw bytes in the
// system's ANSI code page; nothing is decoded.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

struct TADRec {
  int32_t Kind = 0;  // 1 link text, 2 image, 3 plain text; others never shown
  std::string Text;
  std::string ImageFile;
  std::string ImageURL;
  std::string Hint;
  std::string Link;
};

inline constexpr int32_t kDefaultInterval = 3;
inline constexpr std::size_t kMaxListBytes = 1u << 20;      // larger list answers are refused
inline constexpr std::uint64_t kMaxPictureBytes = 16u << 20;  // larger pictures are refused
inline constexpr std::string_view kListPath = "/AD/AD005.txt";

// Lines separated by CR LF, lone CR or lone LF; a final break is optional and
// a NUL byte ends the text. "" gives no lines; "a\r\n" gives one.
std::vector<std::string> SplitLines(std::string_view bytes);

// Integer as the list reads it: optional leading blanks (space or tab), an
// optional sign, decimal digits, nothing after; must fit in 32 bits.
std::optional<int32_t> ParseListInt(std::string_view text);

// Entries of a list (delivered or cached): line 0 is skipped, "*" starts an
// entry, field lines fill Kind, Text or ImageFile|ImageURL, Hint, Link.
std::vector<TADRec> ParseAdEntries(const std::vector<std::string>& lines);

// The fields of a cached header line (line 0).
struct CachedHeader {
  std::string version;                    // before the first '|', empty without one
  int32_t interval = kDefaultInterval;    // between the first and second '|'
  std::optional<std::string> stampText;   // after the second '|', absent without one
};
CachedHeader ReadCachedHeader(std::string_view line0);

enum class ListVerdict {
  Accepted,
  Empty,          // no line at all
  NoEndMarker,    // last line is not exactly "$"
  NoVersionBar,   // line 0 has no '|'
  SameVersion,    // server version equals the cached one (case counts)
};
ListVerdict CheckDeliveredList(const std::vector<std::string>& lines,
                               std::string_view oldVersion);

// The bytes to store as the cache for an accepted delivered list: the "$" line
// dropped, line 0 given a '|' if it lacks a final one plus the stamp, every
// line ending in CR LF. (Any other input: the last line is dropped all the
// same, and no line left gives "".)
std::string BuildCachedList(std::vector<std::string> lines, std::string_view stampText);

// Absolute difference in whole days of 24 hours, fraction cut off.
int64_t WholeDaysBetween(int64_t secondsA, int64_t secondsB);

// True when the list must be fetched: empty version, no readable stamp, or at
// least `interval` whole days between now and the stamp.
bool ShouldFetchList(std::string_view version, int32_t interval,
                     std::optional<int64_t> stampSeconds, int64_t nowSeconds);

}  // namespace core
