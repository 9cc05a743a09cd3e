// Controls: the common base, windowless (graphic) controls painted by their
// parent, and windowed controls with a window of their own. All of it runs on
// the UI thread.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Font.h"
#include "Handles.h"

namespace win {

class WinControl;
class Form;

struct Message {
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
};

// A window procedure bound to an object, comparable so that whoever replaces a
// form's procedure can tell whether it got its own back.
struct WndMethod {
  void* object = nullptr;
  void (*call)(void* object, Message& m) = nullptr;

  void operator()(Message& m) const { call(object, m); }
  explicit operator bool() const { return call != nullptr; }
  bool operator==(const WndMethod&) const = default;

  template <class T, void (T::*Method)(Message&)>
  static WndMethod Of(T* obj) {
    return {obj, [](void* o, Message& m) { (static_cast<T*>(o)->*Method)(m); }};
  }
};

enum class MouseButton { Left, Right, Middle };

// System cursors by id (the ANSI build's IDC_* macros are narrow strings).
inline const LPCWSTR kCursorArrow = MAKEINTRESOURCEW(32512);
inline const LPCWSTR kCursorHand = MAKEINTRESOURCEW(32649);
enum class Alignment { Left, Right, Center };

class Control {
 public:
  explicit Control(WinControl* parent);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  WinControl* Parent() const { return parent_; }
  Form* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  const std::wstring& Hint() const { return hint_; }
  void SetHint(std::wstring hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);

  // Own font, or the parent's when ParentFont.
  const FontDesc& Font() const;
  HFONT FontHandle() const;
  void SetFont(const FontDesc& font);
  bool ParentFont() const { return parentFont_; }

  LPCWSTR Cursor() const { return cursor_; }  // a system cursor id, nullptr for the default
  void SetCursor(LPCWSTR cursor) { cursor_ = cursor; }

  virtual void Invalidate() = 0;
  virtual bool IsWindowed() const = 0;

  std::function<void()> OnClick;
  std::function<void(MouseButton, int x, int y)> OnMouseDown;

  // The click as a user makes it; also used by keyboard activation.
  virtual void Click();

 protected:
  virtual void BoundsChanged(const RECT& oldBounds) { (void)oldBounds; }
  virtual void VisibilityChanged() {}
  virtual void FontChanged() {}
  void NotifyFontChanged();  // also tells children that follow this font
  friend class WinControl;

  WinControl* parent_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  std::wstring hint_;
  bool showHint_ = false;
  bool parentFont_ = true;
  FontDesc font_;
  mutable UniqueFont fontHandle_;
  mutable bool fontDirty_ = true;
  LPCWSTR cursor_ = nullptr;
};

// Drawn by its parent into the parent's client area; no window.
class GraphicControl : public Control {
 public:
  using Control::Control;
  bool IsWindowed() const override { return false; }
  void Invalidate() override;
  // dc's origin is the parent's client origin.
  virtual void Paint(HDC dc) = 0;

 protected:
  void BoundsChanged(const RECT& oldBounds) override;
  void VisibilityChanged() override;
  void FontChanged() override { Invalidate(); }
};

class WinControl : public Control {
 public:
  explicit WinControl(WinControl* parent);
  ~WinControl() override;

  HWND Handle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Makes this control's window and those of its windowed children.
  void CreateHandle();
  static WinControl* FromHandle(HWND wnd);

  bool IsWindowed() const override { return true; }
  void Invalidate() override;

  COLORREF Color() const { return color_; }
  void SetColor(COLORREF color);
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order) { tabOrder_ = order; }
  void SetFocus();
  int ControlId();  // child window id, assigned on first use unless set
  void SetControlId(int id) { controlId_ = id; }

  const std::vector<Control*>& Controls() const { return controls_; }
  // Paints this control's face (background and graphic children) into dc,
  // whose origin is this control's client origin.
  virtual void PaintFace(HDC dc);
  void PaintGraphicChildren(HDC dc);
  // For windowed children that let their parent show through.
  void PaintParentFace(HDC dc);

  // The tooltip text for a tool that belongs to this control's window.
  const wchar_t* TooltipText(Control* tool);

 protected:
  friend class Control;
  friend class Form;
  struct CreateParamsData {
    const wchar_t* className = L"QvControl";
    std::wstring caption;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    HWND parentWnd = nullptr;
    UINT classStyle = CS_DBLCLKS;
    bool systemClass = false;  // BUTTON, LISTBOX...: subclassed after creation
  };
  virtual void CreateParams(CreateParamsData& params);
  virtual void AfterCreateHandle() {}
  // Notifications reflected from the parent to the control they concern.
  virtual bool CommandNotify(WORD code) { (void)code; return false; }
  virtual bool DrawItem(const DRAWITEMSTRUCT& dis) { (void)dis; return false; }
  virtual bool MeasureItem(MEASUREITEMSTRUCT& mis) { (void)mis; return false; }
  // The message entry; forms route it through their replaceable WindowProc.
  virtual void Dispatch(Message& m) { WndProc(m); }
  virtual void WndProc(Message& m);
  void DefaultHandler(Message& m);

  void BoundsChanged(const RECT& oldBounds) override;
  void VisibilityChanged() override;
  void FontChanged() override;

  void AddControl(Control* c) { controls_.push_back(c); }
  void RemoveControl(Control* c);
  GraphicControl* GraphicAt(POINT clientPoint) const;
  void HandleMouse(Message& m);
  bool HandleSetCursor(Message& m);

  static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
  WNDPROC systemProc_ = nullptr;  // original procedure of a subclassed system control
  COLORREF color_ = ::GetSysColor(COLOR_BTNFACE);
  int tabOrder_ = 0;
  int controlId_ = 0;
  std::vector<Control*> controls_;
  GraphicControl* pressed_ = nullptr;  // graphic child holding the mouse capture
  std::wstring tooltipBuffer_;
};

// The system colours the layout names.
inline COLORREF SysColor(int index) { return ::GetSysColor(index); }

}  // namespace win
