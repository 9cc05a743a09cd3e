// Starting the emulator by typing into a console, and ending it at program end.
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "Application.h"
#include "Launch.h"
#include "Text.h"
#include "UnitPlay.h"
#include "UpgraderThread.h"

static_assert(sizeof(PROCESSENTRY32) == 296 || sizeof(void*) != 4,
              "the ANSI process record of a 32-bit build");

namespace {

// A console that stops answering must not hang the launcher.
constexpr UINT kTypeTimeoutMs = 5000;

void SendChar(HWND wnd, unsigned code) {
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(wnd, WM_CHAR, code, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kTypeTimeoutMs,
                        &ignored);
}

template <class OnMatch>
void ForFirstProcessNamed(std::string_view exeName, OnMatch onMatch) {
  win::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0));
  if (!snapshot) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL ok = ::Process32First(snapshot.Get(), &entry); ok;
       ok = ::Process32Next(snapshot.Get(), &entry)) {
    if (::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, exeName.data(),
                         static_cast<int>(exeName.size()), entry.szExeFile, -1) == CSTR_EQUAL) {
      onMatch(entry.th32ProcessID);
      return;  // only the first match is looked at
    }
  }
}

struct CloseRequest {
  DWORD pid;
  bool posted;
};

BOOL CALLBACK PostCloseIfOwned(HWND wnd, LPARAM lp) {
  auto* request = reinterpret_cast<CloseRequest*>(lp);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(wnd, &owner);
  if (owner == request->pid && ::PostMessageW(wnd, WM_CLOSE, 0, 0)) request->posted = true;
  return TRUE;
}

// Posts WM_CLOSE to every top-level window of the process; false when it has none.
bool AskToClose(DWORD pid) {
  CloseRequest request{pid, false};
  ::EnumWindows(&PostCloseIfOwned, reinterpret_cast<LPARAM>(&request));
  return request.posted;
}

// Waits for the process to end, still answering messages other threads send us.
bool WaitForExit(HANDLE process, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    DWORD r = ::MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) return true;
    if (r != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

void TypeText(HWND wnd, std::string_view ansiText) {
  for (unsigned code : core::CharCodesFor(ansiText)) SendChar(wnd, code);
}

void PressEnter(HWND wnd) { SendChar(wnd, core::kEnter); }

void TypeLines(HWND wnd, const std::vector<std::string>& lines) {
  const std::size_t count = lines.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (lines[i].empty()) continue;
    TypeText(wnd, lines[i]);
    PressEnter(wnd);
  }
}

HANDLE FindProcessByName(std::string_view exeName) {
  HANDLE process = nullptr;
  ForFirstProcessNamed(exeName, [&](DWORD pid) {
    process = ::OpenProcess(PROCESS_TERMINATE, FALSE, pid);
  });
  return process;
}

void KillProcessByName(std::string_view exeName, DWORD closeWaitMs) {
  ForFirstProcessNamed(exeName, [&](DWORD pid) {
    win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process) {
      process.Reset(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
      if (process) ::TerminateProcess(process.Get(), static_cast<UINT>(-1));
      return;
    }
    // The emulator saves the board's memory only on a clean shutdown.
    if (AskToClose(pid) && WaitForExit(process.Get(), closeWaitMs)) return;
    ::TerminateProcess(process.Get(), static_cast<UINT>(-1));
  });
}

void TFrmPlay::BuildLaunchScript(const std::wstring& dir) {
  for (const std::wstring& line : core::BuildLaunchScript(dir)) LaunchScript.push_back(win::ToAnsi(line));
}

void TFrmPlay::M_PlayClick() {
  // A launch under way is waiting for its console: a second one would type twice.
  if (launching_) return;
  if (HANDLE running = FindProcessByName(win::ToAnsi(core::kEmulatorExe))) {
    ::CloseHandle(running);
    return;
  }
  ConsoleWnd = StartEmulator();
}

HWND TFrmPlay::StartEmulator() {
  const std::string consoleClass(core::kConsoleClass);
  launching_ = true;
  RzPanel1.Show();
  HWND console = nullptr;
  try {
    console = ::FindWindowA(consoleClass.c_str(), nullptr);
    if (!console) {
      ::WinExec(std::string(core::kInterpreterCommand).c_str(), SW_HIDE);
      WaitTicks(1);
      console = ::FindWindowA(consoleClass.c_str(), nullptr);
    }
    // Nothing is typed once the program is ending; the teardown still says exit.
    if (console && !win::App().Terminated()) {
      PressEnter(console);
      TypeLines(console, LaunchScript);
    }
  } catch (...) {
    RzPanel1.Hide();
    launching_ = false;
    throw;
  }
  RzPanel1.Hide();
  launching_ = false;
  return console;
}

void TFrmPlay::WaitTicks(int32_t n) {
  TickCount = 0;
  Timer1.SetEnabled(true);
  // Serve every message, sleeping between rounds until the next one (a tick is one).
  while (TickCount < n && !win::App().Terminated()) {
    win::App().ProcessMessages();
    if (TickCount < n && !win::App().Terminated()) ::WaitMessage();
  }
  Timer1.SetEnabled(false);
}

void TFrmPlay::Timer1Timer() { ++TickCount; }

void TFrmPlay::FormDestroy() {
  // A list worker cut off while it purges or writes would leave Sup half-done.
  WaitForListWorkerToSettle(3000);
  LaunchScript.clear();
  KillProcessByName(win::ToAnsi(core::kEmulatorExe));
  if (ConsoleWnd && ::IsWindow(ConsoleWnd)) {
    TypeText(ConsoleWnd, std::string(core::kTeardownLine));
    PressEnter(ConsoleWnd);
  }
}
