#include "Form.h"

#include <commctrl.h>

#include <exception>

#include "Application.h"
#include "OptionLayout.h"

namespace win {
namespace {

struct DisabledWindows {
  std::vector<HWND> windows;
  HWND self;
};

BOOL CALLBACK DisableOther(HWND w, LPARAM lp) {
  auto* d = reinterpret_cast<DisabledWindows*>(lp);
  if (w != d->self && ::IsWindowVisible(w) && ::IsWindowEnabled(w)) {
    d->windows.push_back(w);
    ::EnableWindow(w, FALSE);
  }
  return TRUE;
}

}  // namespace

Form::Form() : WinControl(nullptr) {
  visible_ = false;
  color_ = ::GetSysColor(COLOR_BTNFACE);
  WindowProc = DefaultWindowProc();
}

Form::~Form() = default;

void Form::CreateParams(CreateParamsData& params) {
  params.className = L"QvForm";
  params.caption = caption_;
  params.style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
  params.classStyle = CS_DBLCLKS;
  Form* main = App().MainForm();
  if (main == this) {
    params.exStyle = WS_EX_APPWINDOW;  // the taskbar button shows this window's caption
  } else {
    params.parentWnd = (main && main->HandleAllocated()) ? main->Handle() : App().Handle();
  }
}

void Form::Create() {
  CreateHandle();
  RegisterTools(this);
  try {
    FormCreate();
  } catch (const std::exception& e) {
    App().ShowException(e);
  }
}

void Form::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  DestroyOwned();
  try {
    FormDestroy();
  } catch (const std::exception& e) {
    App().ShowException(e);
  }
  tooltip_.Reset();
  if (handle_) ::DestroyWindow(handle_);
}

void Form::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  if (handle_) ::SetWindowTextW(handle_, caption_.c_str());
}

void Form::SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }

void Form::PlaceForShow() {
  if (placed_) return;
  placed_ = true;
  int x = left_, y = top_;
  if (position_ == FormPosition::ScreenCenter) {
    x = (::GetSystemMetrics(SM_CXSCREEN) - width_) / 2;
    y = (::GetSystemMetrics(SM_CYSCREEN) - height_) / 2;
  } else if (position_ == FormPosition::MainFormCenter) {
    Form* main = App().MainForm();
    if (main && main != this && main->HandleAllocated()) {
      RECT r;
      ::GetWindowRect(main->Handle(), &r);
      core::IntPoint p =
          core::CenterOver(r.left, r.top, r.right - r.left, r.bottom - r.top, width_, height_);
      x = p.x;
      y = p.y;
    }
  }
  SetBounds(x, y, width_, height_);
}

void Form::Show() {
  PlaceForShow();
  SetVisible(true);
  if (handle_) ::SetForegroundWindow(handle_);
}

void Form::VisibilityChanged() {
  if (!handle_) return;
  ::ShowWindow(handle_, visible_ ? SW_SHOWNORMAL : SW_HIDE);
}

void Form::BoundsChanged(const RECT&) {
  if (handle_)
    ::SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Close() {
  if (inModal_) {
    modalResult_ = kModalResultCancel;
    return;
  }
  FormClose();
  if (App().MainForm() == this)
    App().Terminate();
  else
    Hide();
}

int Form::ShowModal() {
  HWND previous = ::GetActiveWindow();
  // Disable the thread's other windows, as a modal dialog does.
  DisabledWindows disabled{{}, handle_};
  ::EnumThreadWindows(::GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&disabled));

  modalResult_ = 0;
  inModal_ = true;
  Show();
  while (modalResult_ == 0 && !App().Terminated()) App().HandleMessage();
  inModal_ = false;
  try {
    FormClose();
  } catch (const std::exception& e) {
    App().ShowException(e);
  }
  for (HWND w : disabled.windows) ::EnableWindow(w, TRUE);
  Hide();
  if (previous && ::IsWindow(previous)) ::SetActiveWindow(previous);
  return modalResult_;
}

WindowState Form::State() const {
  if (handle_ && ::IsIconic(handle_)) return WindowState::Minimized;
  if (handle_ && ::IsZoomed(handle_)) return WindowState::Maximized;
  return WindowState::Normal;
}

void Form::SetWindowRegion(UniqueRegion region) {
  if (!handle_) return;
  // From here on the window owns the region.
  ::SetWindowRgn(handle_, region.Release(), TRUE);
}

void Form::SetRoundRegion(const RECT& r) {
  SetWindowRegion(UniqueRegion(::CreateRoundRectRgn(r.left + 1, r.top + 1, r.right, r.bottom, 9, 9)));
}

POINT Form::ClientOrigin() const {
  POINT p{0, 0};
  if (handle_) ::ClientToScreen(handle_, &p);
  return p;
}

void Form::PaintTo(HDC dc, int x, int y) {
  if (!handle_) return;
  SavedDC saved(dc);
  ::OffsetViewportOrgEx(dc, x, y, nullptr);
  ::SendMessageW(handle_, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_CHILDREN | PRF_NONCLIENT);
}

HWND Form::EnsureTooltip() {
  if (!tooltip_ && handle_) {
    tooltip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
  }
  return tooltip_.Get();
}

void Form::RegisterTools(WinControl* container) {
  for (Control* c : container->Controls()) {
    if (c->ShowHint()) UpdateTool(c);
    if (auto* w = dynamic_cast<WinControl*>(c)) RegisterTools(w);
  }
}

void Form::UpdateTool(Control* c) {
  if (!handle_ || !c->Parent()) return;
  bool windowed = c->IsWindowed();
  HWND owner = windowed ? handle_ : c->Parent()->Handle();
  if (!owner || (windowed && !static_cast<WinControl*>(c)->HandleAllocated())) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = owner;
  ti.uId = windowed ? reinterpret_cast<UINT_PTR>(static_cast<WinControl*>(c)->Handle())
                    : reinterpret_cast<UINT_PTR>(c);
  HWND tip = tooltip_.Get();
  bool known = tip && ::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti));
  if (!c->ShowHint()) {
    if (known) ::SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    return;
  }
  tip = EnsureTooltip();
  if (!tip) return;
  ti.uFlags = TTF_SUBCLASS | (windowed ? TTF_IDISHWND : 0);
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  if (!windowed) ti.rect = c->BoundsRect();
  if (!known) {
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  } else {
    if (!windowed) ::SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void Form::WndProc(Message& m) {
  switch (m.msg) {
    case WM_CLOSE:
      Close();
      return;
    case DM_GETDEFID:
      if (defaultButton_ && defaultButton_->HandleAllocated() && defaultButton_->Visible()) {
        m.result = MAKELRESULT(defaultButton_->ControlId(), DC_HASDEFID);
        return;
      }
      m.result = 0;
      return;
    case WM_WINDOWPOSCHANGED: {
      // Keep Left/Top/Width/Height current however the window moved.
      RECT r;
      ::GetWindowRect(handle_, &r);
      if (!::IsIconic(handle_)) {
        left_ = r.left;
        top_ = r.top;
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
      }
      break;
    }
    default:
      break;
  }
  WinControl::WndProc(m);
}

}  // namespace win
