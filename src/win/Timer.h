// A timer whose ticks arrive as messages on the thread that made it; ticks
// are served by every message loop, modal ones included.
#pragma once
#include <windows.h>

#include <functional>

namespace win {

class Timer {
 public:
  explicit Timer(UINT interval = 1000) : interval_(interval) {}
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return enabled_; }
  // Enabling (again) starts a full interval from now.
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT interval);

  std::function<void()> OnTimer;

 private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static HWND Window();
  void Start();
  void Stop();

  UINT interval_;
  bool enabled_ = false;
};

}  // namespace win
