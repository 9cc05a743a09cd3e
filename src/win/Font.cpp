#include "Font.h"

#include <cwchar>

namespace win {

UniqueFont MakeFont(const FontDesc& desc) {
  LOGFONTW lf{};
  lf.lfHeight = desc.height;
  lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
  lf.lfUnderline = desc.underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::wcsncpy(lf.lfFaceName, desc.name.c_str(), LF_FACESIZE - 1);
  return UniqueFont(::CreateFontIndirectW(&lf));
}

FontDesc FontOf(const core::FontSpec& font, COLORREF color, bool bold) {
  FontDesc f;
  f.name = std::wstring(font.name);
  f.height = font.pixels ? -font.pixels : FontDesc::HeightFromPoints(font.points);
  f.bold = bold;
  f.color = color;
  return f;
}

}  // namespace win
