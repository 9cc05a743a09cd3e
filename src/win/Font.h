// Font descriptions as the layout gives them, and the GDI fonts made from them.
#pragma once
#include <windows.h>

#include <string>

#include "Handles.h"
#include "Texts.h"

namespace win {

struct FontDesc {
  std::wstring name = L"Tahoma";
  int height = -11;  // LOGFONT height: negative = character height in pixels
  bool bold = false;
  bool underline = false;
  COLORREF color = RGB(0, 0, 0);
  bool operator==(const FontDesc&) const = default;

  // Size in points at the 96 dpi the layout is designed for.
  static int HeightFromPoints(int points) { return -::MulDiv(points, 96, 72); }
};

UniqueFont MakeFont(const FontDesc& desc);

// A built-in text's font (points or pixels) in the given colour.
FontDesc FontOf(const core::FontSpec& font, COLORREF color, bool bold = false);

}  // namespace win
