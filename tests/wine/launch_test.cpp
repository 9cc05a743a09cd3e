// The console typing and the process look-up by executable name, against a
// real window and real child processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Text.h"
#include "UnitPlay.h"

namespace fs = std::filesystem;

namespace {

// This program doubles as the child process: started with one of these
// switches it sleeps, or shows a window that ends the process on WM_CLOSE.
LRESULT CALLBACK ChildWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) ::PostQuitMessage(0);
  return ::DefWindowProcW(wnd, msg, wp, lp);
}

const bool kIsChild = [] {
  std::wstring cmd = ::GetCommandLineW();
  if (cmd.find(L"--child-sleep") != std::wstring::npos) {
    ::Sleep(60000);
    ::ExitProcess(7);
  }
  if (cmd.find(L"--child-window") != std::wstring::npos) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ChildWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ChildWindow";
    ::RegisterClassW(&wc);
    ::CreateWindowW(L"ChildWindow", L"child", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                    nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    ::ExitProcess(0);
  }
  return false;
}();

fs::path SelfPath() {
  wchar_t buf[MAX_PATH];
  ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return buf;
}

class ChildProcesses : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    root_ = fs::path(tmp) / ("launch_test_" + std::to_string(::GetCurrentProcessId()));
    fs::create_directories(root_);
  }
  void TearDown() override {
    for (PROCESS_INFORMATION& pi : children_) {
      ::TerminateProcess(pi.hProcess, 0);
      ::WaitForSingleObject(pi.hProcess, 5000);
      ::CloseHandle(pi.hProcess);
      ::CloseHandle(pi.hThread);
    }
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // Copies this program to sub\name and starts it with the switch.
  HANDLE Start(const std::wstring& sub, const std::wstring& name, const std::wstring& mode) {
    fs::path dir = root_ / sub;
    fs::create_directories(dir);
    fs::path exe = dir / name;
    fs::copy_file(SelfPath(), exe, fs::copy_options::overwrite_existing);
    std::wstring cmd = L"\"" + exe.wstring() + L"\" " + mode;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    EXPECT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 dir.c_str(), &si, &pi));
    children_.push_back(pi);
    if (mode == L"--child-window") ::WaitForInputIdle(pi.hProcess, 5000);
    return pi.hProcess;
  }

  static DWORD ExitCodeAfter(HANDLE process, DWORD ms) {
    ::WaitForSingleObject(process, ms);
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    return code;
  }

  fs::path root_;
  std::vector<PROCESS_INFORMATION> children_;
};

TEST_F(ChildProcesses, FindsTheEmulatorInAnyLetterCase) {
  for (const wchar_t* name : {L"mame.exe", L"MAME.EXE", L"Mame.Exe"}) {
    SCOPED_TRACE(win::ToUtf8(name));
    HANDLE child = Start(name, name, L"--child-sleep");
    ::Sleep(300);
    HANDLE found = FindProcessByName("mame.exe");
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(::TerminateProcess(found, 3)) << "opened with the terminate right";
    ::CloseHandle(found);
    EXPECT_EQ(ExitCodeAfter(child, 5000), 3u);
  }
}

TEST_F(ChildProcesses, NothingFoundWhenNoneRuns) {
  EXPECT_EQ(FindProcessByName("mame.exe"), nullptr);
  KillProcessByName("mame.exe", 100);  // nothing to do, nothing breaks
}

TEST_F(ChildProcesses, KillTerminatesOnlyTheFirstWindowlessMatch) {
  HANDLE a = Start(L"a", L"mame.exe", L"--child-sleep");
  HANDLE b = Start(L"b", L"mame.exe", L"--child-sleep");
  ::Sleep(300);
  KillProcessByName("mame.exe", 2000);
  DWORD codeA = ExitCodeAfter(a, 3000);
  DWORD codeB = ExitCodeAfter(b, 3000);
  // One of them, the first in the snapshot, ended with -1; the other runs on.
  std::vector<DWORD> codes{codeA, codeB};
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 4294967295u), 1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), STILL_ACTIVE), 1);
}

TEST_F(ChildProcesses, KillAsksAWindowedEmulatorToCloseFirst) {
  HANDLE child = Start(L"w", L"mame.exe", L"--child-window");
  ::Sleep(300);
  KillProcessByName("mame.exe", 5000);
  EXPECT_EQ(ExitCodeAfter(child, 5000), 0u) << "ended on WM_CLOSE, not terminated";
}

// An ANSI window that records the wParam of every WM_CHAR it gets.
std::vector<unsigned> g_chars;
LRESULT CALLBACK RecorderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CHAR) {
    g_chars.push_back(static_cast<unsigned>(wp));
    return 0;
  }
  return ::DefWindowProcA(wnd, msg, wp, lp);
}

HWND MakeRecorder() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecorderProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = "Recorder";
  ::RegisterClassA(&wc);
  return ::CreateWindowA("Recorder", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

TEST(TypeText, SendsOneCharMessagePerByte) {
  HWND wnd = MakeRecorder();
  ASSERT_NE(wnd, nullptr);
  std::string gbk = win::ToAnsi(L"cd\\游戏");
  ASSERT_EQ(::GetACP(), 936u) << "the test runs under code page 936";
  struct Case {
    std::string text;
    std::vector<unsigned> expected;
  } cases[] = {
      {"", {}},
      {"A", {65}},
      {"cd\\", {99, 100, 92}},
      {gbk, {99, 100, 92, 0xD3, 0xCE, 0xCF, 0xB7}},
      {std::string("\xFF\x80", 2), {255, 128}},
  };
  for (const Case& c : cases) {
    g_chars.clear();
    TypeText(wnd, c.text);
    EXPECT_EQ(g_chars, c.expected) << c.text;
  }
  g_chars.clear();
  TypeLines(wnd, {"ab", "", "c"});
  EXPECT_EQ(g_chars, (std::vector<unsigned>{97, 98, 13, 99, 13})) << "empty lines get no Enter";
  ::DestroyWindow(wnd);
}

}  // namespace
