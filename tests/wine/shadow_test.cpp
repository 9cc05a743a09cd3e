// The drop shadow on real windows: its window (place, size, styles, hit test,
// visibility), the image it hands to the window system, how it follows,
// hooks and unhooks its form, and the main window's shadow.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Application.h"
#include "UnitPlay.h"
#include "ufrmShadowFrame.h"

namespace {

constexpr COLORREF kShadowColour = 10582346;  // RGB(74, 121, 161)
constexpr COLORREF kFace = RGB(218, 232, 252);

// A borderless form that tells its shadow about WM_SHOWWINDOW as the
// launcher's windows do, and counts its position changes.
class ShadowedForm : public win::Form {
 public:
  ShadowedForm(int left, int top, int width = 100, int height = 60) {
    win::App().Initialize();
    SetColor(kFace);
    SetBounds(left, top, width, height);
    Create();
  }
  TFormShadow* Shadow = nullptr;  // not owned
  int PosChanges = 0;

 protected:
  void WndProc(win::Message& m) override {
    if (m.msg == WM_SHOWWINDOW && Shadow) Shadow->SetShadowVisible(m.wParam != 0);
    if (m.msg == WM_WINDOWPOSCHANGED) ++PosChanges;
    Form::WndProc(m);
  }
};

void Attach(ShadowedForm& form, TFormShadow& shadow) {
  form.Shadow = &shadow;
  shadow.AttachForm(&form);
  shadow.SetShadowColor(kShadowColour);
}

RECT WindowRect(HWND wnd) {
  RECT r{};
  ::GetWindowRect(wnd, &r);
  return r;
}

std::string Describe(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof(text), "(%ld,%ld)-(%ld,%ld)", static_cast<long>(r.left),
                static_cast<long>(r.top), static_cast<long>(r.right), static_cast<long>(r.bottom));
  return text;
}

// The shadow window stands 16 px up-left of the form and 32 px larger.
void ExpectPlacedAround(HWND shadow, HWND form) {
  const RECT f = WindowRect(form);
  const RECT s = WindowRect(shadow);
  const RECT want{f.left - 16, f.top - 16, f.right + 16, f.bottom + 16};
  EXPECT_TRUE(::EqualRect(&s, &want)) << "shadow " << Describe(s) << ", want " << Describe(want);
}

void MoveTo(HWND wnd, int x, int y) {
  ::SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

uint8_t Alpha(const TFormShadow& s, int x, int y) { return s.Image().Pixel(x, y)[3]; }

std::vector<uint8_t> Alphas(const TFormShadow& s) {
  const core::PixelView v = s.Image();
  std::vector<uint8_t> a;
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x) a.push_back(v.Pixel(x, y)[3]);
  return a;
}

int MaxAlphaUnder(const TFormShadow& s, int formWidth, int formHeight) {
  int most = 0;
  for (int y = 16; y < 16 + formHeight; ++y)
    for (int x = 16; x < 16 + formWidth; ++x) most = std::max<int>(most, Alpha(s, x, y));
  return most;
}

// ---- the window ------------------------------------------------------------

TEST(ShadowWindow, HiddenClickThroughToolPopupThatShowsBehindItsForm) {
  ShadowedForm form(200, 150);
  TFormShadow shadow;
  Attach(form, shadow);

  HWND wnd = shadow.Handle();
  ASSERT_NE(wnd, nullptr) << "attaching to a form with a window makes the shadow's window";
  EXPECT_FALSE(::IsWindowVisible(wnd));
  EXPECT_EQ(shadow.RebuildCount(), 0) << "nothing to draw while the form is hidden";
  EXPECT_EQ(::GetWindow(wnd, GW_OWNER), win::App().Handle());
  // The system adds WS_CLIPSIBLINGS to every top-level window; nothing else.
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(wnd, GWL_STYLE));
  EXPECT_EQ(style & ~static_cast<DWORD>(WS_CLIPSIBLINGS), static_cast<DWORD>(WS_POPUP)) << std::hex << style;
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(wnd, GWL_EXSTYLE));
  const DWORD wantEx = WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;
  EXPECT_EQ(exStyle & wantEx, wantEx) << std::hex << exStyle;
  EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0u);
  EXPECT_EQ(static_cast<UINT>(::GetClassLongPtrW(wnd, GCL_STYLE)),
            static_cast<UINT>(CS_OWNDC | CS_DBLCLKS));

  form.Show();
  EXPECT_TRUE(::IsWindowVisible(wnd));
  EXPECT_EQ(shadow.RebuildCount(), 1);
  ExpectPlacedAround(wnd, form.Handle());
  EXPECT_EQ(::GetWindow(form.Handle(), GW_HWNDNEXT), wnd) << "directly behind the form";
  EXPECT_NE(::GetForegroundWindow(), wnd);
  EXPECT_NE(::GetActiveWindow(), wnd);

  const POINT inside{190, 140};
  EXPECT_EQ(::SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTTRANSPARENT);
  EXPECT_EQ(::SendMessageW(wnd, WM_ERASEBKGND, 0, 0), 1);
}

// ---- the image -------------------------------------------------------------

TEST(ShadowImage, BlurredOutlineOfA100x60FormWithAHoleUnderIt) {
  ShadowedForm form(200, 150);
  TFormShadow shadow;
  Attach(form, shadow);
  form.Show();

  const core::PixelView image = shadow.Image();
  ASSERT_EQ(image.width, 132);
  ASSERT_EQ(image.height, 92);
  struct Spot {
    int x, y;
    uint8_t alpha;
  };
  const Spot spots[] = {
      {66, 9, 0},    {66, 10, 31}, {66, 11, 47}, {66, 12, 71}, {66, 13, 99},  {66, 14, 121},
      {66, 15, 140}, {66, 76, 91}, {66, 77, 76}, {66, 78, 63}, {66, 91, 4},   {0, 46, 0},
      {2, 46, 1},    {10, 46, 37}, {15, 46, 113}, {131, 46, 0}, {116, 46, 113}, {121, 46, 37},
  };
  for (const Spot& s : spots) EXPECT_EQ(Alpha(shadow, s.x, s.y), s.alpha) << s.x << "," << s.y;

  struct Bytes {
    int x, y;
    uint8_t b, g, r, a;
  };
  for (const Bytes& p : {Bytes{66, 15, 88, 66, 40, 140}, Bytes{66, 76, 57, 43, 26, 91}}) {
    const uint8_t* px = image.Pixel(p.x, p.y);
    EXPECT_EQ(px[0], p.b) << p.x << "," << p.y;
    EXPECT_EQ(px[1], p.g) << p.x << "," << p.y;
    EXPECT_EQ(px[2], p.r) << p.x << "," << p.y;
    EXPECT_EQ(px[3], p.a) << p.x << "," << p.y;
  }
  for (int y = 16; y < 76; ++y)
    for (int x = 16; x < 116; ++x)
      ASSERT_EQ(*reinterpret_cast<const uint32_t*>(image.Pixel(x, y)), 0u) << x << "," << y;
  const std::vector<uint8_t> a = Alphas(shadow);
  EXPECT_EQ(*std::max_element(a.begin(), a.end()), 140);
}

TEST(ShadowImage, OutlineFollowsTheWindowRegion) {
  auto shadowOf = [](HRGN region, TFormShadow& shadow, ShadowedForm& form) {
    if (region) form.SetWindowRegion(win::UniqueRegion(region));  // the form owns it from here
    Attach(form, shadow);
    form.Show();
  };
  ShadowedForm plainForm(100, 100), rectForm(300, 100), roundForm(500, 100);
  TFormShadow plain, rect, round;
  shadowOf(nullptr, plain, plainForm);
  shadowOf(::CreateRectRgn(0, 0, 100, 60), rect, rectForm);
  shadowOf(::CreateRoundRectRgn(0, 0, 101, 61, 20, 20), round, roundForm);

  EXPECT_EQ(Alphas(rect), Alphas(plain)) << "a plain rectangle counts as no region";

  // The corner of the window lies outside the rounded outline: shadow shows
  // there, and less of it spills past the corner; inside the outline, none.
  EXPECT_EQ(Alpha(plain, 16, 16), 0);
  EXPECT_GT(Alpha(round, 16, 16), 0);
  EXPECT_LT(Alpha(round, 15, 15), Alpha(plain, 15, 15));
  EXPECT_EQ(Alpha(round, 66, 15), Alpha(plain, 66, 15)) << "straight edges as before";
  win::UniqueRegion inside(::CreateRoundRectRgn(0, 0, 101, 61, 20, 20));
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x)
      if (::PtInRegion(inside.Get(), x, y)) {
        ASSERT_EQ(Alpha(round, x + 16, y + 16), 0) << x << "," << y;
      }
}

TEST(ShadowImage, TransparentColourCastsFromVisiblePixelsOnly) {
  ShadowedForm form(200, 150);
  form.TransparentColor = true;
  form.TransparentColorValue = RGB(1, 2, 3);  // nowhere on the face
  TFormShadow shadow;
  Attach(form, shadow);
  form.Show();
  EXPECT_EQ(Alpha(shadow, 66, 15), 140) << "the whole face is visible: the plain shadow";
  EXPECT_EQ(MaxAlphaUnder(shadow, 100, 60), 0);

  // Now the whole face is the transparent colour: nothing casts a shadow.
  // A change of the value alone shows at the next position change.
  const int before = shadow.RebuildCount();
  form.TransparentColorValue = kFace;
  EXPECT_EQ(Alpha(shadow, 66, 15), 140);
  MoveTo(form.Handle(), 210, 150);
  EXPECT_EQ(shadow.RebuildCount(), before + 1);
  const std::vector<uint8_t> a = Alphas(shadow);
  EXPECT_EQ(*std::max_element(a.begin(), a.end()), 0);
}

TEST(ShadowImage, NewColourKeepsTheShapeAndAlpha) {
  ShadowedForm form(200, 150);
  TFormShadow shadow;
  shadow.SetShadowColor(RGB(255, 0, 0));  // before any form: kept for the first build
  form.Shadow = &shadow;
  shadow.AttachForm(&form);
  form.Show();
  const uint8_t* px = shadow.Image().Pixel(66, 15);
  EXPECT_EQ(px[0], 0);
  EXPECT_EQ(px[1], 0);
  EXPECT_EQ(px[2], 140);
  EXPECT_EQ(px[3], 140);

  const std::vector<uint8_t> alpha = Alphas(shadow);
  const int rebuilds = shadow.RebuildCount();
  shadow.SetShadowColor(kShadowColour);
  EXPECT_EQ(Alphas(shadow), alpha);
  EXPECT_EQ(shadow.RebuildCount(), rebuilds);
  EXPECT_EQ(px[0], 88);
  EXPECT_EQ(px[1], 66);
  EXPECT_EQ(px[2], 40);
}

// ---- following the form ----------------------------------------------------

TEST(ShadowFollow, MovesWithoutPixelWorkAndRebuildsOnResize) {
  ShadowedForm form(200, 150);
  TFormShadow shadow;
  Attach(form, shadow);
  form.Show();
  const int built = shadow.RebuildCount();

  MoveTo(form.Handle(), 330, 270);
  ExpectPlacedAround(shadow.Handle(), form.Handle());
  EXPECT_EQ(shadow.RebuildCount(), built) << "a move costs no rebuild";
  EXPECT_EQ(::GetWindow(form.Handle(), GW_HWNDNEXT), shadow.Handle());

  ::SetWindowPos(form.Handle(), nullptr, 0, 0, 120, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(shadow.RebuildCount(), built + 1);
  EXPECT_EQ(shadow.Image().width, 152);
  EXPECT_EQ(shadow.Image().height, 112);
  ExpectPlacedAround(shadow.Handle(), form.Handle());
  EXPECT_EQ(MaxAlphaUnder(shadow, 120, 80), 0);
}

TEST(ShadowFollow, HidesWithTheFormAndWhileMinimised) {
  ShadowedForm form(200, 150);
  TFormShadow shadow;
  Attach(form, shadow);
  form.Show();
  HWND wnd = shadow.Handle();
  const int built = shadow.RebuildCount();

  form.Hide();  // SW_HIDE: WM_SHOWWINDOW, then the hiding position change
  EXPECT_FALSE(shadow.IsShadowVisible());
  EXPECT_FALSE(::IsWindowVisible(wnd));
  form.Show();
  EXPECT_TRUE(::IsWindowVisible(wnd));

  ::ShowWindow(form.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(::IsIconic(form.Handle()));
  EXPECT_FALSE(::IsWindowVisible(wnd));
  ::ShowWindow(form.Handle(), SW_RESTORE);
  EXPECT_TRUE(::IsWindowVisible(wnd));
  ExpectPlacedAround(wnd, form.Handle());
  EXPECT_EQ(shadow.RebuildCount(), built) << "same size: hiding and showing rebuild nothing";

  // Hidden by a bare position change, without WM_SHOWWINDOW: no lone shadow.
  ::SetWindowPos(form.Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  ASSERT_FALSE(::IsWindowVisible(form.Handle()));
  EXPECT_FALSE(::IsWindowVisible(wnd));
}

// ---- hooking the form ------------------------------------------------------

TEST(ShadowAttach, RepeatsDoNothing) {
  ShadowedForm form(200, 150);
  TFormShadow shadow;
  Attach(form, shadow);
  form.Show();
  const win::WndMethod hooked = form.WindowProc;
  const int rebuilds = shadow.RebuildCount();
  const int changes = form.PosChanges;

  shadow.AttachForm(&form);
  shadow.SetShadowVisible(true);
  EXPECT_EQ(form.WindowProc, hooked);
  EXPECT_EQ(shadow.RebuildCount(), rebuilds);
  EXPECT_EQ(form.PosChanges, changes) << "nothing was sent to the form";
}

TEST(ShadowAttach, GivesTheWindowProcedureBack) {
  ShadowedForm first(100, 100), second(400, 300);
  {
    TFormShadow shadow;
    Attach(first, shadow);
    EXPECT_NE(first.WindowProc, first.DefaultWindowProc());
    shadow.AttachForm(nullptr);
    EXPECT_EQ(first.WindowProc, first.DefaultWindowProc());
  }
  {
    TFormShadow shadow;
    Attach(first, shadow);
    first.Show();
    first.Shadow = nullptr;
    second.Shadow = &shadow;
    shadow.AttachForm(&second);
    EXPECT_EQ(first.WindowProc, first.DefaultWindowProc());
    EXPECT_NE(second.WindowProc, second.DefaultWindowProc());
    ExpectPlacedAround(shadow.Handle(), second.Handle());
    const RECT before = WindowRect(shadow.Handle());
    MoveTo(first.Handle(), 120, 120);
    const RECT after = WindowRect(shadow.Handle());
    EXPECT_TRUE(::EqualRect(&before, &after)) << "the first form no longer moves it";
    second.Shadow = nullptr;
  }
  EXPECT_EQ(second.WindowProc, second.DefaultWindowProc()) << "destroying the shadow unhooks";
}

// ---- the main window -------------------------------------------------------

std::wstring ExeDir() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

TEST(MainWindowShadow, FollowsTheMainWindow) {
  win::App().Initialize();
  // FormCreate insists on an emulator next to the program.
  const std::wstring mame = ExeDir() + L"mame.exe";
  win::UniqueHandle file(::CreateFileW(mame.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << "cannot create " << std::string(mame.begin(), mame.end());
  file.Reset();

  auto* play = new TFrmPlay;
  play->Create();
  ASSERT_TRUE(play->Shadow);
  HWND wnd = play->Shadow->Handle();
  ASSERT_NE(wnd, nullptr);
  EXPECT_FALSE(::IsWindowVisible(wnd));

  play->Show();
  EXPECT_TRUE(::IsWindowVisible(wnd));
  const RECT f = WindowRect(play->Handle());
  const RECT s = WindowRect(wnd);
  EXPECT_EQ(s.left, f.left - 16);
  EXPECT_EQ(s.top, f.top - 16);
  EXPECT_EQ(s.right - s.left, 702);
  EXPECT_EQ(s.bottom - s.top, 461);
  // The region starts at column 1: column 0 of the window casts no hole.
  EXPECT_GT(Alpha(*play->Shadow, 16, 216), 0);
  EXPECT_EQ(Alpha(*play->Shadow, 17, 216), 0);

  ::ShowWindow(play->Handle(), SW_MINIMIZE);
  EXPECT_FALSE(::IsWindowVisible(wnd));
  ::ShowWindow(play->Handle(), SW_RESTORE);
  EXPECT_TRUE(::IsWindowVisible(wnd));

  play->Destroy();  // frees the shadow first, which gives the window its procedure back
  EXPECT_FALSE(play->Shadow);
  delete play;
}

// ---- figures (printed, never checked) -------------------------------------

TEST(ShadowTiming, PrintsTimePerMove) {
  // Rounds alternate between detached and attached, so that load from other
  // processes spreads over both; the medians are printed.
  constexpr int kRounds = 5;
  constexpr int kMovesPerRound = 40;
  ShadowedForm form(200, 150);
  form.Show();
  TFormShadow shadow;
  auto timePerMove = [&form] {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kMovesPerRound; ++i) MoveTo(form.Handle(), 200 + i % 50, 150 + i % 30);
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / kMovesPerRound;
  };
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::vector<double> bare, shadowed;
  int rebuildsWhileMoving = 0;
  shadow.SetShadowVisible(true);
  for (int round = 0; round < kRounds; ++round) {
    shadow.AttachForm(nullptr);
    bare.push_back(timePerMove());
    shadow.AttachForm(&form);  // rebuilds once, outside the timed moves
    const int rebuilds = shadow.RebuildCount();
    shadowed.push_back(timePerMove());
    rebuildsWhileMoving += shadow.RebuildCount() - rebuilds;
  }
  std::printf("[ figures  ] 100x60 form, %d x %d moves: median %.0f us/move without shadow, "
              "%.0f us/move with shadow; %d rebuilds while moving\n",
              kRounds, kMovesPerRound, median(bare), median(shadowed), rebuildsWhileMoving);
}

}  // namespace
