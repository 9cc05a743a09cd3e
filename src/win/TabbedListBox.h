// A list box of fixed-height rows drawn by the program, whose tab characters
// align text to stops counted in units of the list font's average character
// width. UI thread only.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Control.h"

namespace win {

// Where each tab-separated segment of a row starts. The first segment starts
// at startX; after each tab the next stop to the right of the pen is taken:
// a stop p > 0 starts the segment at origin + p, a stop p < 0 ends it at
// origin - p (never starting left of the pen). Past the last stop, tabs move
// to the next multiple of defaultTab from origin (none if defaultTab <= 0).
std::vector<int> LayoutTabbedSegments(int startX, int origin, const std::vector<int>& segmentWidths,
                                      const std::vector<int>& stopPixels, int defaultTab);

class TabbedListBox : public WinControl {
 public:
  explicit TabbedListBox(WinControl* parent);

  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  // In tab units: s > 0 starts the text after its tab at s units, s < 0 ends
  // it at -s units; measured from the left edge of the client area.
  const std::vector<int>& TabStops() const { return tabStops_; }
  void SetTabStops(std::vector<int> stops);
  // Width of "A..Za..z" in the list font / 52, rounded; measured again
  // whenever the font changes.
  int TabUnit() const { return tabUnit_; }
  std::vector<int> TabStopPixels() const;  // sign kept
  void SetBorder(bool border) { border_ = border; }  // before the window is made

  void Clear();
  void Add(std::wstring item);
  int Count() const { return static_cast<int>(items_.size()); }
  const std::wstring& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
  int ItemIndex() const;  // the selected row, -1 for none

  // Draws one row as the list shows it; rc is the row's rectangle in dc.
  void DrawRow(HDC dc, int index, const RECT& rc, bool selected, bool focused);

 protected:
  void CreateParams(CreateParamsData& params) override;
  void AfterCreateHandle() override;
  void WndProc(Message& m) override;
  bool DrawItem(const DRAWITEMSTRUCT& dis) override;
  bool MeasureItem(MEASUREITEMSTRUCT& mis) override;
  void FontChanged() override;

 private:
  void MeasureFont();

  std::vector<std::wstring> items_;  // mirrors the window's strings
  std::vector<int> tabStops_;
  int itemHeight_ = 16;
  int tabUnit_ = 0;
  int textHeight_ = 0;  // of "Pp"
  bool border_ = true;
};

}  // namespace win
