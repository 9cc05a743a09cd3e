#include "PageControl.h"

#include <algorithm>

#include "Gdi.h"

namespace win {
namespace {

// Tabs stand kTabTop below the control's top; the body's frame starts on the
// tab's last row, so the active tab opens into it. The sheets lie 2 pixels
// inside the frame.
constexpr int kTabTop = 4;
constexpr int kTabLeft = 2;
constexpr int kTabPadding = 12;
constexpr int kMinTabWidth = 40;
constexpr int kInactiveDrop = 2;  // inactive tabs stand lower
constexpr int kCorner = 7;        // corner ellipse of a rounded tab
constexpr COLORREF kFrame = RGB(116, 153, 186);
constexpr COLORREF kTabTopShade = RGB(255, 255, 255);

}  // namespace

// ---- TabSheet ----

TabSheet::TabSheet(PageControl* pageControl) : WinControl(pageControl), pageControl_(pageControl) {
  if (pageControl_) pageControl_->AddPage(this);
}

TabSheet::~TabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TabSheet::CreateParams(CreateParamsData& params) {
  WinControl::CreateParams(params);
  params.className = L"QvTabSheet";
  params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  params.exStyle = WS_EX_CONTROLPARENT;
}

void TabSheet::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  if (pageControl_) pageControl_->Invalidate();
}

// ---- PageControl ----

PageControl::PageControl(WinControl* parent) : WinControl(parent) {}

PageControl::~PageControl() {
  for (TabSheet* page : pages_) page->pageControl_ = nullptr;
}

void PageControl::CreateParams(CreateParamsData& params) {
  WinControl::CreateParams(params);
  params.className = L"QvPageControl";
  params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  params.exStyle = WS_EX_CONTROLPARENT;
}

void PageControl::SetTabHeight(int height) {
  tabHeight_ = std::max(height, 1);
  AlignPages();
  Invalidate();
}

void PageControl::SetTabStyle(TabStyle style) {
  tabStyle_ = style;
  Invalidate();
}

void PageControl::SetActivePage(TabSheet* page) {
  if (page && page->pageControl_ != this) return;
  active_ = page;
  for (TabSheet* p : pages_) p->SetVisible(p == active_);
  Invalidate();
}

void PageControl::AddPage(TabSheet* page) {
  pages_.push_back(page);
  AlignPages();
  if (!active_)
    SetActivePage(page);
  else
    page->SetVisible(false);
}

void PageControl::RemovePage(TabSheet* page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  if (active_ == page) active_ = pages_.empty() ? nullptr : pages_.front();
  if (active_) active_->SetVisible(true);
  Invalidate();
}

RECT PageControl::DisplayRect() const {
  int bodyTop = kTabTop + tabHeight_ - 1;
  return {2, bodyTop + 2, std::max(width_ - 2, 2), std::max(height_ - 2, bodyTop + 2)};
}

void PageControl::AlignPages() {
  RECT d = DisplayRect();
  for (TabSheet* p : pages_) p->SetBounds(d.left, d.top, d.right - d.left, d.bottom - d.top);
}

void PageControl::BoundsChanged(const RECT& oldBounds) {
  WinControl::BoundsChanged(oldBounds);
  AlignPages();
}

int PageControl::TabWidth(HDC dc, const TabSheet& page) const {
  RECT r{0, 0, 0, 0};
  const std::wstring& text = page.Caption();
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  return std::max<int>(r.right + 2 * kTabPadding, kMinTabWidth);
}

RECT PageControl::TabRect(int index) const {
  WindowDC screen(nullptr);
  SelectGuard font(screen.Get(), FontHandle());
  int left = kTabLeft;
  for (int i = 0; i < index && i < PageCount(); ++i) left += TabWidth(screen.Get(), *pages_[i]);
  int width = index < PageCount() ? TabWidth(screen.Get(), *pages_[index]) : 0;
  return {left, kTabTop, left + width, kTabTop + tabHeight_};
}

void PageControl::WndProc(Message& m) {
  if (m.msg == WM_LBUTTONDOWN) {
    POINT pt = PointFromLParam(m.lParam);
    for (int i = 0; i < PageCount(); ++i) {
      RECT tab = TabRect(i);
      if (::PtInRect(&tab, pt)) {
        SetActivePage(pages_[i]);
        break;
      }
    }
  }
  WinControl::WndProc(m);
}

void PageControl::PaintFace(HDC dc) {
  PaintParentFace(dc);  // above and beside the tabs
  COLORREF face = active_ ? active_->Color() : color_;
  RECT body = {0, kTabTop + tabHeight_ - 1, width_, height_};
  ::FillRect(dc, &body, DcBrush(dc, face));
  ::FrameRect(dc, &body, DcBrush(dc, kFrame));
  // Inactive tabs first: the active one overlaps its neighbours.
  for (int i = 0; i < PageCount(); ++i)
    if (pages_[i] != active_) PaintTab(dc, *pages_[i], TabRect(i), false);
  for (int i = 0; i < PageCount(); ++i)
    if (pages_[i] == active_) PaintTab(dc, *pages_[i], TabRect(i), true);
}

void PageControl::PaintTab(HDC dc, const TabSheet& page, const RECT& tab, bool active) {
  RECT r = tab;
  if (!active) r.top += kInactiveDrop;
  int h = r.bottom - r.top;
  if (h < 4 || r.right - r.left < 4) return;
  bool round = tabStyle_ == TabStyle::RoundCorners;
  COLORREF face = page.Color();
  COLORREF top = active ? kTabTopShade : Mix(face, kFrame, 1, 5);
  COLORREF bottom = active ? face : Mix(face, kFrame, 1, 3);

  SavedDC saved(dc);
  ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    int row = y - r.top;
    int inset = !round ? 1 : row == 1 ? 2 : 1;  // stays inside the corner arcs
    RECT line{r.left + inset, y, r.right - inset, y + 1};
    ::FillRect(dc, &line, DcBrush(dc, Mix(top, bottom, row - 1, std::max(h - 3, 1))));
  }
  {
    UniquePen pen(::CreatePen(PS_SOLID, 1, kFrame));
    SelectGuard penGuard(dc, pen.Get());
    SelectGuard brushGuard(dc, ::GetStockObject(NULL_BRUSH));
    // The shape runs on below the clip, so only its top corners show.
    if (round)
      ::RoundRect(dc, r.left, r.top, r.right, r.bottom + kCorner, kCorner, kCorner);
    else
      ::Rectangle(dc, r.left, r.top, r.right, r.bottom + 1);
  }
  if (active) {
    // Open the tab into the body: its last row is the body's top frame line.
    RECT join{r.left + 1, r.bottom - 1, r.right - 1, r.bottom};
    ::FillRect(dc, &join, DcBrush(dc, face));
  }
  SelectGuard font(dc, FontHandle());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, Font().color);
  RECT text{r.left, r.top, r.right, r.bottom - 1};
  const std::wstring& caption = page.Caption();
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace win
