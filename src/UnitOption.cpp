// Key-binding window: layout, texts, rows, shape, shadow, dragging, closing.
#include "UnitOption.h"

#include <iterator>
#include <memory>
#include <string>

#include "Application.h"
#include "OptionLayout.h"
#include "Texts.h"
#include "UnitPlay.h"
#include "resource.h"

TFrmOption* FrmOption = nullptr;

namespace {

constexpr COLORREF kBodyColor = 16574682;    // RGB(218, 232, 252)
constexpr COLORREF kShadowColor = 10582346;  // RGB(74, 121, 161), the skin's outline
constexpr COLORREF kOliveTransparent = RGB(128, 128, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kWidth = 380;
constexpr int kHeight = 481;

}  // namespace

TFrmOption::TFrmOption() { SetupComponents(); }

// Destroy() is idempotent: this only matters when the window was never
// destroyed explicitly (an exception between Create and Destroy).
TFrmOption::~TFrmOption() { Destroy(); }

void TFrmOption::SetupComponents() {
  SetClientSize(kWidth, kHeight);
  SetPosition(win::FormPosition::MainFormCenter);
  SetColor(kBodyColor);
  SetFont({L"Tahoma", -11, false, false, ::GetSysColor(COLOR_WINDOWTEXT)});  // until the texts

  FS.SetBounds(0, 0, kWidth, kHeight);
  FS.SetPicture(win::Picture::FromResource(IDB_SKIN_OPTION));

  Label1.SetBounds(29, 9, 0, 0);
  Label1.SetFont({L"宋体", -13, true, false, kWhite});
  Label1.SetTransparent(true);
  Label1.SetCaption(L"设置");

  Label2.SetAutoSize(false);
  Label2.SetBounds(0, 0, kWidth, 28);
  Label2.SetTransparent(true);
  Label2.OnMouseDown = [this](win::MouseButton b, int x, int y) { Label2MouseDown(b, x, y); };

  RzPageControl1.SetBounds(13, 40, 356, 373);
  RzPageControl1.SetTabHeight(24);
  RzPageControl1.SetTabStyle(win::TabStyle::RoundCorners);
  RzPageControl1.SetTabOrder(0);
  TabSheet1.SetColor(kBodyColor);
  RzPageControl1.SetActivePage(&TabSheet1);

  RzTabbedListBox1.SetBounds(11, 12, 330, 319);
  RzTabbedListBox1.SetBorder(false);
  RzTabbedListBox1.SetColor(kBlack);
  RzTabbedListBox1.SetFont({L"宋体", -12, false, false, kWhite});
  RzTabbedListBox1.SetItemHeight(core::kKeyListItemHeight);
  RzTabbedListBox1.SetTabStops({std::begin(core::kKeyListTabStops), std::end(core::kKeyListTabStops)});
  RzTabbedListBox1.SetTabOrder(0);

  BtnOk.SetBounds(272, 423, 91, 23);
  BtnOk.SetCaption(L"确定(&O)");
  BtnOk.SetControlId(IDOK);  // what the dialog keys' Enter looks for
  BtnOk.SetDefault(true);
  BtnOk.SetModalResult(win::kModalResultOk);
  BtnOk.SetHotTrack(true);
  BtnOk.SetTabOrder(1);

  RzBmpButton1.SetBounds(330, 1, 40, 20);
  RzBmpButton1.SetHint(L"关闭");
  RzBmpButton1.SetShowHint(true);
  RzBmpButton1.SetBitmaps(win::Picture::FromResource(IDB_OPT_CLOSE_UP),
                          win::Picture::FromResource(IDB_OPT_CLOSE_HOT));
  RzBmpButton1.SetTransparentColor(kOliveTransparent);
  RzBmpButton1.SetTabOrder(2);
  RzBmpButton1.OnClick = [this] { RzBmpButton1Click(); };
}

void TFrmOption::FormCreate() {
  if (UseEnglish)
    ApplyEnglishTexts();
  else
    ApplyChineseTexts();
  MakeRoundRegion();
  // The region is in place first: the shadow takes its outline from it.
  Shadow = std::make_unique<TFormShadow>();
  Shadow->AttachForm(this);
  Shadow->SetShadowColor(kShadowColor);
}

void TFrmOption::ApplyTexts(bool english) {
  const core::OptionTexts& t = core::OptionWindowTexts(english);
  SetFont(win::FontOf(t.windowFont, ::GetSysColor(COLOR_WINDOWTEXT)));
  Label1.SetFont(win::FontOf(t.titleFont, kWhite, true));
  Label1.SetCaption(std::wstring(t.title));
  RzBmpButton1.SetHint(std::wstring(t.closeHint));
  BtnOk.SetCaption(std::wstring(t.okCaption));
  SetCaption(std::wstring(t.title));
  TabSheet1.SetCaption(std::wstring(t.tabCaption));
  RzTabbedListBox1.Clear();
  for (std::wstring& row : core::KeyBindingRows(english)) RzTabbedListBox1.Add(std::move(row));
}

void TFrmOption::ApplyChineseTexts() { ApplyTexts(false); }
void TFrmOption::ApplyEnglishTexts() { ApplyTexts(true); }

void TFrmOption::MakeRoundRegion() { SetRoundRegion(FS.BoundsRect()); }

void TFrmOption::WndProc(win::Message& m) {
  switch (m.msg) {
    case WM_SHOWWINDOW:
      if (Shadow) Shadow->SetShadowVisible(m.wParam != 0);
      break;
    case WM_ACTIVATE:
      if (ActivateFocus(m.wParam)) {
        m.result = 0;
        return;  // the default handling would take the focus to the window itself
      }
      break;
    default:
      break;
  }
  Form::WndProc(m);
}

// As a dialog does: activation puts the focus back where it was, or on the
// first control in the tab order. True when it has set the focus.
bool TFrmOption::ActivateFocus(WPARAM activation) {
  if (LOWORD(activation) == WA_INACTIVE) {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(handle_, focus)) focusOnActivate_ = focus;
    return false;
  }
  if (HIWORD(activation)) return false;  // minimised
  HWND target = focusOnActivate_;
  if (!target || !::IsWindow(target) || !::IsChild(handle_, target))
    target = ::GetNextDlgTabItem(handle_, nullptr, FALSE);
  if (!target) return false;
  ::SetFocus(target);
  return true;
}

void TFrmOption::Label2MouseDown(win::MouseButton, int, int) {
  ::ReleaseCapture();
  win::Message move{WM_SYSCOMMAND, 0xF012, 0, 0};  // SC_MOVE | HTCAPTION
  WindowProc(move);
}

void TFrmOption::RzBmpButton1Click() { Close(); }

void TFrmOption::FormClose() { Shadow.reset(); }

void ShowOptionWindow() {
  if (FrmOption) return;  // already open: its modal loop is further up this stack
  // Ours for the length of the modal show; the window system makes the main
  // window its owner, so it stays above it.
  auto form = std::make_unique<TFrmOption>();
  form->Create();
  struct ClearOnExit {
    ~ClearOnExit() { FrmOption = nullptr; }
  } clear;
  FrmOption = form.get();
  form->ShowModal();
  form->Destroy();
}
