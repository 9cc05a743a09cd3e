#include "Text.h"

#include <windows.h>

namespace win {
namespace {

std::wstring Decode(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string Encode(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring FromAnsi(std::string_view ansi) { return Decode(CP_ACP, ansi); }
std::string ToAnsi(std::wstring_view text) { return Encode(CP_ACP, text); }
std::wstring FromUtf8(std::string_view utf8) { return Decode(CP_UTF8, utf8); }
std::string ToUtf8(std::wstring_view text) { return Encode(CP_UTF8, text); }

}  // namespace win
