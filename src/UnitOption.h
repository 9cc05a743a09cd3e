// The key-binding window: a small skinned, borderless modal window listing the
// game's default keys; nothing in it can be changed. UI thread only.
#pragma once
#include <windows.h>

#include <memory>

#include "Button.h"
#include "Form.h"
#include "PageControl.h"
#include "StdControls.h"
#include "TabbedListBox.h"
#include "ufrmShadowFrame.h"

class TFrmOption : public win::Form {
 public:
  TFrmOption();
  ~TFrmOption() override;

  // Components. Graphic ones stack in declaration order (FS at the bottom),
  // windowed ones take the tab order 0, 1, 2 in the same order.
  win::PageControl RzPageControl1{this};
  win::TabSheet TabSheet1{&RzPageControl1};
  win::TabbedListBox RzTabbedListBox1{&TabSheet1};
  win::Button BtnOk{this};
  win::Image FS{this};
  win::Label Label1{this};
  win::Label Label2{this};
  win::BitmapButton RzBmpButton1{this};

  void FormCreate() override;
  void FormClose() override;
  void Label2MouseDown(win::MouseButton button, int x, int y);
  void RzBmpButton1Click();

  // The drop shadow while there is one (from FormCreate until FormClose).
  const TFormShadow* ShadowWindow() const { return Shadow.get(); }

 protected:
  void WndProc(win::Message& m) override;
  void DestroyOwned() override { Shadow.reset(); }

 private:
  void SetupComponents();
  void ApplyChineseTexts();
  void ApplyEnglishTexts();
  void ApplyTexts(bool english);
  void MakeRoundRegion();
  bool ActivateFocus(WPARAM activation);

  std::unique_ptr<TFormShadow> Shadow;
  HWND focusOnActivate_ = nullptr;  // the control that had the focus when we lost activation
};

// The window while ShowOptionWindow shows it, else nullptr.
extern TFrmOption* FrmOption;

// Shows a new key-binding window modally over the main window and frees it
// once it has closed.
void ShowOptionWindow();
