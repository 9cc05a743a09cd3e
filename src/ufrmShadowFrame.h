// A soft drop shadow behind a borderless form: a layered, click-through popup
// that follows the form by watching its messages. UI thread only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "Control.h"
#include "Form.h"
#include "Handles.h"
#include "ShadowPixels.h"

// A 32-bit top-down DIB section selected into a memory DC of its own: the
// shadow's pixels (rows reached directly) and the source DC of the layer.
class ShadowBitmap {
 public:
  ShadowBitmap();
  ~ShadowBitmap();
  ShadowBitmap(const ShadowBitmap&) = delete;
  ShadowBitmap& operator=(const ShadowBitmap&) = delete;

  // A new, black image of that size; 0 x 0 (or a failed allocation) leaves it empty.
  void SetSize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return bits_ == nullptr; }
  HDC DC() const { return dc_.Get(); }
  core::PixelView Pixels() const { return {bits_, width_, height_}; }

 private:
  void Deselect();

  win::UniqueDC dc_;
  win::UniqueBitmap bitmap_;
  HGDIOBJ stockBitmap_ = nullptr;  // the DC's own 1 x 1 bitmap, put back before ours is freed
  uint8_t* bits_ = nullptr;        // owned by bitmap_
  int width_ = 0;
  int height_ = 0;
};

class TFormShadow : public win::WinControl {
 public:
  TFormShadow();  // no window yet; it is made on first need, owned by the application's window
  ~TFormShadow() override;

  // Hooks the form's WindowProc (nullptr detaches and gives it back). The form
  // must outlive the attachment.
  void AttachForm(win::Form* form);
  void SetShadowVisible(bool value);
  void SetShadowColor(COLORREF value);

  win::Form* AttachedForm() const { return Form; }
  bool IsShadowVisible() const { return ShadowVisible; }
  // The image as last handed to the window system (premultiplied BGRA).
  core::PixelView Image() const { return Bitmap.Pixels(); }
  // Real rebuilds (mask, blur, layer) so far; moves never add to it.
  int RebuildCount() const { return rebuildCount_; }

 protected:
  void CreateParams(CreateParamsData& params) override;
  void WndProc(win::Message& m) override;
  // Receives every message of the attached form.
  virtual void FormWndProc(win::Message& m);

 private:
  void FormPosChanging(win::Message& m);
  void FormPosChanged(win::Message& m);
  void UpdateShadow();
  void RebuildShadow();
  void PaintTransparentMask(bool stamp, const std::vector<core::IntRect>& clip);
  void UpdateLayer(bool takeAlpha);
  HWND ShadowWnd();  // makes the window when it does not exist yet
  std::vector<core::IntRect> RegionRects();

  win::Form* Form = nullptr;  // not owned
  bool ShadowVisible = false;
  COLORREF ShadowColor = 0;
  win::WndMethod SavedWindowProc;
  COLORREF CachedTransparentColor = 0;
  win::UniqueRegion Region;  // scratch copy of the form's window region, reused
  ShadowBitmap Bitmap;
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  bool Dirty = true;

  int rebuildCount_ = 0;
};
