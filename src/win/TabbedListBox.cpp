#include "TabbedListBox.h"

#include <algorithm>
#include <cstdlib>

#include "OptionLayout.h"

namespace win {
namespace {

constexpr int kTextIndent = 2;       // first segment, from the row's left edge
constexpr int kDefaultTabUnits = 8;  // tabs beyond the last stop

std::vector<std::wstring> SplitAtTabs(const std::wstring& text) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : text) {
    if (c == L'\t')
      parts.emplace_back();
    else
      parts.back().push_back(c);
  }
  return parts;
}

int TextWidth(HDC dc, const std::wstring& text) {
  if (text.empty()) return 0;
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace

std::vector<int> LayoutTabbedSegments(int startX, int origin, const std::vector<int>& segmentWidths,
                                      const std::vector<int>& stopPixels, int defaultTab) {
  std::vector<int> xs;
  xs.reserve(segmentWidths.size());
  int pen = startX;
  size_t next = 0;
  for (size_t i = 0; i < segmentWidths.size(); ++i) {
    int width = segmentWidths[i];
    int x = pen;
    if (i > 0) {
      while (next < stopPixels.size() && origin + std::abs(stopPixels[next]) <= pen) ++next;
      if (next < stopPixels.size()) {
        int stop = origin + std::abs(stopPixels[next]);
        x = stopPixels[next] < 0 ? std::max(pen, stop - width) : stop;
        ++next;
      } else if (defaultTab > 0) {
        x = origin + ((pen - origin) / defaultTab + 1) * defaultTab;
      }
    }
    xs.push_back(x);
    pen = x + width;
  }
  return xs;
}

TabbedListBox::TabbedListBox(WinControl* parent) : WinControl(parent) {
  color_ = ::GetSysColor(COLOR_WINDOW);
  MeasureFont();
}

void TabbedListBox::CreateParams(CreateParamsData& params) {
  WinControl::CreateParams(params);
  params.className = L"LISTBOX";
  params.systemClass = true;
  params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                 LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  params.exStyle = border_ ? WS_EX_CLIENTEDGE : 0;
}

void TabbedListBox::AfterCreateHandle() {
  ::SendMessageW(handle_, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight_, 0));
  for (const std::wstring& item : items_)
    ::SendMessageW(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void TabbedListBox::SetItemHeight(int height) {
  itemHeight_ = std::max(height, 1);
  if (handle_) ::SendMessageW(handle_, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight_, 0));
  Invalidate();
}

void TabbedListBox::SetTabStops(std::vector<int> stops) {
  tabStops_ = std::move(stops);
  Invalidate();
}

std::vector<int> TabbedListBox::TabStopPixels() const {
  std::vector<int> pixels;
  pixels.reserve(tabStops_.size());
  for (int s : tabStops_) pixels.push_back(s * tabUnit_);
  return pixels;
}

void TabbedListBox::Clear() {
  items_.clear();
  if (handle_) ::SendMessageW(handle_, LB_RESETCONTENT, 0, 0);
}

void TabbedListBox::Add(std::wstring item) {
  items_.push_back(std::move(item));
  if (handle_)
    ::SendMessageW(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_.back().c_str()));
}

int TabbedListBox::ItemIndex() const {
  if (!handle_) return -1;
  LRESULT sel = ::SendMessageW(handle_, LB_GETCURSEL, 0, 0);
  return sel == LB_ERR ? -1 : static_cast<int>(sel);
}

void TabbedListBox::MeasureFont() {
  WindowDC screen(nullptr);
  SelectGuard font(screen.Get(), FontHandle());
  std::string sample(core::kTabUnitSample);
  int alphabet = TextWidth(screen.Get(), std::wstring(sample.begin(), sample.end()));
  tabUnit_ = core::TabUnitFromAlphabetWidth(alphabet);
  SIZE pp{};
  ::GetTextExtentPoint32W(screen.Get(), L"Pp", 2, &pp);
  textHeight_ = pp.cy;
}

void TabbedListBox::FontChanged() {
  MeasureFont();
  WinControl::FontChanged();
}

bool TabbedListBox::MeasureItem(MEASUREITEMSTRUCT& mis) {
  if (mis.CtlType != ODT_LISTBOX) return false;
  mis.itemHeight = static_cast<UINT>(itemHeight_);
  return true;
}

bool TabbedListBox::DrawItem(const DRAWITEMSTRUCT& dis) {
  if (dis.CtlType != ODT_LISTBOX) return false;
  bool focused = (dis.itemState & ODS_FOCUS) && !(dis.itemState & ODS_NOFOCUSRECT);
  int index = static_cast<int>(dis.itemID);  // -1: an empty list showing its focus
  if (index < 0 || index >= Count()) {
    UniqueBrush back(::CreateSolidBrush(color_));
    ::FillRect(dis.hDC, &dis.rcItem, back.Get());
    if (focused) ::DrawFocusRect(dis.hDC, &dis.rcItem);
    return true;
  }
  // Every action redraws the whole row, so the focus rectangle never XORs twice.
  DrawRow(dis.hDC, index, dis.rcItem, (dis.itemState & ODS_SELECTED) != 0, focused);
  return true;
}

void TabbedListBox::DrawRow(HDC dc, int index, const RECT& rc, bool selected, bool focused) {
  SavedDC saved(dc);
  UniqueBrush back(::CreateSolidBrush(selected ? ::GetSysColor(COLOR_HIGHLIGHT) : color_));
  ::FillRect(dc, &rc, back.Get());
  ::SetTextColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : Font().color);
  ::SetBkMode(dc, TRANSPARENT);
  ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
  {
    SelectGuard font(dc, FontHandle());
    std::vector<std::wstring> segments = SplitAtTabs(Item(index));
    std::vector<int> widths;
    widths.reserve(segments.size());
    for (const std::wstring& s : segments) widths.push_back(TextWidth(dc, s));
    std::vector<int> xs = LayoutTabbedSegments(rc.left + kTextIndent, rc.left, widths,
                                               TabStopPixels(), kDefaultTabUnits * tabUnit_);
    int y = rc.top + core::RowTextOffset(rc.bottom - rc.top, textHeight_);
    for (size_t i = 0; i < segments.size(); ++i) {
      if (!segments[i].empty())
        ::TextOutW(dc, xs[i], y, segments[i].c_str(), static_cast<int>(segments[i].size()));
    }
  }
  if (focused) {
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &rc);
  }
}

void TabbedListBox::WndProc(Message& m) {
  if (m.msg == WM_ERASEBKGND) {
    // The strip below the last row keeps the list colour, not the system's.
    RECT rc;
    ::GetClientRect(handle_, &rc);
    UniqueBrush back(::CreateSolidBrush(color_));
    ::FillRect(reinterpret_cast<HDC>(m.wParam), &rc, back.Get());
    m.result = 1;
    return;
  }
  WinControl::WndProc(m);
}

}  // namespace win
