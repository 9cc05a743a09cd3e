// libFuzzer target: the ad list as the untrusted server delivers it.
// Input layout: byte 0 (mod 32) is the length n of the cached version, the next
// n bytes are that version, the rest is the delivered list.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AdList.h"
#include "Safety.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

// Plain reference for ParseListInt.
std::optional<int32_t> ReferenceInt(std::string_view s) {
  std::size_t i = s.find_first_not_of(" \t");
  if (i == std::string_view::npos) return std::nullopt;
  bool neg = false;
  if (s[i] == '+' || s[i] == '-') neg = s[i++] == '-';
  if (i == s.size()) return std::nullopt;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (neg) v = -v;
  if (v > 2147483647LL) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::wstring Widen(std::string_view s) {
  std::wstring w;
  for (char c : s) w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  std::string_view oldVersion;
  std::string_view listBytes;
  if (!all.empty()) {
    const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(all[0]) % 32, all.size() - 1);
    oldVersion = all.substr(1, n);
    listBytes = all.substr(1 + n);
  }

  const std::vector<std::string> lines = core::SplitLines(listBytes);
  for (const std::string& l : lines) {
    Require(l.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    Require(core::ParseListInt(l) == ReferenceInt(l));
  }

  const std::vector<core::TADRec> entries = core::ParseAdEntries(lines);
  Require(entries.size() <= lines.size());
  for (const core::TADRec& e : entries) {
    (void)core::IsBareFileName(Widen(e.ImageFile));
    (void)core::HasPictureReader(Widen(e.ImageFile));
    (void)core::IsWebAddress(Widen(e.ImageURL));
    (void)core::IsWebAddress(Widen(e.Link));
    (void)core::UpperExtension(Widen(e.Link));
    (void)core::IsBlankText(Widen(e.Link));
  }

  const core::CachedHeader header = core::ReadCachedHeader(lines.empty() ? std::string_view{} : lines[0]);
  if (!lines.empty()) Require(lines[0].compare(0, header.version.size(), header.version) == 0);

  const core::ListVerdict verdict = core::CheckDeliveredList(lines, oldVersion);
  const std::string cached = core::BuildCachedList(lines, "2026-05-01 12:34:56");
  if (verdict == core::ListVerdict::Accepted) {
    // The cache holds the list without its end marker, line 0 extended.
    const std::vector<std::string> back = core::SplitLines(cached);
    Require(back.size() + 1 == lines.size());
    for (std::size_t i = 1; i < back.size(); ++i) Require(back[i] == lines[i]);
    Require(back[0].compare(0, lines[0].size(), lines[0]) == 0);
    const core::CachedHeader h = core::ReadCachedHeader(back[0]);
    Require(h.version != oldVersion);
    Require(h.version == lines[0].substr(0, lines[0].find('|')));
    Require(cached.size() >= 2 && cached.compare(cached.size() - 2, 2, "\r\n") == 0);
  }
  return 0;
}
