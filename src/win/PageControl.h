// A page control: a row of tabs over a framed body in which the active tab
// sheet lies, and the tab sheets themselves. Both are containers that the
// dialog keys step into (Tab reaches the controls on the sheet). UI thread only.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Control.h"

namespace win {

class PageControl;

class TabSheet : public WinControl {
 public:
  explicit TabSheet(PageControl* pageControl);
  ~TabSheet() override;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);  // the text on its tab
  PageControl* PageControlOf() const { return pageControl_; }

 protected:
  void CreateParams(CreateParamsData& params) override;

 private:
  friend class PageControl;
  PageControl* pageControl_;
  std::wstring caption_;
};

enum class TabStyle { Square, RoundCorners };

class PageControl : public WinControl {
 public:
  explicit PageControl(WinControl* parent);
  ~PageControl() override;

  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int height);
  TabStyle Style() const { return tabStyle_; }
  void SetTabStyle(TabStyle style);

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TabSheet* Page(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TabSheet* ActivePage() const { return active_; }
  void SetActivePage(TabSheet* page);

  // In this control's client coordinates: the area the sheets fill, and the
  // rectangle of a tab (its caption's width plus padding).
  RECT DisplayRect() const;
  RECT TabRect(int index) const;

  void PaintFace(HDC dc) override;

 protected:
  void CreateParams(CreateParamsData& params) override;
  void WndProc(Message& m) override;
  void BoundsChanged(const RECT& oldBounds) override;

 private:
  friend class TabSheet;
  void AddPage(TabSheet* page);
  void RemovePage(TabSheet* page);
  void AlignPages();
  int TabWidth(HDC dc, const TabSheet& page) const;
  void PaintTab(HDC dc, const TabSheet& page, const RECT& tab, bool active);

  std::vector<TabSheet*> pages_;
  TabSheet* active_ = nullptr;
  int tabHeight_ = 20;
  TabStyle tabStyle_ = TabStyle::Square;
};

}  // namespace win
