// The yardstick for start-up time: a program that opens one window of the
// launcher's size and paints it.
#include <windows.h>

static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(wnd, &ps);
      ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
      ::EndPaint(wnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(wnd, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = inst;
  wc.lpszClassName = L"Minimal";
  ::RegisterClassW(&wc);
  int x = (::GetSystemMetrics(SM_CXSCREEN) - 670) / 2;
  int y = (::GetSystemMetrics(SM_CYSCREEN) - 429) / 2;
  HWND wnd = ::CreateWindowExW(WS_EX_APPWINDOW, L"Minimal", L"minimal", WS_POPUP | WS_SYSMENU, x, y,
                               670, 429, nullptr, nullptr, inst, nullptr);
  ::ShowWindow(wnd, SW_SHOW);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
