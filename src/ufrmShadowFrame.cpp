// The drop shadow window. Every function runs on the UI thread, called from
// the attached form's messages or from the form's own handlers.
#include "ufrmShadowFrame.h"

#include <cstring>

#include "Application.h"

namespace {

using core::kShadowMargin;

constexpr UINT kHideBehind = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_HIDEWINDOW;  // 0x93
constexpr UINT kShowInPlace =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;  // 0x57
constexpr UINT kHideInPlace =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW;  // 0x97
constexpr UINT kFrameChanged =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;  // 0x37

// A colour with the high bit set names a system colour (as the layout's colours may).
COLORREF ColorToRGB(COLORREF c) {
  if (c & 0x80000000u) return ::GetSysColor(static_cast<int>(c & 0xFFu));
  return c & 0x00FFFFFFu;
}

// 0x00BBGGRR as the pixels of a 32-bit DIB read it: 0x00RRGGBB.
uint32_t DibPixelOf(COLORREF c) {
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // row 0 at the top
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

}  // namespace

// ---- ShadowBitmap ----

ShadowBitmap::ShadowBitmap() : dc_(::CreateCompatibleDC(nullptr)) {}

ShadowBitmap::~ShadowBitmap() { Deselect(); }

void ShadowBitmap::Deselect() {
  if (dc_ && stockBitmap_) ::SelectObject(dc_.Get(), stockBitmap_);
  stockBitmap_ = nullptr;
}

void ShadowBitmap::SetSize(int width, int height) {
  Deselect();
  bitmap_.Reset();
  bits_ = nullptr;
  width_ = height_ = 0;
  if (width <= 0 || height <= 0 || !dc_) return;
  BITMAPINFO bi = TopDown32(width, height);
  void* bits = nullptr;
  win::UniqueBitmap dib(::CreateDIBSection(dc_.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) return;
  stockBitmap_ = ::SelectObject(dc_.Get(), dib.Get());
  bitmap_ = std::move(dib);  // ours until the next SetSize; deselected before it is freed
  bits_ = static_cast<uint8_t*>(bits);  // zero-filled by the system
  width_ = width;
  height_ = height;
}

// ---- TFormShadow ----

TFormShadow::TFormShadow() : WinControl(nullptr) {}

TFormShadow::~TFormShadow() {
  AttachForm(nullptr);
  // Bitmap and Region go with the members; the base destroys the window.
}

void TFormShadow::CreateParams(CreateParamsData& params) {
  WinControl::CreateParams(params);
  params.className = L"QvShadow";
  params.parentWnd = win::App().Handle();  // owner: never above the form, no taskbar button
  params.classStyle = CS_OWNDC | CS_DBLCLKS;
  params.style = WS_POPUP;
  params.exStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;
}

void TFormShadow::WndProc(win::Message& m) {
  switch (m.msg) {
    case WM_NCHITTEST:
      m.result = HTTRANSPARENT;  // clicks fall through to whatever lies below
      return;
    case WM_ERASEBKGND:
      m.result = 1;
      return;
    default:
      WinControl::WndProc(m);
  }
}

HWND TFormShadow::ShadowWnd() {
  if (!HandleAllocated()) CreateHandle();
  return Handle();
}

void TFormShadow::AttachForm(win::Form* form) {
  if (form == Form) return;
  if (Form && SavedWindowProc) {
    Form->WindowProc = SavedWindowProc;
    SavedWindowProc = {};
  }
  Form = form;
  if (Form) {
    SavedWindowProc = Form->WindowProc;
    Form->WindowProc = win::WndMethod::Of<TFormShadow, &TFormShadow::FormWndProc>(this);
    CachedTransparentColor = Form->TransparentColorValue;
  }
  Dirty = true;
  UpdateShadow();
}

void TFormShadow::FormWndProc(win::Message& m) {
  switch (m.msg) {
    case WM_WINDOWPOSCHANGING:
      FormPosChanging(m);
      break;
    case WM_WINDOWPOSCHANGED:
      FormPosChanged(m);
      break;
    default:
      SavedWindowProc(m);
  }
}

void TFormShadow::FormPosChanging(win::Message& m) {
  SavedWindowProc(m);
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.lParam);
  if (Form->State() != win::WindowState::Normal || (pos->flags & SWP_HIDEWINDOW))
    ::SetWindowPos(ShadowWnd(), Form->Handle(), 0, 0, 0, 0, kHideBehind);
}

void TFormShadow::FormPosChanged(win::Message& m) {
  SavedWindowProc(m);  // afterwards the form's Left, Top, Width and Height are current
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.lParam);
  POINT p{pos->x, pos->y};
  if (pos->flags & SWP_NOMOVE) p = {Form->Left(), Form->Top()};
  const win::WindowState state = Form->State();
  if (state != win::WindowState::Maximized) RebuildShadow();
  HWND wnd = ShadowWnd();
  ::SetWindowPos(wnd, Form->Handle(), p.x - kShadowMargin, p.y - kShadowMargin, Bitmap.Width(),
                 Bitmap.Height(), SWP_NOACTIVATE);
  // A change that hides the form keeps the shadow hidden even when it came
  // without WM_SHOWWINDOW (a bare SetWindowPos), so no shadow stands alone.
  const bool show = ShadowVisible && state == win::WindowState::Normal &&
                    !(pos->flags & SWP_HIDEWINDOW);
  ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0, show ? kShowInPlace : kHideInPlace);
}

void TFormShadow::UpdateShadow() {
  // The form stays as it is; the system's WM_WINDOWPOSCHANGING/CHANGED pair
  // (with SWP_NOMOVE) rebuilds, places, shows or hides the shadow.
  if (Form && Form->HandleAllocated())
    ::SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0, kFrameChanged);
}

std::vector<core::IntRect> TFormShadow::RegionRects() {
  std::vector<core::IntRect> rects;
  if (!Region) Region.Reset(::CreateRectRgn(0, 0, 1, 1));
  if (!Region) return rects;
  // A plain rectangle, an empty region or none at all: the outline is the window rectangle.
  if (::GetWindowRgn(Form->Handle(), Region.Get()) != COMPLEXREGION) {
    Region.Reset();
    return rects;
  }
  const DWORD size = ::GetRegionData(Region.Get(), 0, nullptr);
  if (size < sizeof(RGNDATAHEADER)) return rects;
  std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));  // DWORD-aligned
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (::GetRegionData(Region.Get(), size, data) != size) return rects;
  const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
  rects.reserve(data->rdh.nCount);
  for (DWORD i = 0; i < data->rdh.nCount; ++i)
    rects.push_back({r[i].left, r[i].top, r[i].right, r[i].bottom});
  return rects;
}

void TFormShadow::RebuildShadow() {
  if (!ShadowVisible || !Form || !Form->HandleAllocated()) return;  // Dirty stays for later
  const int width = Form->Width() + 2 * kShadowMargin;
  const int height = Form->Height() + 2 * kShadowMargin;
  if (Bitmap.Width() != width || Bitmap.Height() != height) {
    Dirty = true;
    Bitmap.SetSize(width, height);
  } else if (Form->TransparentColor && Form->TransparentColorValue != CachedTransparentColor) {
    Dirty = true;
  }
  if (!Dirty) return;
  Dirty = false;
  ++rebuildCount_;

  const core::PixelView image = Bitmap.Pixels();
  if (!image.bits) return;
  std::memset(image.bits, 0, static_cast<std::size_t>(image.width) * image.height * 4);

  const std::vector<core::IntRect> regionRects = RegionRects();
  const bool hasBorder = !Form->BorderNone();
  WINDOWINFO info{};
  info.cbSize = sizeof(info);
  if (hasBorder) ::GetWindowInfo(Form->Handle(), &info);
  const std::vector<core::IntRect> outline =
      core::ShadowOutline(regionRects, Form->Width(), Form->Height(), hasBorder,
                          static_cast<int>(info.cxWindowBorders),
                          static_cast<int>(info.cyWindowBorders));
  // Without a region nothing clips: the outline is one rectangle.
  const std::vector<core::IntRect> clip = regionRects.empty() ? std::vector<core::IntRect>{} : outline;

  core::FillGray(image, outline, 255);
  PaintTransparentMask(true, clip);
  core::BlurBitmap(image, core::kShadowBlurPasses);
  if (Form->TransparentColor)
    PaintTransparentMask(false, clip);
  else
    core::FillGray(image, outline, 0);  // no shadow under the form itself
  UpdateLayer(true);
}

void TFormShadow::PaintTransparentMask(bool stamp, const std::vector<core::IntRect>& clip) {
  if (!Form->TransparentColor) return;
  const POINT origin = Form->ClientOrigin();
  CachedTransparentColor = Form->TransparentColorValue;
  RECT client{};
  ::GetClientRect(Form->Handle(), &client);
  const int cw = client.right, ch = client.bottom;
  if (cw <= 0 || ch <= 0) return;

  win::UniqueDC dc(::CreateCompatibleDC(nullptr));
  BITMAPINFO bi = TopDown32(cw, ch);
  void* bits = nullptr;
  win::UniqueBitmap face(::CreateDIBSection(dc.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !face || !bits) return;
  {
    win::SelectGuard select(dc.Get(), face.Get());
    Form->PaintTo(dc.Get(), 0, 0);
    ::GdiFlush();  // the pixels are read directly below
  }
  const std::span<const uint32_t> painted(static_cast<const uint32_t*>(bits),
                                          static_cast<std::size_t>(cw) * ch);
  core::StampTransparentMask(Bitmap.Pixels(), painted, cw, ch,
                             origin.x - Form->Left() + kShadowMargin,
                             origin.y - Form->Top() + kShadowMargin,
                             DibPixelOf(CachedTransparentColor), stamp, clip);
}

void TFormShadow::UpdateLayer(bool takeAlpha) {
  Blend.SourceConstantAlpha = Form->AlphaBlend ? Form->AlphaBlendValue : 255;
  core::UpdateLayerPixels(Bitmap.Pixels(), ColorToRGB(ShadowColor), takeAlpha);
  HWND wnd = ShadowWnd();
  if (Bitmap.Empty()) return;  // nothing built yet: nothing to show
  SIZE size{Bitmap.Width(), Bitmap.Height()};
  POINT source{0, 0};
  ::UpdateLayeredWindow(wnd, nullptr, nullptr, &size, Bitmap.DC(), &source, 0, &Blend, ULW_ALPHA);
}

void TFormShadow::SetShadowVisible(bool value) {
  if (value == ShadowVisible) return;
  ShadowVisible = value;
  UpdateShadow();
}

void TFormShadow::SetShadowColor(COLORREF value) {
  if (value == ShadowColor) return;
  ShadowColor = value;
  // Without a form the colour simply waits for the first build.
  if (Form) UpdateLayer(false);
}
