// The everyday controls: labels, a link label, a picture, a panel and a
// bitmap button.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Control.h"
#include "Picture.h"

namespace win {

class Label : public GraphicControl {
 public:
  explicit Label(WinControl* parent) : GraphicControl(parent) {}

  const std::wstring& Caption() const { return caption_; }
  // '&' marks the next character as the accelerator, "&&" draws one '&'.
  void SetCaption(std::wstring caption);
  void SetAlignment(Alignment a);
  void SetAutoSize(bool autoSize);
  void SetTransparent(bool transparent) { transparent_ = transparent; Invalidate(); }

  void Paint(HDC dc) override;

 protected:
  virtual COLORREF TextColor() const { return Font().color; }
  void FontChanged() override;
  // Auto-size keeps the edge the text is aligned to.
  void AdjustSize();

  std::wstring caption_;
  Alignment alignment_ = Alignment::Left;
  bool autoSize_ = true;
  bool transparent_ = false;
};

// A label that opens its address when clicked and then shows its visited colour.
class LinkLabel : public Label {
 public:
  explicit LinkLabel(WinControl* parent);

  const std::wstring& URL() const { return url_; }
  void SetURL(std::wstring url) { url_ = std::move(url); }
  void SetColors(COLORREF unvisited, COLORREF visited);
  bool Visited() const { return visited_; }

  // Opens a target; true on success. Set by the program (shell open).
  std::function<bool(const std::wstring& target)> Opener;

  void Click() override;

 protected:
  COLORREF TextColor() const override { return visited_ ? visitedColor_ : unvisitedColor_; }

 private:
  std::wstring url_;
  COLORREF unvisitedColor_ = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF visitedColor_ = RGB(128, 0, 128);
  bool visited_ = false;
};

// A picture drawn unscaled from its top-left corner, clipped to the bounds.
class Image : public GraphicControl {
 public:
  explicit Image(WinControl* parent) : GraphicControl(parent) {}

  const Picture& Pic() const { return picture_; }
  void SetPicture(Picture picture);
  void SetAlignClient(bool v) { alignClient_ = v; }
  bool AlignClient() const { return alignClient_; }
  void Paint(HDC dc) override;

  int Tag = 0;

 private:
  Picture picture_;
  bool alignClient_ = false;
};

enum class PanelBorder { None, FlatBold, Status };

class Panel : public WinControl {
 public:
  explicit Panel(WinControl* parent) : WinControl(parent) {}

  void SetBorder(PanelBorder border, COLORREF flatColor = RGB(0, 0, 0));
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  void PaintFace(HDC dc) override;
  RECT InnerRect() const;

 protected:
  void BoundsChanged(const RECT& oldBounds) override;
  void AfterCreateHandle() override { AlignChildren(); }

 private:
  void AlignChildren();

  PanelBorder border_ = PanelBorder::None;
  COLORREF flatColor_ = RGB(0, 0, 0);
  std::wstring caption_;
};

// A button drawn from two images (normal and mouse-over); pixels in the
// transparent colour let the parent show through.
class BitmapButton : public WinControl {
 public:
  explicit BitmapButton(WinControl* parent);

  void SetBitmaps(Picture up, Picture hot);
  void SetTransparentColor(COLORREF c) { transparentColor_ = c; }
  bool Hot() const { return hot_; }
  void PaintFace(HDC dc) override;

 protected:
  void CreateParams(CreateParamsData& params) override;
  void WndProc(Message& m) override;

 private:
  bool PointerInside() const;

  Picture up_;
  Picture hotPicture_;
  COLORREF transparentColor_ = RGB(128, 128, 0);
  bool hot_ = false;
  bool pressed_ = false;
  bool spaceDown_ = false;
  bool tracking_ = false;
};

}  // namespace win
