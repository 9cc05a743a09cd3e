// Measures a GUI program from the outside: time from process start to its
// first shown, answering window, CPU time while idle and during a Play, private memory.
//   startup_bench startup EXE RUNS
//   startup_bench idle EXE SECONDS
//   startup_bench play EXE
#include <windows.h>
#include <psapi.h>

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
HWND WaitForPaintedWindow(DWORD pid, double timeoutMs) {
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

double CpuMs(HANDLE process) {
  FILETIME c, e, k, u;
  ::GetProcessTimes(process, &c, &e, &k, &u);
  auto ms = [](FILETIME f) {
    return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
  };
  return ms(k) + ms(u);
}

BOOL CALLBACK FindPlay(HWND wnd, LPARAM lp) {
  wchar_t cls[64];
  ::GetClassNameW(wnd, cls, 64);
  if (std::wcscmp(cls, L"QvBitmapButton") == 0 && ::IsWindowVisible(wnd)) {
    *reinterpret_cast<HWND*>(lp) = wnd;  // the first visible one is Play
    return FALSE;
  }
  return TRUE;
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
      HWND wnd = WaitForPaintedWindow(pi.dwProcessId, 20000);
      times.push_back(NowMs() - t0);
      End(pi, wnd);
    }
    std::sort(times.begin(), times.end());
    std::printf("startup_ms median %.1f min %.1f max %.1f runs %d\n", times[times.size() / 2],
                times.front(), times.back(), runs);
    return 0;
  }
  PROCESS_INFORMATION pi = Launch(exe);
  HWND wnd = WaitForPaintedWindow(pi.dwProcessId, 20000);
  ::Sleep(500);
  if (mode == L"idle") {
    int seconds = argc > 3 ? _wtoi(argv[3]) : 10;
    double cpu0 = CpuMs(pi.hProcess);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    double cpu1 = CpuMs(pi.hProcess);
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof(mem);
    ::GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem));
    std::printf("idle_cpu_ms %.1f over %d s; private_kib %lu; working_set_kib %lu\n", cpu1 - cpu0,
                seconds, static_cast<unsigned long>(mem.PrivateUsage / 1024),
                static_cast<unsigned long>(mem.WorkingSetSize / 1024));
  } else if (mode == L"play") {
    HWND play = nullptr;
    if (wnd) ::EnumChildWindows(wnd, FindPlay, reinterpret_cast<LPARAM>(&play));
    double cpu0 = CpuMs(pi.hProcess);
    if (play) {
      ::PostMessageW(play, WM_KEYDOWN, VK_RETURN, 0);
    }
    ::Sleep(1500);  // the launch waits one 1-second tick for its console
    double cpu1 = CpuMs(pi.hProcess);
    std::printf("play_wait_cpu_ms %.1f over 1.5 s (button %s)\n", cpu1 - cpu0, play ? "found" : "missing");
  }
  End(pi, wnd);
  return 0;
}
