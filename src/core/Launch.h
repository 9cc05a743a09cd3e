// Application directory and the script typed into the console to start the game.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Directory part of an executable path (cut after the last '\' or ':'), always
// ending in '\'. "D:\Games\X\launcher.exe" -> "D:\Games\X\".
std::wstring GetAppDir(std::wstring_view exePath);

// Lines that change to appDir and run the emulator; empty when appDir has no
// drive colon past its first character (UNC paths, relative paths).
std::vector<std::wstring> BuildLaunchScript(std::wstring_view appDir);

// wParam values of the WM_CHAR messages that type an ANSI text: one per byte,
// 0..255, never sign-extended.
std::vector<unsigned> CharCodesFor(std::string_view ansiText);

inline constexpr std::wstring_view kEmulatorExe = L"mame.exe";
inline constexpr std::wstring_view kEmulatorCommand = L"mame.exe vethrina";
inline constexpr std::string_view kInterpreterCommand = "cmd.exe c/";
inline constexpr std::string_view kConsoleClass = "ConsoleWindowClass";
inline constexpr std::string_view kTeardownLine = "exit";
inline constexpr unsigned kEnter = 13;

}  // namespace core
