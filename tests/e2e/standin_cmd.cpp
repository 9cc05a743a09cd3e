// Stand-in for the command interpreter, built as cmd.exe. It owns a top-level
// window of class "ConsoleWindowClass" (ANSI, so WM_CHAR carries the bytes the
// launcher sends unchanged), records every character and runs each finished
// line like a tiny interpreter. Wine's own console has another class, so the
// launcher can only ever find this window.
//
// Logs in its own folder:
//   console_chars.log  "<pid> <byte>" per WM_CHAR, in arrival order
//   cmd_events.log     tab-separated events (see e2e_log.h), among them the
//                      exit code of every child it started
#include <windows.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "e2e_log.h"

namespace {

const std::wstring kDir = e2e::OwnDir();
const e2e::EventLog kEvents(kDir + L"cmd_events.log");
const std::wstring kCharsLog = kDir + L"console_chars.log";

std::string typedLine;                 // bytes since the last Enter
std::vector<std::string> shownLines;   // what the window paints
std::vector<HANDLE> waiters;           // one thread per child

std::string AnsiToUtf8(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return e2e::ToUtf8(wide);
}

std::string CurrentDir() {
  wchar_t dir[MAX_PATH * 4];
  DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(std::size(dir)), dir);
  return e2e::ToUtf8(std::wstring_view(dir, n));
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Runs on a thread of its own per child: the exit code tells a clean end (0)
// from a TerminateProcess with -1 (4294967295).
DWORD WINAPI WaitForChild(void* param) {
  auto* info = static_cast<PROCESS_INFORMATION*>(param);
  WaitForSingleObject(info->hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(info->hProcess, &code);
  kEvents.Write("child-exit", std::to_string(info->dwProcessId), std::to_string(code));
  CloseHandle(info->hProcess);
  CloseHandle(info->hThread);
  delete info;
  return 0;
}

void ChangeDir(const std::string& target) {
  BOOL ok = SetCurrentDirectoryA(target.c_str());
  kEvents.Write("cwd", CurrentDir(), ok ? "ok" : "failed");
}

void RunProgram(const std::string& line) {
  std::string program = line.substr(0, line.find(' '));
  std::string lower = Lower(program);
  bool isExe = lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".exe") == 0;
  DWORD attributes = GetFileAttributesA(program.c_str());
  if (!isExe || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    kEvents.Write("ignored", AnsiToUtf8(line));
    return;
  }
  std::string commandLine = line;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  auto* info = new PROCESS_INFORMATION{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, info)) {
    kEvents.Write("run-failed", AnsiToUtf8(line), std::to_string(GetLastError()));
    delete info;
    return;
  }
  kEvents.Write("run", AnsiToUtf8(line), std::to_string(info->dwProcessId), CurrentDir());
  if (HANDLE thread = CreateThread(nullptr, 0, WaitForChild, info, 0, nullptr)) waiters.push_back(thread);
}

// Returns false when the interpreter should end.
bool RunLine(const std::string& line) {
  kEvents.Write("line", e2e::Hex(line), AnsiToUtf8(line));
  std::string lower = Lower(line);
  while (!lower.empty() && lower.back() == ' ') lower.pop_back();
  if (lower.empty()) return true;
  if (lower == "exit") return false;
  if (lower.size() == 2 && std::isalpha(static_cast<unsigned char>(lower[0])) && lower[1] == ':') {
    ChangeDir(line.substr(0, 2));
    return true;
  }
  if (lower.rfind("cd", 0) == 0 && (lower.size() == 2 || std::strchr("\\/. ", lower[2]))) {
    std::string target = line.substr(2);
    target.erase(0, target.find_first_not_of(' '));
    if (target.empty())
      kEvents.Write("cwd", CurrentDir(), "shown");
    else
      ChangeDir(target);
    return true;
  }
  RunProgram(line);
  return true;
}

void OnChar(HWND window, unsigned char byte) {
  e2e::AppendRaw(kCharsLog, std::to_string(GetCurrentProcessId()) + ' ' + std::to_string(byte) + '\n');
  if (byte != 13) {
    typedLine += static_cast<char>(byte);
    return;
  }
  std::string line;
  line.swap(typedLine);
  shownLines.push_back(line);
  if (shownLines.size() > 12) shownLines.erase(shownLines.begin());
  InvalidateRect(window, nullptr, TRUE);
  if (!RunLine(line)) {
    // Children's exit codes are recorded before the interpreter goes away.
    if (!waiters.empty())
      WaitForMultipleObjects(static_cast<DWORD>(waiters.size()), waiters.data(), TRUE, 10000);
    kEvents.Write("exit-command");
    DestroyWindow(window);
  }
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  int y = 4;
  for (const std::string& line : shownLines) {
    std::string text = "> " + line;
    TextOutA(dc, 4, y, text.c_str(), static_cast<int>(text.size()));
    y += 16;
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR: OnChar(window, static_cast<unsigned char>(wParam)); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_DESTROY:
      kEvents.Write("end");
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  kEvents.Write("start", std::to_string(showCommand), e2e::ToUtf8(GetCommandLineW()), CurrentDir(),
                std::to_string(startup.dwFlags), std::to_string(startup.wShowWindow));

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "ConsoleWindowClass";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "ConsoleWindowClass", "stand-in console", WS_OVERLAPPEDWINDOW,
                                0, 0, 480, 240, nullptr, nullptr, instance,
                                nullptr);
  if (!window) {
    kEvents.Write("no-window", std::to_string(GetLastError()));
    return 1;
  }
  ShowWindow(window, showCommand);
  char handle[32];
  wsprintfA(handle, "%p", static_cast<void*>(window));
  kEvents.Write("window", handle, IsWindowVisible(window) ? "visible" : "hidden");

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
