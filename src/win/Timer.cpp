#include "Timer.h"

#include <exception>
#include <set>

#include "Application.h"

namespace win {
namespace {

std::set<Timer*>& LiveTimers() {
  static std::set<Timer*> timers;
  return timers;
}

}  // namespace

HWND Timer::Window() {
  static HWND wnd = [] {
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Timer::WindowProc;
    wc.hInstance = inst;
    wc.lpszClassName = L"QvTimerWindow";
    ::RegisterClassExW(&wc);
    return ::CreateWindowExW(0, L"QvTimerWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst,
                             nullptr);
  }();
  return wnd;
}

LRESULT CALLBACK Timer::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* timer = reinterpret_cast<Timer*>(wParam);
    // A tick may still be queued for a timer that has just been stopped or freed.
    if (LiveTimers().count(timer) && timer->enabled_ && timer->OnTimer) {
      try {
        timer->OnTimer();
      } catch (const std::exception& e) {
        App().ShowException(e);
      }
    }
    return 0;
  }
  return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

Timer::~Timer() { Stop(); }

void Timer::Start() {
  LiveTimers().insert(this);
  ::SetTimer(Window(), reinterpret_cast<UINT_PTR>(this), interval_, nullptr);
}

void Timer::Stop() {
  if (LiveTimers().erase(this)) ::KillTimer(Window(), reinterpret_cast<UINT_PTR>(this));
}

void Timer::SetEnabled(bool enabled) {
  Stop();
  enabled_ = enabled;
  if (enabled_) Start();
}

void Timer::SetInterval(UINT interval) {
  interval_ = interval;
  if (enabled_) SetEnabled(true);
}

}  // namespace win
