// Stand-in for the emulator, built as mame.exe. Logs its command line and
// working directory to mame_events.log in its own folder and shows a normal
// window. Marker files in that folder change how it ends:
//   ignore_close  WM_CLOSE is logged and ignored, so only TerminateProcess ends it
//   windowless    no window at all: it sleeps until it is terminated
#include <windows.h>

#include <string>

#include "e2e_log.h"

namespace {

const std::wstring kDir = e2e::OwnDir();
const e2e::EventLog kEvents(kDir + L"mame_events.log");
bool ignoreClose = false;

std::string CurrentDir() {
  wchar_t dir[MAX_PATH * 4];
  DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(std::size(dir)), dir);
  return e2e::ToUtf8(std::wstring_view(dir, n));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      kEvents.Write("wm-close", ignoreClose ? "ignored" : "closing");
      if (!ignoreClose) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      TextOutW(dc, 8, 8, L"MAME stand-in", 13);
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  ignoreClose = e2e::FileExists(kDir + L"ignore_close");
  bool windowless = e2e::FileExists(kDir + L"windowless");
  kEvents.Write("start", e2e::ToUtf8(GetCommandLineW()), CurrentDir(), std::to_string(showCommand),
                windowless ? "windowless" : (ignoreClose ? "ignore-close" : "normal"));
  if (windowless) {
    for (;;) Sleep(1000);
  }

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"MameStandIn";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"MameStandIn", L"MAME stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                40, 40, 320, 240, nullptr, nullptr, instance, nullptr);
  kEvents.Write("window", window ? "visible" : "failed");

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  kEvents.Write("exit", "0");
  return 0;
}
