// The advertisement strip of the main window (being built).
#include "UnitPlay.h"

void TFrmPlay::LoadAdList() {}
void TFrmPlay::TimerWebTimer() { TimerWeb.SetEnabled(false); }
void TFrmPlay::RefreshAdListIfStale() {}
void TFrmPlay::ShowAd(int32_t) {}
void TFrmPlay::ShowFirstTextAd() {}
void TFrmPlay::ShowFirstImageAd() {}
void TFrmPlay::WMAdListReady() {}
void TFrmPlay::WMAdImageReady(LPARAM) {}
void TFrmPlay::TimerADTimer() {}
void TFrmPlay::ImageADClick() {}
