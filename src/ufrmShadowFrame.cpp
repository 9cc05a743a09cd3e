// Placeholder until the layered shadow lands.
#include "ufrmShadowFrame.h"

TFormShadow::TFormShadow() = default;
TFormShadow::~TFormShadow() = default;
void TFormShadow::AttachForm(win::Form*) {}
void TFormShadow::SetShadowVisible(bool) {}
void TFormShadow::SetShadowColor(COLORREF) {}
HWND TFormShadow::Handle() const { return nullptr; }
