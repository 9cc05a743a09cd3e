// A soft drop shadow behind a borderless form: a layered, click-through popup
// that follows the form by watching its messages.
#pragma once
#include <windows.h>

#include "Form.h"

class TFormShadow {
 public:
  TFormShadow();  // owned, as a window, by the application's window
  ~TFormShadow();
  TFormShadow(const TFormShadow&) = delete;
  TFormShadow& operator=(const TFormShadow&) = delete;

  // Hooks the form's WindowProc (nullptr detaches and gives it back).
  void AttachForm(win::Form* form);
  void SetShadowVisible(bool value);
  void SetShadowColor(COLORREF value);
  HWND Handle() const;
};
