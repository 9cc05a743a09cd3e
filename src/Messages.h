// Messages the download workers post to the main window.
#pragma once
#include <windows.h>

constexpr UINT WM_ADLISTREADY = WM_USER + 3;   // wParam 0, lParam 0
constexpr UINT WM_ADIMAGEREADY = WM_USER + 4;  // wParam 0, lParam the entry's index
