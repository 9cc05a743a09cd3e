#include "StdControls.h"

#include "Safety.h"

namespace win {
namespace {

UINT AlignFlags(Alignment a) {
  switch (a) {
    case Alignment::Right: return DT_RIGHT;
    case Alignment::Center: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

// ---- Label ----

void Label::SetCaption(std::wstring caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  AdjustSize();
  Invalidate();
}

void Label::SetAlignment(Alignment a) {
  alignment_ = a;
  Invalidate();
}

void Label::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AdjustSize();
}

void Label::FontChanged() {
  AdjustSize();
  Invalidate();
}

void Label::AdjustSize() {
  if (!autoSize_) return;
  WindowDC screen(nullptr);
  SelectGuard font(screen.Get(), FontHandle());
  RECT r{0, 0, 0, 0};
  std::wstring text = caption_.empty() ? std::wstring(L" ") : caption_;
  ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_EXPANDTABS);
  int w = caption_.empty() ? 0 : r.right;
  int h = r.bottom;
  int left = left_;
  if (alignment_ == Alignment::Right) left = left_ + width_ - w;
  if (alignment_ == Alignment::Center) left = left_ + (width_ - w) / 2;
  SetBounds(left, top_, w, h);
}

void Label::Paint(HDC dc) {
  RECT r = BoundsRect();
  if (!transparent_ && parent_) {
    UniqueBrush b(::CreateSolidBrush(parent_->Color()));
    ::FillRect(dc, &r, b.Get());
  }
  SelectGuard font(dc, FontHandle());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, TextColor());
  ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r,
              DT_EXPANDTABS | AlignFlags(alignment_));
}

// ---- LinkLabel ----

LinkLabel::LinkLabel(WinControl* parent) : Label(parent) { cursor_ = kCursorHand; }

void LinkLabel::SetColors(COLORREF unvisited, COLORREF visited) {
  unvisitedColor_ = unvisited;
  visitedColor_ = visited;
  Invalidate();
}

void LinkLabel::Click() {
  if (OnClick) OnClick();
  std::wstring target = core::IsBlankText(url_) ? caption_ : url_;
  if (Opener && Opener(target) && !visited_) {
    visited_ = true;
    Invalidate();
  }
}

// ---- Image ----

void Image::SetPicture(Picture picture) {
  picture_ = std::move(picture);
  Invalidate();
}

void Image::Paint(HDC dc) { picture_.Draw(dc, left_, top_); }

// ---- Panel ----

void Panel::SetBorder(PanelBorder border, COLORREF flatColor) {
  border_ = border;
  flatColor_ = flatColor;
  AlignChildren();
  Invalidate();
}

void Panel::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  Invalidate();
}

RECT Panel::InnerRect() const {
  int b = border_ == PanelBorder::FlatBold ? 2 : border_ == PanelBorder::Status ? 1 : 0;
  return {b, b, width_ - b, height_ - b};
}

void Panel::BoundsChanged(const RECT& oldBounds) {
  WinControl::BoundsChanged(oldBounds);
  AlignChildren();
}

void Panel::AlignChildren() {
  RECT in = InnerRect();
  for (Control* c : controls_) {
    auto* img = dynamic_cast<Image*>(c);
    if (img && img->AlignClient()) img->SetBounds(in.left, in.top, in.right - in.left, in.bottom - in.top);
  }
}

void Panel::PaintFace(HDC dc) {
  RECT rc{0, 0, width_, height_};
  UniqueBrush fill(::CreateSolidBrush(color_));
  ::FillRect(dc, &rc, fill.Get());
  if (border_ == PanelBorder::FlatBold) {
    UniqueBrush frame(::CreateSolidBrush(flatColor_));
    ::FrameRect(dc, &rc, frame.Get());
    RECT inner{1, 1, width_ - 1, height_ - 1};
    ::FrameRect(dc, &inner, frame.Get());
  } else if (border_ == PanelBorder::Status) {
    ::DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
  }
  if (!caption_.empty()) {
    RECT in = InnerRect();
    SelectGuard font(dc, FontHandle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Font().color);
    ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &in,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  PaintGraphicChildren(dc);
}

// ---- BitmapButton ----

BitmapButton::BitmapButton(WinControl* parent) : WinControl(parent) {}

void BitmapButton::SetBitmaps(Picture up, Picture hot) {
  up_ = std::move(up);
  hotPicture_ = std::move(hot);
  Invalidate();
}

void BitmapButton::CreateParams(CreateParamsData& params) {
  WinControl::CreateParams(params);
  params.className = L"QvBitmapButton";
  params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
}

bool BitmapButton::PointerInside() const {
  POINT pt;
  ::GetCursorPos(&pt);
  ::ScreenToClient(handle_, &pt);
  RECT r{0, 0, width_, height_};
  return ::PtInRect(&r, pt) != FALSE;
}

void BitmapButton::PaintFace(HDC dc) {
  PaintParentFace(dc);
  const Picture& pic = (hot_ && !pressed_ && !hotPicture_.Empty()) ? hotPicture_ : up_;
  pic.DrawTransparent(dc, 0, 0, transparentColor_);
}

void BitmapButton::WndProc(Message& m) {
  switch (m.msg) {
    case WM_MOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
      }
      bool inside = PointerInside();
      if (inside != hot_) {
        hot_ = inside;
        Invalidate();
      }
      return;
    }
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (hot_) {
        hot_ = false;
        Invalidate();
      }
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      ::SetCapture(handle_);
      ::SetFocus(handle_);
      Invalidate();
      return;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        ::ReleaseCapture();
        Invalidate();
        if (PointerInside()) Click();
      }
      return;
    case WM_CAPTURECHANGED:
      if (pressed_) {
        pressed_ = false;
        Invalidate();
      }
      return;
    case WM_GETDLGCODE: {
      auto* msg = reinterpret_cast<MSG*>(m.lParam);
      m.result = DLGC_BUTTON;
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) m.result |= DLGC_WANTMESSAGE;
      return;
    }
    case WM_KEYDOWN:
      if (m.wParam == VK_RETURN) {
        Click();
        return;
      }
      if (m.wParam == VK_SPACE) {
        spaceDown_ = true;
        return;
      }
      break;
    case WM_KEYUP:
      if (m.wParam == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        Click();
        return;
      }
      break;
    case WM_KILLFOCUS:
      spaceDown_ = false;
      break;
    default:
      break;
  }
  WinControl::WndProc(m);
}

}  // namespace win
