// Measures a GUI program from the outside: time from process start to its
// first shown, answering window.
//   startup_bench startup EXE RUNS
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double NowMs() {
  static LARGE_INTEGER freq = [] { LARGE_INTEGER f; ::QueryPerformanceFrequency(&f); return f; }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

struct Found {
  DWORD pid;
  HWND wnd;
};

BOOL CALLBACK FindVisible(HWND wnd, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(wnd, &pid);
  if (pid == f->pid && ::IsWindowVisible(wnd) && !(::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED)) {
    f->wnd = wnd;
    return FALSE;
  }
  return TRUE;
}

// A visible window of the process whose thread has served the messages that
// showed it (a sent message is answered once the showing is done).
HWND WaitForShownWindow(DWORD pid, double timeoutMs) {
  double start = NowMs();
  while (NowMs() - start < timeoutMs) {
    Found f{pid, nullptr};
    ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&f));
    DWORD_PTR ignored = 0;
    if (f.wnd && ::SendMessageTimeoutW(f.wnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored))
      return f.wnd;
    ::Sleep(1);
  }
  return nullptr;
}

PROCESS_INFORMATION Launch(const std::wstring& exe) {
  std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
    std::fwprintf(stderr, L"cannot start %ls\n", exe.c_str());
    ::ExitProcess(2);
  }
  return pi;
}

void End(PROCESS_INFORMATION& pi, HWND wnd) {
  if (wnd) ::PostMessageW(wnd, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(pi.hProcess, 8000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring mode = argv[1], exe = argv[2];
  if (mode == L"startup") {
    int runs = argc > 3 ? _wtoi(argv[3]) : 10;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      double t0 = NowMs();
      PROCESS_INFORMATION pi = Launch(exe);
      HWND wnd = WaitForShownWindow(pi.dwProcessId, 20000);
      times.push_back(NowMs() - t0);
      End(pi, wnd);
    }
    std::sort(times.begin(), times.end());
    std::printf("startup_ms median %.1f min %.1f max %.1f runs %d\n", times[times.size() / 2],
                times.front(), times.back(), runs);
    return 0;
  }
  return 2;
}
