// The key-binding window with real windows: rows and texts in both languages,
// tab-stop drawing in the list font, shape, placement over the main window,
// the ways it closes (and Escape, which does not), dragging, and a new window
// on every opening. Also the framework controls it is built from.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Application.h"
#include "Button.h"
#include "OptionLayout.h"
#include "PageControl.h"
#include "TabbedListBox.h"
#include "Text.h"
#include "Texts.h"
#include "Timer.h"
#include "UnitOption.h"
#include "UnitPlay.h"

namespace {

constexpr int kMainWidth = 670;
constexpr int kMainHeight = 429;

std::string Narrow(const std::wstring& text) { return win::ToUtf8(text); }

// A plain form in the main window's place (the real one wants the emulator
// next to the executable). Being created first, it is the application's
// main form, and so the options window's owner and placement reference.
class MainStandIn : public win::Form {};

MainStandIn& Main() {
  static MainStandIn* main = [] {
    win::App().Initialize();
    auto* form = win::App().CreateForm<MainStandIn>();
    form->SetBounds(100, 100, kMainWidth, kMainHeight);
    form->Show();
    return form;
  }();
  return *main;
}

std::wstring WindowText(HWND wnd) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(wnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::vector<std::wstring> ListRows(HWND list) {
  std::vector<std::wstring> rows;
  LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring row(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    row.resize(static_cast<size_t>(
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
    rows.push_back(row);
  }
  return rows;
}

// ---- Driving the modal loop ----

constexpr UINT kTickMs = 40;
constexpr int kGiveUpTicks = 150;  // 6 s after the last step
constexpr int kForcedClose = 99;

using Step = std::function<void(TFrmOption&)>;

// Runs one step per timer tick while the window is open, so that what a step
// posts is served before the next step runs. (That the ticks arrive at all
// shows the modal loop serving the thread's timers.) A window still open when
// the steps are done is closed by force and the test fails.
class ModalScript {
 public:
  ModalScript(std::function<TFrmOption*()> window, std::vector<Step> steps)
      : window_(std::move(window)), steps_(std::move(steps)) {
    timer_.OnTimer = [this] { Tick(); };
    timer_.SetEnabled(true);
  }
  size_t StepsRun() const { return next_; }

 private:
  void Tick() {
    TFrmOption* form = window_();
    if (!form || !form->InModal() || !::IsWindowVisible(form->Handle())) return;
    if (next_ < steps_.size()) {
      steps_[next_++](*form);
    } else if (++idle_ == kGiveUpTicks) {
      ADD_FAILURE() << "the options window did not close";
      form->SetModalResult(kForcedClose);
    }
  }

  std::function<TFrmOption*()> window_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int idle_ = 0;
  win::Timer timer_{kTickMs};
};

// Opens the window as the main window's Option buttons do.
void OpenThroughShowOptionWindow(std::vector<Step> steps) {
  const size_t count = steps.size();
  ModalScript script([] { return FrmOption; }, std::move(steps));
  ShowOptionWindow();
  EXPECT_EQ(script.StepsRun(), count);
  EXPECT_EQ(FrmOption, nullptr);
}

// Real input through the system's queue: the click lands on whatever is under it.
void ClickCentreOf(HWND wnd) {
  RECT r;
  ::GetWindowRect(wnd, &r);
  ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT in[2]{};
  in[0].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].type = INPUT_MOUSE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
}

// Keys go to the focus through the message loop and so through the dialog keys.
HWND KeyTarget(TFrmOption& form) {
  HWND focus = ::GetFocus();
  return focus ? focus : form.Handle();
}

void PostKey(TFrmOption& form, UINT vk) {
  HWND target = KeyTarget(form);
  ::PostMessageW(target, WM_KEYDOWN, vk, 1);
  ::PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

void PostAltChar(TFrmOption& form, wchar_t c) {
  ::PostMessageW(KeyTarget(form), WM_SYSCHAR, c, 0x20000001);  // bit 29: Alt is down
}

// ---- Closing ----

TEST(OptionWindow, ClosesWithOkEnterAltOAndTheCloseButtonButNotEscape) {
  Main();
  struct Case {
    const char* name;
    bool english;
    std::vector<Step> steps;
    int expectedResult;
  };
  const Step clickOk = [](TFrmOption& f) { ClickCentreOf(f.BtnOk.Handle()); };
  const Step stillOpen = [](TFrmOption& f) {
    EXPECT_TRUE(::IsWindowVisible(f.Handle()));
    EXPECT_EQ(f.ModalResult(), 0);
  };
  const std::vector<Case> cases = {
      {"OK clicked", false, {clickOk}, win::kModalResultOk},
      {"Enter", false, {[](TFrmOption& f) { PostKey(f, VK_RETURN); }}, win::kModalResultOk},
      {"Enter on the focused OK button", false,
       {[](TFrmOption& f) { f.BtnOk.SetFocus(); }, [](TFrmOption& f) { PostKey(f, VK_RETURN); }},
       win::kModalResultOk},
      {"Alt+O, Chinese caption", false, {[](TFrmOption& f) { PostAltChar(f, L'o'); }}, win::kModalResultOk},
      {"Alt+O, English caption", true, {[](TFrmOption& f) { PostAltChar(f, L'o'); }}, win::kModalResultOk},
      {"close button clicked", false, {[](TFrmOption& f) { ClickCentreOf(f.RzBmpButton1.Handle()); }},
       win::kModalResultCancel},
      {"Escape does nothing", false,
       {[](TFrmOption& f) { PostKey(f, VK_ESCAPE); }, stillOpen, stillOpen, clickOk},
       win::kModalResultOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseEnglish = c.english;
    TFrmOption form;
    form.Create();
    ModalScript script([&form] { return &form; }, c.steps);
    int result = form.ShowModal();
    EXPECT_EQ(result, c.expectedResult);
    EXPECT_EQ(script.StepsRun(), c.steps.size());
    // The same outcome whichever way: shadow freed, window hidden, main window usable.
    EXPECT_EQ(form.ShadowWindow(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(form.Handle()));
    EXPECT_TRUE(::IsWindowEnabled(Main().Handle()));
    form.Destroy();
  }
  UseEnglish = false;
}

// ---- Opening: placement, modality, a new window each time ----

TEST(OptionWindow, EachOpeningIsANewWindowCentredOverTheMainWindow) {
  struct Case {
    const char* name;
    POINT main;
    POINT expected;
  };
  const Case cases[] = {
      {"145 right of and 26 above the main window", {100, 100}, {245, 74}},
      {"main window near the top: top edge at 0", {300, 10}, {445, 0}},
      {"main window off the left edge: left edge at 0", {-200, 50}, {0, 24}},
      {"the first place again", {100, 100}, {245, 74}},
  };
  std::vector<HWND> windows, shadows;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Main().SetBounds(c.main.x, c.main.y, kMainWidth, kMainHeight);
    HWND seen = nullptr;
    OpenThroughShowOptionWindow({[&](TFrmOption& f) {
      seen = f.Handle();
      RECT r;
      ::GetWindowRect(f.Handle(), &r);
      EXPECT_EQ(r.left, c.expected.x);
      EXPECT_EQ(r.top, c.expected.y);
      EXPECT_EQ(r.right - r.left, 380);
      EXPECT_EQ(r.bottom - r.top, 481);
      EXPECT_FALSE(::IsWindowEnabled(Main().Handle())) << "the main window stays disabled";
      EXPECT_EQ(::GetWindow(f.Handle(), GW_OWNER), Main().Handle());
      ASSERT_NE(f.ShadowWindow(), nullptr);
      if (HWND shadow = f.ShadowWindow()->Handle()) {
        EXPECT_TRUE(::IsWindowVisible(shadow));
        shadows.push_back(shadow);
      }
      ShowOptionWindow();  // while one is open, no second one (nor a nested modal loop)
      EXPECT_EQ(FrmOption, &f);
      f.BtnOk.Click();
    }});
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(::IsWindow(seen)) << "the window is destroyed once closed";
    EXPECT_TRUE(::IsWindowEnabled(Main().Handle()));
    windows.push_back(seen);
  }
  for (size_t i = 0; i < windows.size(); ++i)
    for (size_t j = i + 1; j < windows.size(); ++j) EXPECT_NE(windows[i], windows[j]);
  for (size_t i = 0; i < shadows.size(); ++i) {
    EXPECT_FALSE(::IsWindow(shadows[i]));
    for (size_t j = i + 1; j < shadows.size(); ++j) EXPECT_NE(shadows[i], shadows[j]);
  }
  Main().SetBounds(100, 100, kMainWidth, kMainHeight);
}

// ---- Texts and rows ----

TEST(OptionWindow, TextsAndRowsFollowTheLanguage) {
  Main();
  struct Case {
    bool english;
    std::wstring caption, tab, ok, hint, windowFont, titleFont;
    int titleHeight;
    std::wstring row1, row13;
  };
  const Case cases[] = {
      {false, L"设置", L"键盘默认设置", L"确定(&O)", L"关闭", L"宋体", L"宋体", -13, L"\t设置\tTab",
       L"\t吃牌\t空格键"},
      {true, L"Options", L"Keyboard default options", L"&Ok", L"Close", L"Tahoma", L"Tahoma", -11,
       L"\tOption\tTab", L"\tChi\tSpace"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english ? "English" : "Chinese");
    UseEnglish = c.english;
    OpenThroughShowOptionWindow({[&](TFrmOption& f) {
      EXPECT_EQ(Narrow(WindowText(f.Handle())), Narrow(c.caption));
      EXPECT_EQ(Narrow(f.Label1.Caption()), Narrow(c.caption));
      EXPECT_EQ(Narrow(f.TabSheet1.Caption()), Narrow(c.tab));
      EXPECT_EQ(Narrow(WindowText(f.BtnOk.Handle())), Narrow(c.ok));
      EXPECT_EQ(Narrow(f.TooltipText(&f.RzBmpButton1)), Narrow(c.hint));
      EXPECT_EQ(Narrow(f.Font().name), Narrow(c.windowFont));
      EXPECT_EQ(Narrow(f.Label1.Font().name), Narrow(c.titleFont));
      EXPECT_EQ(f.Label1.Font().height, c.titleHeight);
      EXPECT_TRUE(f.Label1.Font().bold);
      EXPECT_EQ(f.Label1.Font().color, RGB(255, 255, 255));
      EXPECT_EQ(Narrow(f.RzTabbedListBox1.Font().name), "宋体");  // the list keeps its own font
      EXPECT_EQ(f.RzTabbedListBox1.Font().height, -12);

      HWND list = f.RzTabbedListBox1.Handle();
      std::vector<std::wstring> rows = ListRows(list);
      ASSERT_EQ(rows.size(), 19u);
      EXPECT_EQ(rows[0], L"");
      EXPECT_EQ(Narrow(rows[1]), Narrow(c.row1));
      EXPECT_EQ(Narrow(rows[13]), Narrow(c.row13));
      std::vector<std::wstring> expected = core::KeyBindingRows(c.english);
      for (size_t i = 0; i < rows.size() && i < expected.size(); ++i)
        EXPECT_EQ(Narrow(rows[i]), Narrow(expected[i])) << "row " << i;
      EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR) << "no row selected at opening";
      EXPECT_EQ(::GetFocus(), list) << "the keyboard starts on the first control in the tab order";
      f.BtnOk.Click();
    }});
  }
  UseEnglish = false;
}

// ---- Shape and layout ----

TEST(OptionWindow, RoundedShapeAndTheWholeTableInView) {
  Main();
  TFrmOption form;
  form.Create();
  win::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(form.Handle(), region.Get()), ERROR);
  win::UniqueRegion expected(::CreateRoundRectRgn(1, 1, 380, 481, 9, 9));
  // The same area (the rectangle lists may be split differently).
  win::UniqueRegion difference(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::CombineRgn(difference.Get(), region.Get(), expected.Get(), RGN_XOR), NULLREGION);

  RECT sheet;
  ::GetClientRect(form.TabSheet1.Handle(), &sheet);
  EXPECT_EQ(sheet.right, 352);
  EXPECT_EQ(sheet.bottom, 342);
  RECT tab = form.RzPageControl1.TabRect(0);
  EXPECT_EQ(tab.bottom - tab.top, 24);

  HWND list = form.RzTabbedListBox1.Handle();
  RECT client;
  ::GetClientRect(list, &client);
  EXPECT_EQ(client.right, 330) << "no frame and no scroll bar";
  EXPECT_EQ(client.bottom, 319);
  RECT last{};
  ::SendMessageW(list, LB_GETITEMRECT, 18, reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(last.top, 18 * 16);
  EXPECT_EQ(last.bottom, 304);
  EXPECT_EQ(::SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
  form.Destroy();
}

// ---- Tab stops ----

// A 32-bit top-down bitmap in a memory DC whose pixels can be read back.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(dc_.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const DWORD*>(bits);
    select_.emplace(dc_.Get(), bitmap_.Get());
  }
  HDC Dc() const { return dc_.Get(); }
  COLORREF Pixel(int x, int y) const {
    ::GdiFlush();
    DWORD v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  bool Lit(int x, int y) const { return Pixel(x, y) != RGB(0, 0, 0); }
  // First and last column in [from, to) with a lit pixel; {-1, -1} if none.
  std::pair<int, int> LitColumns(int from, int to) const {
    std::pair<int, int> span{-1, -1};
    for (int x = from; x < to; ++x)
      for (int y = 0; y < height_; ++y)
        if (Lit(x, y)) {
          if (span.first < 0) span.first = x;
          span.second = x;
          break;
        }
    return span;
  }
  int FirstLitRow() const {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (Lit(x, y)) return y;
    return -1;
  }

 private:
  int width_, height_;
  win::UniqueDC dc_;
  win::UniqueBitmap bitmap_;
  const DWORD* bits_ = nullptr;
  std::optional<win::SelectGuard> select_;
};

// Text drawn on its own at a known place in the list font: where its ink
// lies relative to the pen, independent of the list's own layout.
struct Ink {
  int first, last, top, width;
};
Ink InkOf(HFONT font, const std::wstring& text) {
  constexpr int kPen = 20;
  Canvas c(400, 64);
  win::SelectGuard sel(c.Dc(), font);
  ::SetBkMode(c.Dc(), TRANSPARENT);
  ::SetTextColor(c.Dc(), RGB(255, 255, 255));
  ::TextOutW(c.Dc(), kPen, 0, text.c_str(), static_cast<int>(text.size()));
  SIZE size{};
  ::GetTextExtentPoint32W(c.Dc(), text.c_str(), static_cast<int>(text.size()), &size);
  auto span = c.LitColumns(0, 400);
  return {span.first - kPen, span.second - kPen, c.FirstLitRow(), size.cx};
}

SIZE Extent(HFONT font, const std::wstring& text) {
  win::WindowDC screen(nullptr);
  win::SelectGuard sel(screen.Get(), font);
  SIZE size{};
  ::GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

std::wstring FaceName(HFONT font) {
  win::WindowDC screen(nullptr);
  win::SelectGuard sel(screen.Get(), font);
  wchar_t face[LF_FACESIZE] = {};
  ::GetTextFaceW(screen.Get(), LF_FACESIZE, face);
  return face;
}

// Each row drawn by the list: the action's ink ends where right-aligning its
// text (trailing space included) at 18 units puts it, the key's ink starts at
// 22 units, the text sits (row height - height of "Pp") / 2 below the row's
// top. Rows are drawn 16 pixels high, or taller for a font that needs it.
void ExpectRowsOnTheStops(win::TabbedListBox& list) {
  HFONT font = list.FontHandle();
  const int unit = list.TabUnit();
  const int actionEnd = 18 * unit, keyStart = 22 * unit, split = 20 * unit;
  const int textHeight = Extent(font, L"Pp").cy;
  const int rowHeight = std::max(16, textHeight);
  const int textTop = core::RowTextOffset(rowHeight, textHeight);
  for (int i = 1; i < list.Count(); ++i) {
    std::wstring row = list.Item(i);
    SCOPED_TRACE(Narrow(row));
    size_t second = row.find(L'\t', 1);
    ASSERT_NE(second, std::wstring::npos);
    std::wstring action = row.substr(1, second - 1), key = row.substr(second + 1);
    Canvas c(330, rowHeight);
    list.DrawRow(c.Dc(), i, RECT{0, 0, 330, rowHeight}, false, false);
    Ink a = InkOf(font, action), k = InkOf(font, key);
    EXPECT_EQ(c.LitColumns(0, split).second, actionEnd - a.width + a.last);
    EXPECT_EQ(c.LitColumns(split, 330).first, keyStart + k.first);
    EXPECT_EQ(c.FirstLitRow(), textTop + std::min(a.top, k.top));
    if (action.back() == L' ') {
      EXPECT_LE(c.LitColumns(0, split).second + 1, actionEnd - Extent(font, L" ").cx);
    }
  }
  Canvas empty(330, 16);
  list.DrawRow(empty.Dc(), 0, RECT{0, 0, 330, 16}, false, false);
  EXPECT_EQ(empty.FirstLitRow(), -1) << "the first row is empty";
  Canvas selected(330, 16);
  list.DrawRow(selected.Dc(), 1, RECT{0, 0, 330, 16}, true, false);
  EXPECT_EQ(selected.Pixel(0, 0), ::GetSysColor(COLOR_HIGHLIGHT));
}

int UnitMeasuredFor(HFONT font) {
  std::string sample(core::kTabUnitSample);
  int width = Extent(font, std::wstring(sample.begin(), sample.end())).cx;
  return (width + 26) / 52;
}

// The list as the window system paints it: every row is the owner-drawn row
// (reached through the sheet's WM_DRAWITEM), and the strip below the last
// row keeps the list's black, not the system's window colour.
TEST(OptionWindow, TheListPaintsItsRowsOnBlack) {
  Main();
  TFrmOption form;
  form.Create();
  win::TabbedListBox& list = form.RzTabbedListBox1;
  Canvas painted(330, 319);
  ::SendMessageW(list.Handle(), WM_PRINT, reinterpret_cast<WPARAM>(painted.Dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
  for (int i = 0; i < list.Count(); ++i) {
    Canvas row(330, 16);
    list.DrawRow(row.Dc(), i, RECT{0, 0, 330, 16}, false, false);
    int mismatches = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 330; ++x) mismatches += painted.Pixel(x, 16 * i + y) != row.Pixel(x, y);
    EXPECT_EQ(mismatches, 0) << "row " << i;
  }
  int lit = 0;
  for (int y = 304; y < 319; ++y)
    for (int x = 0; x < 330; ++x) lit += painted.Lit(x, y);
  EXPECT_EQ(lit, 0) << "the strip below the rows";
  form.Destroy();
}

TEST(OptionWindow, RowsAreDrawnOnTabStopsInUnitsOfTheListFont) {
  Main();
  for (bool english : {false, true}) {
    SCOPED_TRACE(english ? "English" : "Chinese");
    UseEnglish = english;
    TFrmOption form;
    form.Create();
    win::TabbedListBox& list = form.RzTabbedListBox1;
    ASSERT_EQ(list.Count(), 19);
    HFONT font = list.FontHandle();
    EXPECT_EQ(list.TabUnit(), UnitMeasuredFor(font));
    std::wstring face = FaceName(font);
    if (face == L"宋体" || face == L"SimSun") {
      EXPECT_EQ(list.TabUnit(), 6);
    }
    ASSERT_GT(list.TabUnit(), 0);
    ExpectRowsOnTheStops(list);

    // A new font is measured again, and the rows follow it.
    const int firstUnit = list.TabUnit();
    list.SetFont({L"Tahoma", -20, false, false, RGB(255, 255, 255)});
    EXPECT_EQ(list.TabUnit(), UnitMeasuredFor(list.FontHandle()));
    EXPECT_NE(list.TabUnit(), firstUnit);
    ExpectRowsOnTheStops(list);
    form.Destroy();
  }
  UseEnglish = false;
}

TEST(TabbedLayout, SegmentsAfterTabsGoToTheNextStopRightOfThePen) {
  struct Case {
    const char* name;
    int startX, origin;
    std::vector<int> widths, stops;
    int defaultTab;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"as in the key list", 2, 0, {0, 30, 12}, {-108, 132}, 48, {2, 78, 132}},
      {"right-aligned text wider than its room starts at the pen", 2, 0, {50, 80, 10}, {-108, 132}, 48,
       {2, 52, 144}},
      {"stops at or left of the pen are skipped", 2, 0, {120, 10}, {-108, 132}, 48, {2, 132}},
      {"past the last stop: multiples of the default", 2, 0, {0, 10, 10, 10}, {20}, 48, {2, 20, 48, 96}},
      {"no stops and no default: the pen", 2, 0, {0, 5, 5}, {}, 0, {2, 2, 7}},
      {"stops count from the origin", 12, 10, {0, 30, 4}, {-108, 132}, 48, {12, 88, 142}},
      {"no tab", 2, 0, {40}, {-108, 132}, 48, {2}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(win::LayoutTabbedSegments(c.startX, c.origin, c.widths, c.stops, c.defaultTab), c.expected)
        << c.name;
  }
}

// ---- Dragging ----

// Takes the window's messages in front of its own handling and keeps the
// move command (which would start the system's move loop) for itself.
struct MoveRecorder {
  win::WndMethod next;
  std::vector<WPARAM> commands;
  void Proc(win::Message& m) {
    if (m.msg == WM_SYSCOMMAND) {
      commands.push_back(m.wParam);
      return;
    }
    next(m);
  }
};

TEST(OptionWindow, AnyMouseButtonOnTheTitleStripStartsTheMove) {
  Main();
  TFrmOption form;
  form.Create();
  MoveRecorder recorder{form.WindowProc, {}};
  form.WindowProc = win::WndMethod::Of<MoveRecorder, &MoveRecorder::Proc>(&recorder);
  struct Case {
    const char* name;
    UINT message;
    POINT at;
    bool moves;
  };
  const Case cases[] = {
      {"left button on the band", WM_LBUTTONDOWN, {200, 5}, true},
      {"right button on the title text", WM_RBUTTONDOWN, {35, 14}, true},
      {"middle button on the last row of the strip", WM_MBUTTONDOWN, {300, 27}, true},
      {"left button below the strip", WM_LBUTTONDOWN, {200, 30}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recorder.commands.clear();
    ::SendMessageW(form.Handle(), c.message, 0, MAKELPARAM(c.at.x, c.at.y));
    ::SendMessageW(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.at.x, c.at.y));
    if (c.moves) {
      ASSERT_EQ(recorder.commands.size(), 1u);
      EXPECT_EQ(recorder.commands[0], 0xF012u);
      EXPECT_NE(::GetCapture(), form.Handle()) << "the capture is released first";
    } else {
      EXPECT_TRUE(recorder.commands.empty());
    }
  }
  form.WindowProc = recorder.next;
  form.Destroy();
}

// ---- Framework controls ----

class Host : public win::Form {
 public:
  Host() { SetClientSize(200, 100); }
  win::Button Btn{this};
};

TEST(Button, ClicksOnReleaseInsideOnSpaceAndOnItsAccelerator) {
  Main();
  struct Case {
    const char* name;
    std::vector<std::pair<UINT, LPARAM>> messages;  // wParam: VK_SPACE for keys, else 0
    int clicks;
    bool hotAfter;
  };
  const LPARAM inside = MAKELPARAM(10, 10), outside = MAKELPARAM(150, 10);
  const Case cases[] = {
      {"press and release inside", {{WM_LBUTTONDOWN, inside}, {WM_LBUTTONUP, inside}}, 1, false},
      {"press inside, release outside", {{WM_LBUTTONDOWN, inside}, {WM_MOUSEMOVE, outside}, {WM_LBUTTONUP, outside}},
       0, false},
      {"pointer over it", {{WM_MOUSEMOVE, inside}}, 0, true},
      {"pointer over it, then gone", {{WM_MOUSEMOVE, inside}, {WM_MOUSELEAVE, 0}}, 0, false},
      {"Space pressed and released", {{WM_KEYDOWN, 0}, {WM_KEYUP, 0}}, 1, false},
      {"Space pressed, focus lost", {{WM_KEYDOWN, 0}, {WM_KILLFOCUS, 0}, {WM_KEYUP, 0}}, 0, false},
      {"BM_CLICK from the dialog keys", {{BM_CLICK, 0}}, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Host host;
    host.Btn.SetBounds(0, 0, 91, 23);
    host.Btn.SetCaption(L"&Ok");
    host.Btn.SetHotTrack(true);
    host.Btn.SetModalResult(win::kModalResultOk);
    int clicks = 0;
    host.Btn.OnClick = [&] { ++clicks; };
    host.Create();
    for (auto [msg, lp] : c.messages) {
      WPARAM wp = (msg == WM_KEYDOWN || msg == WM_KEYUP) ? VK_SPACE : 0;
      ::SendMessageW(host.Btn.Handle(), msg, wp, lp);
    }
    EXPECT_EQ(clicks, c.clicks);
    EXPECT_EQ(host.ModalResult(), c.clicks ? win::kModalResultOk : 0);
    EXPECT_EQ(host.Btn.Hot(), c.hotAfter);
    EXPECT_FALSE(host.Btn.Down());
    host.Destroy();
  }
}

TEST(PageControl, ATabClickShowsItsSheetInTheDisplayArea) {
  Main();
  struct Pages : win::Form {
    win::PageControl pages{this};
    win::TabSheet first{&pages};
    win::TabSheet second{&pages};
  } form;
  form.SetClientSize(300, 200);
  form.pages.SetBounds(0, 0, 300, 200);
  form.pages.SetTabHeight(24);
  form.first.SetCaption(L"One");
  form.second.SetCaption(L"Two");
  form.Create();
  EXPECT_EQ(form.pages.ActivePage(), &form.first);
  EXPECT_TRUE(::GetWindowLongPtrW(form.first.Handle(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(::GetWindowLongPtrW(form.second.Handle(), GWL_STYLE) & WS_VISIBLE);

  RECT tab = form.pages.TabRect(1);
  ::SendMessageW(form.pages.Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2));
  EXPECT_EQ(form.pages.ActivePage(), &form.second);
  EXPECT_TRUE(::GetWindowLongPtrW(form.second.Handle(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(::GetWindowLongPtrW(form.first.Handle(), GWL_STYLE) & WS_VISIBLE);
  RECT display = form.pages.DisplayRect();
  for (win::TabSheet* sheet : {&form.first, &form.second}) {
    EXPECT_EQ(sheet->Left(), display.left);
    EXPECT_EQ(sheet->Top(), display.top);
    EXPECT_EQ(sheet->Width(), display.right - display.left);
    EXPECT_EQ(sheet->Height(), display.bottom - display.top);
  }
  EXPECT_GT(form.pages.TabRect(1).left, form.pages.TabRect(0).left);
  form.Destroy();
}

}  // namespace
