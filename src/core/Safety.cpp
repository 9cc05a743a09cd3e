// Checks on what the untrusted ad list names: file names and links arrive
// over plain HTTP, so none is used as it stands.
#include "Safety.h"

#include <cstdint>

namespace core {

namespace {

// Code unit value, the same on Windows (16-bit wchar_t) and Linux (32-bit).
constexpr uint32_t Code(wchar_t c) { return static_cast<uint32_t>(c); }

constexpr wchar_t AsciiUpper(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

bool StartsWithIgnoreAsciiCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool IsControl(wchar_t c) { return Code(c) < 0x20 || Code(c) == 0x7F; }

bool IsAsciiAlnum(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// The names Windows maps to devices in every folder, with or without an extension.
bool IsReservedDeviceName(std::wstring_view name) {
  // The device test looks at the part before the first dot, trailing blanks cut.
  std::wstring_view base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  static constexpr std::wstring_view kPlain[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$",
                                                 L"CONOUT$", L"CLOCK$"};
  for (const std::wstring_view r : kPlain)
    if (EqualsIgnoreAsciiCase(base, r)) return true;
  if (base.size() == 4 && (StartsWithIgnoreAsciiCase(base, L"COM") || StartsWithIgnoreAsciiCase(base, L"LPT"))) {
    const uint32_t d = Code(base[3]);
    // COM0-COM9, LPT0-LPT9 and the superscript digits 1, 2, 3.
    if ((d >= '0' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3) return true;
  }
  return false;
}

}  // namespace

bool IsWebAddress(std::wstring_view address) {
  std::size_t schemeLength = 0;
  if (StartsWithIgnoreAsciiCase(address, L"http://"))
    schemeLength = 7;
  else if (StartsWithIgnoreAsciiCase(address, L"https://"))
    schemeLength = 8;
  else
    return false;
  if (address.size() <= schemeLength) return false;
  for (const wchar_t c : address)
    if (IsControl(c)) return false;
  // A host begins with a letter or digit, an IPv6 literal's '[', or a non-ASCII
  // character of an international name.
  const wchar_t first = address[schemeLength];
  return IsAsciiAlnum(first) || first == L'[' || Code(first) >= 0x80;
}

bool IsBareFileName(std::wstring_view name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  for (const wchar_t c : name) {
    if (IsControl(c)) return false;
    switch (c) {
      case L'\\': case L'/': case L':': case L'*': case L'?':
      case L'"': case L'<': case L'>': case L'|':
        return false;
      default:
        break;
    }
  }
  if (name.back() == L'.' || name.back() == L' ') return false;
  return !IsReservedDeviceName(name);
}

bool HasPictureReader(std::wstring_view fileName) {
  const std::wstring ext = UpperExtension(fileName);
  static constexpr std::wstring_view kReadable[] = {L".BMP", L".ICO", L".EMF", L".WMF",
                                                    L".JPG", L".JPEG", L".GIF"};
  for (const std::wstring_view r : kReadable)
    if (ext == r) return true;
  return false;
}

std::wstring UpperExtension(std::wstring_view target) {
  const std::size_t pos = target.find_last_of(L".\\:");
  if (pos == std::wstring_view::npos || target[pos] != L'.') return {};
  std::wstring ext(target.substr(pos));
  for (wchar_t& c : ext) c = AsciiUpper(c);
  return ext;
}

bool IsBlankText(std::wstring_view text) {
  for (const wchar_t c : text)
    if (Code(c) > 0x20) return false;
  return true;
}

}  // namespace core
