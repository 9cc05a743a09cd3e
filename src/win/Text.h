// Conversions between the program's wide texts and ANSI / UTF-8 bytes.
#pragma once
#include <string>
#include <string_view>

namespace win {

std::wstring FromAnsi(std::string_view ansi);  // system code page
std::string ToAnsi(std::wstring_view text);    // system code page
std::wstring FromUtf8(std::string_view utf8);
std::string ToUtf8(std::wstring_view text);

}  // namespace win
