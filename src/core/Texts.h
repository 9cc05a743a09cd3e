// The built-in texts of both windows, in Chinese and English.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace core {

struct FontSpec {
  std::wstring_view name;
  int points = 0;  // size in points at 96 dpi; 0 when pixels is used
  int pixels = 0;  // character height in pixels; 0 when points is used
};

struct MainTexts {
  FontSpec windowFont;
  FontSpec noticeFont;
  FontSpec titleFont;             // bold, white
  std::wstring_view caption;      // window caption and application title
  std::wstring_view title;        // Label1
  std::wstring_view notice;       // RzPanel1
  std::wstring_view minimiseHint;
  std::wstring_view closeHint;
  std::wstring_view homepageUrl;
  std::wstring homepageCaption;   // "Homepage: " + address
  std::wstring_view footer;       // Label3
  std::wstring_view missingText;  // emulator missing box
  std::wstring_view missingCaption;
};
const MainTexts& MainWindowTexts(bool english);

struct OptionTexts {
  FontSpec windowFont;
  FontSpec titleFont;   // bold, white
  std::wstring_view title;      // Label1 and window caption
  std::wstring_view closeHint;
  std::wstring_view okCaption;  // with '&' accelerator
  std::wstring_view tabCaption;
};
const OptionTexts& OptionWindowTexts(bool english);

// The 19 rows of the key-binding list: an empty first row, then
// "\t<action>\t<key>" for each of the 18 bindings.
std::vector<std::wstring> KeyBindingRows(bool english);

inline constexpr std::wstring_view kApplicationTitle = L"岚枢 (QUARVEN)";

}  // namespace core
