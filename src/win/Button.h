// A push button drawn by the program: hot-tracked, with an '&' accelerator
// (Alt + letter through the form's dialog keys) and the default-button look.
// UI thread only.
#pragma once
#include <windows.h>

#include <string>

#include "Control.h"

namespace win {

class Button : public WinControl {
 public:
  explicit Button(WinControl* parent);

  const std::wstring& Caption() const { return caption_; }
  // '&' marks the accelerator and is drawn as an underline; "&&" draws one '&'.
  void SetCaption(std::wstring caption);
  bool Default() const { return default_; }
  // The form's default button: Enter anywhere in the form clicks it.
  void SetDefault(bool value);
  int ModalResult() const { return modalResult_; }
  // Non-zero: a click sets the form's modal result, which ends a modal show.
  void SetModalResult(int value) { modalResult_ = value; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  bool Hot() const { return hot_; }
  bool Down() const { return down_; }

  void Click() override;
  void PaintFace(HDC dc) override;

 protected:
  void CreateParams(CreateParamsData& params) override;
  bool CommandNotify(WORD code) override;
  void WndProc(Message& m) override;

 private:
  bool Focused() const;
  bool LooksDefault() const { return default_ || Focused(); }
  bool Inside(POINT clientPoint) const;
  void SetHot(bool hot);
  void SetDown(bool down);
  void PaintFrameAndFace(HDC dc, bool enabled);
  void PaintCaption(HDC dc, bool enabled);

  std::wstring caption_;
  bool default_ = false;
  int modalResult_ = 0;
  bool hotTrack_ = false;
  bool hot_ = false;
  bool down_ = false;      // drawn pushed in
  bool captured_ = false;  // the left button went down here; the capture is ours
  bool spaceDown_ = false;
  bool tracking_ = false;   // a WM_MOUSELEAVE is requested
};

}  // namespace win
