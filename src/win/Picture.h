// A picture held as a device-independent bitmap, from the program's resources
// or read from a file (bmp, ico, emf, wmf, jpg/jpeg, gif, chosen by extension).
#pragma once
#include <windows.h>

#include <string>

#include "Handles.h"

namespace win {

class Picture {
 public:
  Picture() = default;
  Picture(Picture&&) = default;
  Picture& operator=(Picture&&) = default;

  static Picture FromResource(int id);
  // Throws std::runtime_error when the file cannot be read or has no reader.
  static Picture LoadFromFile(const std::wstring& path);

  bool Empty() const { return !bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  HBITMAP Bitmap() const { return bitmap_.Get(); }

  // Draws at (x, y) unscaled; pixels equal to `transparent` are skipped when set.
  void Draw(HDC dc, int x, int y) const;
  void DrawTransparent(HDC dc, int x, int y, COLORREF transparent) const;

 private:
  UniqueBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace win
