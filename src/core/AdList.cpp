// The ad list: lines and entries, the delivered-list check, the cached header
// and when to fetch the list again.
#include "AdList.h"

#include <limits>

namespace core {

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  // A NUL byte ends the text.
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  // One allocation for the line array: count the breaks first (a CR LF pair
  // counts twice, which only over-reserves).
  std::size_t breaks = 0;
  for (const char c : bytes) breaks += (c == '\r' || c == '\n') ? 1u : 0u;
  lines.reserve(breaks + 1);
  std::size_t pos = 0;
  const std::size_t n = bytes.size();
  while (pos < n) {
    std::size_t end = pos;
    while (end < n && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    lines.emplace_back(bytes.substr(pos, end - pos));
    pos = end;
    if (pos < n && bytes[pos] == '\r') ++pos;
    if (pos < n && bytes[pos] == '\n') ++pos;
  }
  return lines;
}

std::optional<int32_t> ParseListInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;  // no digit
  // Magnitude limit: 2^31 for a negative value, 2^31 - 1 otherwise.
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

std::vector<TADRec> ParseAdEntries(const std::vector<std::string>& lines) {
  std::vector<TADRec> list;
  std::size_t starts = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) starts += lines[i] == "*" ? 1u : 0u;
  list.reserve(starts);
  bool haveEntry = false;
  int field = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line == "*") {
      list.emplace_back();
      haveEntry = true;
      field = 0;
      continue;
    }
    if (!haveEntry) continue;
    TADRec& e = list.back();
    switch (field) {
      case 0:
        e.Kind = ParseListInt(line).value_or(0);
        break;
      case 1:
        if (e.Kind == 1 || e.Kind == 3) {
          e.Text = line;
        } else if (e.Kind == 2) {
          const std::size_t bar = line.find('|');
          if (bar != std::string::npos) {
            e.ImageFile = line.substr(0, bar);
            e.ImageURL = line.substr(bar + 1);
          }
        }
        break;
      case 2:
        e.Hint = line;
        break;
      case 3:
        e.Link = line;
        break;
      default:
        break;
    }
    if (field < 4) ++field;  // 4 or more: nothing, and no overflow on long blocks
  }
  return list;
}

CachedHeader ReadCachedHeader(std::string_view line0) {
  CachedHeader h;
  const std::size_t bar = line0.find('|');
  if (bar == std::string_view::npos) return h;
  h.version = std::string(line0.substr(0, bar));
  const std::string_view rest = line0.substr(bar + 1);
  const std::size_t bar2 = rest.find('|');
  if (bar2 == std::string_view::npos) return h;
  h.interval = ParseListInt(rest.substr(0, bar2)).value_or(kDefaultInterval);
  h.stampText = std::string(rest.substr(bar2 + 1));
  return h;
}

ListVerdict CheckDeliveredList(const std::vector<std::string>& lines,
                               std::string_view oldVersion) {
  if (lines.empty()) return ListVerdict::Empty;
  if (lines.back() != "$") return ListVerdict::NoEndMarker;
  const std::string& header = lines.front();
  const std::size_t bar = header.find('|');
  if (bar == std::string::npos) return ListVerdict::NoVersionBar;
  if (std::string_view(header).substr(0, bar) == oldVersion) return ListVerdict::SameVersion;
  return ListVerdict::Accepted;
}

std::string BuildCachedList(std::vector<std::string> lines, std::string_view stampText) {
  if (!lines.empty()) lines.pop_back();  // the "$" end marker
  if (lines.empty()) return {};
  std::string& header = lines.front();
  if (header.empty() || header.back() != '|') header.push_back('|');
  header.append(stampText);
  std::size_t total = 0;
  for (const std::string& l : lines) total += l.size() + 2;
  std::string out;
  out.reserve(total);
  for (const std::string& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

int64_t WholeDaysBetween(int64_t secondsA, int64_t secondsB) {
  // Unsigned difference: no overflow even for the extreme values.
  const uint64_t diff = secondsA >= secondsB
                            ? static_cast<uint64_t>(secondsA) - static_cast<uint64_t>(secondsB)
                            : static_cast<uint64_t>(secondsB) - static_cast<uint64_t>(secondsA);
  return static_cast<int64_t>(diff / 86400u);
}

bool ShouldFetchList(std::string_view version, int32_t interval,
                     std::optional<int64_t> stampSeconds, int64_t nowSeconds) {
  if (version.empty() || !stampSeconds) return true;
  return WholeDaysBetween(nowSeconds, *stampSeconds) >= interval;
}

}  // namespace core
