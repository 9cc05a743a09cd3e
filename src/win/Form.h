// A top-level window whose face the program draws itself. Its messages pass
// through WindowProc, which another object may replace (and give back) to
// watch them, e.g. a drop shadow following the form.
#pragma once
#include <windows.h>

#include <string>

#include "Control.h"

namespace win {

enum class FormPosition { Designed, ScreenCenter, MainFormCenter };
enum class WindowState { Normal, Minimized, Maximized };

inline constexpr int kModalResultOk = 1;
inline constexpr int kModalResultCancel = 2;

class Form : public WinControl {
 public:
  Form();
  ~Form() override;

  // Makes the window (hidden) and its children, then runs FormCreate; an
  // exception from it is shown in the standard error box and skips the rest.
  void Create();
  // Runs FormDestroy, then destroys the window.
  void Destroy();

  WndMethod WindowProc;  // replaceable; starts as this form's own handling
  WndMethod DefaultWindowProc() { return WndMethod::Of<Form, &Form::CallWndProc>(this); }

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  void SetClientSize(int width, int height);
  void SetPosition(FormPosition p) { position_ = p; }

  void Show();
  void Close();
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  bool InModal() const { return inModal_; }

  WindowState State() const;
  // The window takes the region over.
  void SetWindowRegion(UniqueRegion region);
  // The skin's rounded outline: (left + 1, top + 1) to (right, bottom) of the
  // skin's bounds, corners cut by 9 x 9 ellipses.
  void SetRoundRegion(const RECT& skinBounds);

  // Used by the shadow.
  bool TransparentColor = false;
  COLORREF TransparentColorValue = 0;
  bool AlphaBlend = false;
  BYTE AlphaBlendValue = 255;
  bool BorderNone() const { return true; }
  POINT ClientOrigin() const;
  // Paints the form and its children into dc at (x, y).
  void PaintTo(HDC dc, int x, int y);

  // Keyboard navigation and the default button as in dialogs.
  bool DialogKeys() const { return dialogKeys_; }
  void SetDefaultButton(WinControl* button) { defaultButton_ = button; }

  // Tooltips of this form's controls (hint shown when ShowHint is on).
  void UpdateTool(Control* c);

 protected:
  virtual void FormCreate() {}
  virtual void FormClose() {}
  virtual void FormDestroy() {}
  // Frees what must go before the window (e.g. the shadow), at destruction.
  virtual void DestroyOwned() {}

  void CreateParams(CreateParamsData& params) override;
  void Dispatch(Message& m) override { WindowProc(m); }
  void WndProc(Message& m) override;
  void VisibilityChanged() override;
  void BoundsChanged(const RECT& oldBounds) override;

  bool dialogKeys_ = true;

 private:
  void CallWndProc(Message& m) { WndProc(m); }
  void PlaceForShow();
  void RegisterTools(WinControl* container);
  HWND EnsureTooltip();

  std::wstring caption_;
  FormPosition position_ = FormPosition::Designed;
  bool placed_ = false;
  int modalResult_ = 0;
  bool inModal_ = false;
  bool destroyed_ = false;
  WinControl* defaultButton_ = nullptr;
  UniqueWindow tooltip_;
};

}  // namespace win
