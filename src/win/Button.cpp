#include "Button.h"

#include "Form.h"
#include "Gdi.h"

namespace win {
namespace {

constexpr int kCorner = 5;  // corner ellipse of the outline
constexpr COLORREF kOutline = RGB(0, 60, 116);
constexpr COLORREF kOutlineDisabled = RGB(201, 199, 186);

struct Shade {
  COLORREF top, bottom;
};
constexpr Shade kFaceNormal{RGB(255, 255, 255), RGB(214, 226, 243)};
constexpr Shade kFaceHot{RGB(255, 255, 255), RGB(234, 240, 251)};
constexpr Shade kFaceDown{RGB(200, 214, 236), RGB(238, 243, 251)};
constexpr Shade kFaceDisabled{RGB(245, 244, 240), RGB(245, 244, 240)};
// Two rings inside the outline: warm while hot, blue on the default button.
constexpr Shade kRingHot{RGB(255, 240, 207), RGB(248, 179, 48)};
constexpr Shade kRingDefault{RGB(206, 231, 255), RGB(105, 130, 238)};

}  // namespace

Button::Button(WinControl* parent) : WinControl(parent) {}

void Button::CreateParams(CreateParamsData& params) {
  WinControl::CreateParams(params);
  params.className = L"QvButton";
  params.caption = caption_;  // the dialog keys look for the accelerator in the window text
  params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
}

void Button::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  if (handle_) ::SetWindowTextW(handle_, caption_.c_str());
  Invalidate();
}

void Button::SetDefault(bool value) {
  if (Form* form = ParentForm()) {
    if (value)
      form->SetDefaultButton(this);
    else if (default_)
      form->SetDefaultButton(nullptr);
  }
  default_ = value;
  Invalidate();
}

void Button::SetHotTrack(bool value) {
  hotTrack_ = value;
  if (!value) SetHot(false);
}

void Button::Click() {
  if (modalResult_ != 0) {
    if (Form* form = ParentForm()) form->SetModalResult(modalResult_);
  }
  WinControl::Click();
}

bool Button::CommandNotify(WORD code) {
  // Enter reaches the default button as the dialog keys' WM_COMMAND to the form.
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}

bool Button::Focused() const { return handle_ && ::GetFocus() == handle_; }

bool Button::Inside(POINT pt) const {
  RECT r{0, 0, width_, height_};
  return ::PtInRect(&r, pt) != FALSE;
}

void Button::SetHot(bool hot) {
  hot = hot && hotTrack_;
  if (hot == hot_) return;
  hot_ = hot;
  Invalidate();
}

void Button::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  Invalidate();
}

void Button::WndProc(Message& m) {
  switch (m.msg) {
    case WM_MOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
      }
      bool inside = Inside(PointFromLParam(m.lParam));
      SetHot(inside);
      if (captured_) SetDown(inside);
      return;
    }
    case WM_MOUSELEAVE:
      tracking_ = false;
      SetHot(false);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      captured_ = true;
      ::SetCapture(handle_);
      ::SetFocus(handle_);
      SetDown(true);
      return;
    case WM_LBUTTONUP: {
      if (!captured_) return;
      captured_ = false;  // before ReleaseCapture, whose WM_CAPTURECHANGED must not cancel
      ::ReleaseCapture();
      SetDown(spaceDown_);
      if (Inside(PointFromLParam(m.lParam))) Click();
      return;
    }
    case WM_CAPTURECHANGED:
      if (captured_) {
        captured_ = false;
        SetDown(spaceDown_);
      }
      return;
    case WM_GETDLGCODE:
      m.result = DLGC_BUTTON | (LooksDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return;
    case BM_CLICK:  // the dialog keys' answer to Alt + the accelerator
      Click();
      return;
    case WM_KEYDOWN:
      if (m.wParam == VK_SPACE) {
        if (!spaceDown_) {
          spaceDown_ = true;
          SetDown(true);
        }
        return;
      }
      break;
    case WM_KEYUP:
      if (m.wParam == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        SetDown(captured_);
        Click();
        return;
      }
      break;
    case WM_KILLFOCUS:
      spaceDown_ = false;
      SetDown(captured_);
      Invalidate();
      break;
    case WM_SETFOCUS:
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
      Invalidate();
      break;
    default:
      break;
  }
  WinControl::WndProc(m);
}

void Button::PaintFace(HDC dc) {
  PaintParentFace(dc);  // shows through the rounded corners
  bool enabled = !handle_ || ::IsWindowEnabled(handle_);
  PaintFrameAndFace(dc, enabled);
  PaintCaption(dc, enabled);
}

void Button::PaintFrameAndFace(HDC dc, bool enabled) {
  int w = width_, h = height_;
  if (w < 6 || h < 6) return;
  const Shade& face = !enabled ? kFaceDisabled : down_ ? kFaceDown : hot_ ? kFaceHot : kFaceNormal;
  for (int y = 1; y < h - 1; ++y) {
    int inset = (y == 1 || y == h - 2) ? 2 : 1;  // keep inside the corner arcs
    RECT row{inset, y, w - inset, y + 1};
    ::FillRect(dc, &row, DcBrush(dc, Mix(face.top, face.bottom, y - 1, h - 3)));
  }
  if (enabled && !down_ && (hot_ || LooksDefault())) {
    const Shade& ring = hot_ ? kRingHot : kRingDefault;
    RECT outer{1, 1, w - 1, h - 1};
    ::FrameRect(dc, &outer, DcBrush(dc, ring.top));
    RECT inner{2, 2, w - 2, h - 2};
    ::FrameRect(dc, &inner, DcBrush(dc, ring.bottom));
  }
  UniquePen pen(::CreatePen(PS_SOLID, 1, enabled ? kOutline : kOutlineDisabled));
  SelectGuard penGuard(dc, pen.Get());
  SelectGuard brushGuard(dc, ::GetStockObject(NULL_BRUSH));
  ::RoundRect(dc, 0, 0, w, h, kCorner, kCorner);
}

void Button::PaintCaption(HDC dc, bool enabled) {
  LRESULT uiState = handle_ ? ::SendMessageW(handle_, WM_QUERYUISTATE, 0, 0) : 0;
  RECT r{0, 0, width_, height_};
  if (down_) ::OffsetRect(&r, 1, 1);
  {
    SelectGuard font(dc, FontHandle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (uiState & UISF_HIDEACCEL) flags |= DT_HIDEPREFIX;
    ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, flags);
  }
  if (Focused() && !(uiState & UISF_HIDEFOCUS)) {
    RECT focus{3, 3, width_ - 3, height_ - 3};
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &focus);
  }
}

}  // namespace win
