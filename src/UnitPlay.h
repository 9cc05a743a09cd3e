// The main window: start-up, language texts, the emulator launch through a
// console, and the advertisement strip. UI thread only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "AdList.h"
#include "Form.h"
#include "StdControls.h"
#include "Timer.h"
#include "ufrmShadowFrame.h"

extern std::wstring AppDir;  // the executable's folder, ending in '\'
extern bool UseEnglish;

class TFrmPlay;
extern TFrmPlay* FrmPlay;

std::wstring GetAppDir();
// True when a file (not a folder) dir + "mame.exe" exists; otherwise shows the
// error box and returns false.
bool CheckEmulatorPresent(const std::wstring& dir);

// Console typing: one WM_CHAR per ANSI byte.
void TypeText(HWND wnd, std::string_view ansiText);
void PressEnter(HWND wnd);
void TypeLines(HWND wnd, const std::vector<std::string>& lines);

// First process whose executable name matches (any case), opened with the
// terminate right; nullptr when there is none or it cannot be opened.
HANDLE FindProcessByName(std::string_view exeName);
// Asks the first matching process to close (WM_CLOSE to its top-level windows,
// up to closeWaitMs to end), else terminates it with exit code 4294967295.
void KillProcessByName(std::string_view exeName, DWORD closeWaitMs = 5000);

class TFrmPlay : public win::Form {
 public:
  TFrmPlay();
  ~TFrmPlay() override;

  // Components, in creation order.
  win::Image FS{this};
  win::Label Label1{this};
  win::LinkLabel RzURLLabel2{this};
  win::Label Label3{this};
  win::Label Label2{this};
  win::LinkLabel RzURLLabelAD{this};
  win::Label LabelAD{this};
  win::BitmapButton RzBmpButton1{this};
  win::BitmapButton RzBmpButton2{this};
  win::BitmapButton RzBmpButton3{this};
  win::Panel RzPanel1{this};
  win::BitmapButton RzBmpButton4{this};
  win::BitmapButton RzBmpButton5{this};
  win::BitmapButton RzBmpButton6{this};
  win::BitmapButton RzBmpButton7{this};
  win::BitmapButton RzBmpButton8{this};
  win::Panel PanelAD{this};
  win::Image ImageAD{&PanelAD};
  win::Timer Timer1{1000};
  win::Timer TimerAD{10000};
  win::Timer TimerWeb{2000};

  // Fields.
  std::unique_ptr<TFormShadow> Shadow;
  std::vector<std::string> LaunchScript;  // ANSI lines
  int32_t TickCount = 0;
  HWND ConsoleWnd = nullptr;
  std::vector<core::TADRec> AdList;
  int32_t AdIndex = 0;
  std::string ImageAdLink;  // ANSI, as the list gives it

  // Start-up and window.
  void FormCreate() override;
  void FormClose() override;
  void FormDestroy() override;
  void MakeRoundRegion();
  void ApplyChineseTexts();
  void ApplyEnglishTexts();
  void Label2MouseDown(win::MouseButton button, int x, int y);
  void RzBmpButton7Click();
  void RzBmpButton8Click();
  void M_ExitClick();
  void M_OptionClick();

  // Emulator launch.
  void BuildLaunchScript(const std::wstring& dir);
  void M_PlayClick();
  HWND StartEmulator();
  void WaitTicks(int32_t n);
  void Timer1Timer();
  bool Launching() const { return launching_; }

  // Advertisement strip.
  void LoadAdList();
  void TimerWebTimer();
  void RefreshAdListIfStale();
  void ShowAd(int32_t index);
  void ShowFirstTextAd();
  void ShowFirstImageAd();
  void WMAdListReady();
  void WMAdImageReady(LPARAM index);
  void TimerADTimer();
  void ImageADClick();

 protected:
  void WndProc(win::Message& m) override;
  void DestroyOwned() override { Shadow.reset(); }

 private:
  void SetupComponents();
  void ApplyTexts(bool english);

  bool launching_ = false;
};
