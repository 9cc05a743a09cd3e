// Main window: start-up order, texts, shape, dragging and closing.
#include "UnitPlay.h"

#include <stdexcept>

#include "Application.h"
#include "Launch.h"
#include "Messages.h"
#include "ShellOpen.h"
#include "Texts.h"
#include "UnitOption.h"
#include "resource.h"

std::wstring AppDir;
bool UseEnglish = false;
TFrmPlay* FrmPlay = nullptr;

namespace {

constexpr COLORREF kBodyColor = RGB(218, 232, 252);
constexpr COLORREF kOliveTransparent = RGB(128, 128, 0);
constexpr COLORREF kShadowColor = 10582346;  // RGB(74, 121, 161), the skin's outline
constexpr COLORREF kWhite = RGB(255, 255, 255);

void SetButton(win::BitmapButton& b, int left, int top, int w, int h, int upId, int hotId,
               int tabOrder) {
  b.SetBounds(left, top, w, h);
  b.SetBitmaps(win::Picture::FromResource(upId), win::Picture::FromResource(hotId));
  b.SetTransparentColor(kOliveTransparent);
  b.SetTabOrder(tabOrder);
}

}  // namespace

std::wstring GetAppDir() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring(L"\\");
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return core::GetAppDir(path);
}

bool CheckEmulatorPresent(const std::wstring& dir) {
  DWORD attr = ::GetFileAttributesW((dir + std::wstring(core::kEmulatorExe)).c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) return true;
  const core::MainTexts& t = core::MainWindowTexts(UseEnglish);
  ::MessageBoxW(nullptr, std::wstring(t.missingText).c_str(), std::wstring(t.missingCaption).c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  return false;
}

TFrmPlay::TFrmPlay() {
  FrmPlay = this;
  SetupComponents();
}

TFrmPlay::~TFrmPlay() {
  if (FrmPlay == this) FrmPlay = nullptr;
}

void TFrmPlay::SetupComponents() {
  SetClientSize(670, 429);
  SetPosition(win::FormPosition::ScreenCenter);
  SetColor(kBodyColor);
  win::FontDesc formFont;  // Tahoma -11 until the language step
  SetFont(formFont);

  FS.SetBounds(0, 0, 670, 429);
  FS.SetPicture(win::Picture::FromResource(IDB_SKIN_MAIN));

  win::FontDesc tahomaWhite{L"Tahoma", -11, false, false, kWhite};
  Label1.SetBounds(29, 9, 144, 13);
  Label1.SetFont({L"Tahoma", -11, true, false, kWhite});
  Label1.SetTransparent(true);

  RzURLLabel2.SetBounds(12, 408, 180, 13);
  RzURLLabel2.SetFont(tahomaWhite);
  RzURLLabel2.SetColors(kWhite, kWhite);
  RzURLLabel2.SetTransparent(true);
  RzURLLabel2.Opener = OpenDocumentSucceeded;

  Label3.SetBounds(406, 410, 255, 11);
  Label3.SetAlignment(win::Alignment::Right);
  Label3.SetFont({L"Tahoma", -9, false, false, kWhite});
  Label3.SetTransparent(true);

  Label2.SetAutoSize(false);
  Label2.SetBounds(0, 0, 670, 28);
  Label2.SetTransparent(true);
  Label2.OnMouseDown = [this](win::MouseButton b, int x, int y) { Label2MouseDown(b, x, y); };

  win::FontDesc adFont{L"宋体", -12, false, true, win::SysColor(COLOR_HIGHLIGHT)};
  RzURLLabelAD.SetBounds(628, 46, 30, 12);
  RzURLLabelAD.SetAlignment(win::Alignment::Right);
  RzURLLabelAD.SetFont(adFont);
  RzURLLabelAD.SetShowHint(true);
  RzURLLabelAD.SetTransparent(true);
  RzURLLabelAD.SetCaption(L"ADURL");
  RzURLLabelAD.Opener = OpenWebAddress;  // its address comes from the ad list
  RzURLLabelAD.Hide();

  LabelAD.SetBounds(616, 46, 42, 12);
  LabelAD.SetCursor(win::kCursorHand);
  LabelAD.SetAlignment(win::Alignment::Right);
  LabelAD.SetFont(adFont);
  LabelAD.SetShowHint(true);
  LabelAD.SetTransparent(true);
  LabelAD.SetCaption(L"LabelAD");
  LabelAD.Hide();

  SetButton(RzBmpButton1, 515, 247, 135, 43, IDB_PLAY_CN_UP, IDB_PLAY_CN_HOT, 0);
  SetButton(RzBmpButton2, 515, 295, 135, 43, IDB_OPTION_CN_UP, IDB_OPTION_CN_HOT, 1);
  SetButton(RzBmpButton3, 515, 343, 135, 43, IDB_EXIT_CN_UP, IDB_EXIT_CN_HOT, 2);
  RzPanel1.SetBounds(199, 194, 273, 41);
  RzPanel1.SetBorder(win::PanelBorder::FlatBold, kWhite);
  RzPanel1.SetColor(win::SysColor(COLOR_BACKGROUND));
  RzPanel1.SetFont(tahomaWhite);
  RzPanel1.SetTabOrder(3);
  RzPanel1.Hide();
  SetButton(RzBmpButton4, 515, 247, 135, 43, IDB_PLAY_EN_UP, IDB_PLAY_EN_HOT, 4);
  SetButton(RzBmpButton5, 515, 295, 135, 43, IDB_OPTION_EN_UP, IDB_OPTION_EN_HOT, 5);
  SetButton(RzBmpButton6, 515, 343, 135, 43, IDB_EXIT_EN_UP, IDB_EXIT_EN_HOT, 6);
  RzBmpButton4.Hide();
  RzBmpButton5.Hide();
  RzBmpButton6.Hide();
  SetButton(RzBmpButton7, 591, 1, 27, 20, IDB_MIN_UP, IDB_MIN_HOT, 7);
  RzBmpButton7.SetShowHint(true);
  SetButton(RzBmpButton8, 618, 1, 40, 20, IDB_CLOSE_UP, IDB_CLOSE_HOT, 8);
  RzBmpButton8.SetShowHint(true);

  for (win::BitmapButton* b : {&RzBmpButton1, &RzBmpButton4})
    b->OnClick = [this] { M_PlayClick(); };
  for (win::BitmapButton* b : {&RzBmpButton2, &RzBmpButton5})
    b->OnClick = [this] { M_OptionClick(); };
  for (win::BitmapButton* b : {&RzBmpButton3, &RzBmpButton6})
    b->OnClick = [this] { M_ExitClick(); };
  RzBmpButton7.OnClick = [this] { RzBmpButton7Click(); };
  RzBmpButton8.OnClick = [this] { RzBmpButton8Click(); };

  PanelAD.SetBounds(488, 63, 170, 48);
  PanelAD.SetBorder(win::PanelBorder::Status);
  PanelAD.SetTabOrder(9);
  PanelAD.Hide();
  ImageAD.SetAlignClient(true);
  ImageAD.SetBounds(1, 1, 168, 46);
  ImageAD.Tag = -1;
  ImageAD.SetShowHint(true);
  ImageAD.OnClick = [this] { ImageADClick(); };

  Timer1.OnTimer = [this] { Timer1Timer(); };
  TimerAD.OnTimer = [this] { TimerADTimer(); };
  TimerWeb.OnTimer = [this] { TimerWebTimer(); };
}

void TFrmPlay::FormCreate() {
  UseEnglish = false;
  if (UseEnglish)
    ApplyEnglishTexts();
  else
    ApplyChineseTexts();
  AppDir = GetAppDir();
  MakeRoundRegion();
  Shadow = std::make_unique<TFormShadow>();
  Shadow->AttachForm(this);
  Shadow->SetShadowColor(kShadowColor);
  ConsoleWnd = nullptr;
  Timer1.SetEnabled(false);
  LaunchScript.clear();
  ImageAD.SetCursor(RzURLLabelAD.Cursor());
  if (!CheckEmulatorPresent(AppDir)) {
    win::App().Terminate();
    return;
  }
  LoadAdList();
  ShowFirstTextAd();
  ShowFirstImageAd();
  TimerWeb.SetEnabled(true);
  BuildLaunchScript(AppDir);
}

void TFrmPlay::ApplyTexts(bool english) {
  const core::MainTexts& t = core::MainWindowTexts(english);
  SetFont(win::FontOf(t.windowFont, ::GetSysColor(COLOR_WINDOWTEXT)));
  RzPanel1.SetFont(win::FontOf(t.noticeFont, kWhite));
  Label1.SetFont(win::FontOf(t.titleFont, kWhite, true));
  SetCaption(std::wstring(t.caption));
  win::App().SetTitle(std::wstring(t.caption));
  Label1.SetCaption(std::wstring(t.title));
  RzPanel1.SetCaption(std::wstring(t.notice));
  RzBmpButton7.SetHint(std::wstring(t.minimiseHint));
  RzBmpButton8.SetHint(std::wstring(t.closeHint));
  RzURLLabel2.SetCaption(t.homepageCaption);
  RzURLLabel2.SetURL(std::wstring(t.homepageUrl));
  Label3.SetCaption(std::wstring(t.footer));
  for (win::BitmapButton* b : {&RzBmpButton1, &RzBmpButton2, &RzBmpButton3}) b->SetVisible(!english);
  for (win::BitmapButton* b : {&RzBmpButton4, &RzBmpButton5, &RzBmpButton6}) b->SetVisible(english);
}

void TFrmPlay::ApplyChineseTexts() { ApplyTexts(false); }
void TFrmPlay::ApplyEnglishTexts() { ApplyTexts(true); }

void TFrmPlay::MakeRoundRegion() { SetRoundRegion(FS.BoundsRect()); }

void TFrmPlay::WndProc(win::Message& m) {
  switch (m.msg) {
    case WM_SHOWWINDOW:
      if (Shadow) Shadow->SetShadowVisible(m.wParam != 0);
      break;
    case WM_ADLISTREADY:
      WMAdListReady();
      return;
    case WM_ADIMAGEREADY:
      WMAdImageReady(m.lParam);
      return;
    default:
      break;
  }
  Form::WndProc(m);
}

void TFrmPlay::Label2MouseDown(win::MouseButton, int, int) {
  ::ReleaseCapture();
  win::Message move{WM_SYSCOMMAND, 0xF012, 0, 0};  // SC_MOVE | HTCAPTION
  WindowProc(move);
}

void TFrmPlay::RzBmpButton7Click() { win::App().Minimize(); }
void TFrmPlay::RzBmpButton8Click() { Close(); }
void TFrmPlay::M_ExitClick() { Close(); }
void TFrmPlay::M_OptionClick() { ShowOptionWindow(); }

void TFrmPlay::FormClose() { Shadow.reset(); }
