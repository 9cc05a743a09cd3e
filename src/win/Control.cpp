#include "Control.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "Application.h"
#include "Form.h"
#include "Gdi.h"

namespace win {
namespace {

constexpr const wchar_t* kControlProp = L"QvControl";

void EnsureClass(const wchar_t* name, UINT style, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  HINSTANCE inst = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(inst, name, &wc)) return;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = inst;
  wc.hCursor = ::LoadCursorW(nullptr, kCursorArrow);
  wc.hIcon = ::LoadIconW(inst, MAKEINTRESOURCEW(1));
  wc.lpszClassName = name;
  ::RegisterClassExW(&wc);
}

}  // namespace

// ---- Control ----

Control::Control(WinControl* parent) : parent_(parent) {
  if (parent_) parent_->AddControl(this);
}

Control::~Control() {
  if (parent_) parent_->RemoveControl(this);
}

Form* Control::ParentForm() const {
  const Control* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<Form*>(const_cast<Control*>(c));
}

void Control::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  RECT old = BoundsRect();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged(old);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibilityChanged();
}

void Control::SetHint(std::wstring hint) {
  hint_ = std::move(hint);
  if (Form* f = ParentForm()) f->UpdateTool(this);
}

void Control::SetShowHint(bool show) {
  showHint_ = show;
  if (Form* f = ParentForm()) f->UpdateTool(this);
}

const FontDesc& Control::Font() const {
  if (parentFont_ && parent_) return parent_->Font();
  return font_;
}

HFONT Control::FontHandle() const {
  if (parentFont_ && parent_) return parent_->FontHandle();
  if (fontDirty_ || !fontHandle_) {
    fontHandle_ = MakeFont(font_);
    fontDirty_ = false;
  }
  return fontHandle_.Get();
}

void Control::SetFont(const FontDesc& font) {
  font_ = font;
  parentFont_ = false;
  fontDirty_ = true;
  NotifyFontChanged();
}

void Control::NotifyFontChanged() {
  FontChanged();
  if (auto* w = dynamic_cast<WinControl*>(this)) {
    for (Control* c : w->controls_)
      if (c->parentFont_) c->NotifyFontChanged();
  }
}

void Control::Click() {
  if (OnClick) OnClick();
}

// ---- GraphicControl ----

void GraphicControl::Invalidate() {
  if (parent_ && parent_->HandleAllocated()) {
    RECT r = BoundsRect();
    ::InvalidateRect(parent_->Handle(), &r, FALSE);
  }
}

void GraphicControl::BoundsChanged(const RECT& oldBounds) {
  if (parent_ && parent_->HandleAllocated()) {
    ::InvalidateRect(parent_->Handle(), &oldBounds, FALSE);
    Invalidate();
  }
  if (Form* f = ParentForm()) f->UpdateTool(this);
}

void GraphicControl::VisibilityChanged() {
  Invalidate();
  if (Form* f = ParentForm()) f->UpdateTool(this);
}

// ---- WinControl ----

WinControl::WinControl(WinControl* parent) : Control(parent) {}

WinControl::~WinControl() {
  if (handle_) ::DestroyWindow(handle_);
}

WinControl* WinControl::FromHandle(HWND wnd) {
  return wnd ? static_cast<WinControl*>(::GetPropW(wnd, kControlProp)) : nullptr;
}

void WinControl::CreateParams(CreateParamsData& params) {
  params.parentWnd = parent_ ? parent_->Handle() : nullptr;
}

void WinControl::CreateHandle() {
  if (!handle_) {
    CreateParamsData p;
    CreateParams(p);
    if (parent_ && visible_) p.style |= WS_VISIBLE;
    if (!p.systemClass) EnsureClass(p.className, p.classStyle, &StaticWndProc);
    HMENU id = nullptr;
    if (p.style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId()));
    HWND wnd = ::CreateWindowExW(p.exStyle, p.className, p.caption.c_str(), p.style, left_, top_,
                                 width_, height_, p.parentWnd, id, ::GetModuleHandleW(nullptr),
                                 p.systemClass ? nullptr : this);
    if (!wnd) throw std::runtime_error("CreateWindowEx failed");
    if (p.systemClass) {
      handle_ = wnd;
      ::SetPropW(wnd, kControlProp, this);
      systemProc_ = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWndProc)));
      ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    }
    AfterCreateHandle();
  }
  for (Control* c : controls_)
    if (auto* w = dynamic_cast<WinControl*>(c)) w->CreateHandle();
}

int WinControl::ControlId() {
  if (controlId_ == 0) {
    static int next = 1000;
    controlId_ = next++;
  }
  return controlId_;
}

LRESULT CALLBACK WinControl::StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (auto* self = static_cast<WinControl*>(cs->lpCreateParams)) {
      self->handle_ = wnd;
      ::SetPropW(wnd, kControlProp, self);
    }
  }
  WinControl* self = FromHandle(wnd);
  if (!self) return ::DefWindowProcW(wnd, msg, wParam, lParam);
  Message m{msg, wParam, lParam, 0};
  try {
    self->Dispatch(m);
  } catch (const std::exception& e) {
    App().ShowException(e);
  } catch (...) {
    App().ShowException(std::runtime_error("Unknown error"));
  }
  if (msg == WM_NCDESTROY) {
    ::RemovePropW(wnd, kControlProp);
    if (self->systemProc_)
      ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->systemProc_));
    self->handle_ = nullptr;
    self->pressed_ = nullptr;
  }
  return m.result;
}

void WinControl::DefaultHandler(Message& m) {
  m.result = systemProc_ ? ::CallWindowProcW(systemProc_, handle_, m.msg, m.wParam, m.lParam)
                         : ::DefWindowProcW(handle_, m.msg, m.wParam, m.lParam);
}

void WinControl::WndProc(Message& m) {
  switch (m.msg) {
    case WM_ERASEBKGND:
      if (!systemProc_) {
        m.result = 1;  // everything is drawn in WM_PAINT, double-buffered
        return;
      }
      break;
    case WM_PAINT:
      if (!systemProc_) {
        PaintDC pdc(handle_);
        RECT rc;
        ::GetClientRect(handle_, &rc);
        UniqueDC mem(::CreateCompatibleDC(pdc.Get()));
        UniqueBitmap bmp(::CreateCompatibleBitmap(pdc.Get(), rc.right, rc.bottom));
        {
          SelectGuard sel(mem.Get(), bmp.Get());
          PaintFace(mem.Get());
          ::BitBlt(pdc.Get(), 0, 0, rc.right, rc.bottom, mem.Get(), 0, 0, SRCCOPY);
        }
        return;
      }
      break;
    case WM_PRINTCLIENT:
      if (!systemProc_) {
        PaintFace(reinterpret_cast<HDC>(m.wParam));
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
      if (!systemProc_) HandleMouse(m);
      break;
    case WM_CAPTURECHANGED:
      pressed_ = nullptr;
      break;
    case WM_SETCURSOR:
      if (HandleSetCursor(m)) return;
      break;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.lParam);
      if (hdr->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(m.lParam);
        Control* tool = (info->uFlags & TTF_IDISHWND)
                            ? FromHandle(reinterpret_cast<HWND>(hdr->idFrom))
                            : reinterpret_cast<Control*>(hdr->idFrom);
        info->lpszText = const_cast<wchar_t*>(tool ? TooltipText(tool) : L"");
        info->hinst = nullptr;
        return;
      }
      break;
    }
    case WM_COMMAND:
      if (m.lParam) {
        if (WinControl* child = FromHandle(reinterpret_cast<HWND>(m.lParam))) {
          if (child->CommandNotify(HIWORD(m.wParam))) return;
        }
      }
      break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.lParam);
      if (WinControl* child = FromHandle(dis->hwndItem)) {
        if (child->DrawItem(*dis)) {
          m.result = TRUE;
          return;
        }
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
      for (Control* c : controls_) {
        auto* w = dynamic_cast<WinControl*>(c);
        if (w && w->controlId_ == static_cast<int>(mis->CtlID) && w->MeasureItem(*mis)) {
          m.result = TRUE;
          return;
        }
      }
      break;
    }
    default:
      break;
  }
  DefaultHandler(m);
}

void WinControl::HandleMouse(Message& m) {
  POINT pt = PointFromLParam(m.lParam);
  if (m.msg == WM_LBUTTONUP) {
    GraphicControl* target = pressed_;
    if (!target) return;
    pressed_ = nullptr;
    if (::GetCapture() == handle_) ::ReleaseCapture();
    RECT r = target->BoundsRect();
    if (::PtInRect(&r, pt)) target->Click();
    return;
  }
  GraphicControl* g = GraphicAt(pt);
  if (!g) return;
  MouseButton button = MouseButton::Left;
  if (m.msg == WM_RBUTTONDOWN || m.msg == WM_RBUTTONDBLCLK) button = MouseButton::Right;
  if (m.msg == WM_MBUTTONDOWN || m.msg == WM_MBUTTONDBLCLK) button = MouseButton::Middle;
  if (button == MouseButton::Left) {
    ::SetCapture(handle_);
    pressed_ = g;
  }
  if (g->OnMouseDown) g->OnMouseDown(button, pt.x - g->Left(), pt.y - g->Top());
}

bool WinControl::HandleSetCursor(Message& m) {
  if (reinterpret_cast<HWND>(m.wParam) != handle_ || LOWORD(m.lParam) != HTCLIENT) return false;
  POINT pt;
  ::GetCursorPos(&pt);
  ::ScreenToClient(handle_, &pt);
  LPCWSTR id = cursor_;
  if (GraphicControl* g = GraphicAt(pt); g && g->Cursor()) id = g->Cursor();
  if (!id) return false;
  ::SetCursor(::LoadCursorW(nullptr, id));
  m.result = TRUE;
  return true;
}

GraphicControl* WinControl::GraphicAt(POINT pt) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    auto* g = dynamic_cast<GraphicControl*>(*it);
    if (!g || !g->Visible()) continue;
    RECT r = g->BoundsRect();
    if (::PtInRect(&r, pt)) return g;
  }
  return nullptr;
}

void WinControl::PaintFace(HDC dc) {
  RECT rc{0, 0, width_, height_};
  UniqueBrush brush(::CreateSolidBrush(color_));
  ::FillRect(dc, &rc, brush.Get());
  PaintGraphicChildren(dc);
}

void WinControl::PaintGraphicChildren(HDC dc) {
  for (Control* c : controls_) {
    auto* g = dynamic_cast<GraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    SavedDC saved(dc);
    RECT r = g->BoundsRect();
    ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    g->Paint(dc);
  }
}

void WinControl::PaintParentFace(HDC dc) {
  if (!parent_) return;
  SavedDC saved(dc);
  POINT old;
  ::OffsetViewportOrgEx(dc, -left_, -top_, &old);
  parent_->PaintFace(dc);
}

const wchar_t* WinControl::TooltipText(Control* tool) {
  tooltipBuffer_ = (tool->Visible() && tool->ShowHint()) ? tool->Hint() : std::wstring();
  return tooltipBuffer_.c_str();
}

void WinControl::Invalidate() {
  if (handle_) ::InvalidateRect(handle_, nullptr, FALSE);
}

void WinControl::SetColor(COLORREF color) {
  color_ = color;
  Invalidate();
}

void WinControl::SetFocus() {
  if (handle_) ::SetFocus(handle_);
}

void WinControl::BoundsChanged(const RECT&) {
  if (handle_)
    ::SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WinControl::VisibilityChanged() {
  if (handle_) ::ShowWindow(handle_, visible_ ? SW_SHOWNA : SW_HIDE);
}

void WinControl::FontChanged() {
  if (handle_ && systemProc_)
    ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
  Invalidate();
}

void WinControl::RemoveControl(Control* c) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  if (pressed_ == c) pressed_ = nullptr;
}

}  // namespace win
