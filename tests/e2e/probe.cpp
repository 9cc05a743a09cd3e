// Windows-side query tool for the end-to-end scenarios. Each command writes one
// JSON document to the file OUT (never to a pipe: Wine's helper processes can
// hold a pipe open for ever).
//
//   probe.exe windows OUT            top-level windows, hidden ones too
//   probe.exe children HWND OUT      child windows of HWND (hex)
//   probe.exe msgbox CAPTION OUT     the dialog with that caption: texts,
//                                    buttons and which standard icon it shows
//   probe.exe procs OUT              processes of this prefix
//   probe.exe roundregion HWND OUT L T R B W H
//                                    whether the window's region equals
//                                    CreateRoundRectRgn(L, T, R, B, W, H)
//   probe.exe type CLASS OUT B...    SendMessageA(WM_CHAR, B) for each decimal
//                                    byte B to FindWindowA(CLASS, NULL)
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_log.h"

namespace {

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Quote(std::wstring_view text) { return Quote(e2e::ToUtf8(text)); }

std::string HandleText(const void* handle) {
  char text[32];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
  return Quote(text);
}

std::string JsonArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (const std::string& item : items) {
    if (out.size() > 1) out += ',';
    out += item;
  }
  return out + "]";
}

std::string RectJson(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "[%ld,%ld,%ld,%ld]", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
  return text;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024];
  int n = GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  return std::wstring(text, n > 0 ? n : 0);
}

std::wstring ClassName(HWND window) {
  wchar_t name[256];
  int n = GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return std::wstring(name, n > 0 ? n : 0);
}

std::vector<std::pair<DWORD, std::wstring>> Processes() {
  std::vector<std::pair<DWORD, std::wstring>> list;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return list;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    list.emplace_back(entry.th32ProcessID, entry.szExeFile);
  CloseHandle(snapshot);
  return list;
}

std::string WindowJson(HWND window, const std::vector<std::pair<DWORD, std::wstring>>& processes) {
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(window, &pid);
  std::wstring exe;
  for (const auto& [id, name] : processes)
    if (id == pid) exe = name;
  RECT rect{}, client{}, box{};
  GetWindowRect(window, &rect);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  int regionType = GetWindowRgn(window, region);
  if (regionType != ERROR) GetRgnBox(region, &box);
  DeleteObject(region);
  return "{\"hwnd\":" + HandleText(window) + ",\"class\":" + Quote(ClassName(window)) +
         ",\"title\":" + Quote(WindowText(window)) +
         ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") +
         ",\"iconic\":" + (IsIconic(window) ? "true" : "false") + ",\"rect\":" + RectJson(rect) +
         ",\"client_origin\":[" + std::to_string(origin.x) + "," + std::to_string(origin.y) + "]" +
         ",\"client_size\":[" + std::to_string(client.right) + "," + std::to_string(client.bottom) + "]" +
         ",\"style\":" + std::to_string(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE))) +
         ",\"exstyle\":" + std::to_string(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE))) +
         ",\"owner\":" + HandleText(GetWindow(window, GW_OWNER)) + ",\"pid\":" + std::to_string(pid) +
         ",\"tid\":" + std::to_string(tid) + ",\"exe\":" + Quote(exe) +
         ",\"id\":" + std::to_string(GetDlgCtrlID(window)) +
         ",\"region_type\":" + std::to_string(regionType) + ",\"region_box\":" + RectJson(box) + "}";
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string WindowList(const std::vector<HWND>& windows) {
  auto processes = Processes();
  std::vector<std::string> items;
  for (HWND window : windows) items.push_back(WindowJson(window, processes));
  return JsonArray(items);
}

std::string ScreenJson() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return "{\"size\":[" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," +
         std::to_string(GetSystemMetrics(SM_CYSCREEN)) + "],\"work_area\":" + RectJson(work) + "}";
}

// Pixels of a screen rectangle as 0x00RRGGBB.
std::vector<DWORD> Capture(HDC source, int x, int y, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

// Draws a standard icon over the captured background and measures how far it
// is from what the screen shows. An icon handle of another process cannot be
// read under Wine, so the icon is recognised by its look.
double IconDistance(const std::vector<DWORD>& shown, int width, int height, LPCWSTR id) {
  HICON icon = LoadIconW(nullptr, id);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int i = 0; i < width * height; ++i) pixels[i] = shown[0];  // the corner is background
  DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  GdiFlush();
  double sum = 0;
  for (int i = 0; i < width * height; ++i)
    for (int shift = 0; shift < 24; shift += 8)
      sum += std::abs(static_cast<int>((pixels[i] >> shift) & 255) - static_cast<int>((shown[i] >> shift) & 255));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return sum / (width * height * 3);
}

std::string IconJson(HWND icon) {
  RECT rect{};
  GetWindowRect(icon, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  std::string out = "{\"hwnd\":" + HandleText(icon) + ",\"rect\":" + RectJson(rect) +
                    ",\"visible\":" + (IsWindowVisible(icon) ? "true" : "false") +
                    ",\"has_icon\":" + (SendMessageW(icon, STM_GETICON, 0, 0) ? "true" : "false");
  if (width > 0 && height > 0 && width <= 256 && height <= 256) {
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> shown = Capture(screen, rect.left, rect.top, width, height);
    ReleaseDC(nullptr, screen);
    const std::pair<const char*, LPCWSTR> candidates[] = {
        {"error", IDI_ERROR}, {"warning", IDI_WARNING}, {"information", IDI_INFORMATION},
        {"question", IDI_QUESTION}, {"application", IDI_APPLICATION}};
    std::string best;
    double bestDistance = 1e9;
    out += ",\"distances\":{";
    bool first = true;
    for (const auto& [name, id] : candidates) {
      double distance = IconDistance(shown, width, height, id);
      char number[32];
      std::snprintf(number, sizeof number, "%.2f", distance);
      out += std::string(first ? "" : ",") + Quote(name) + ":" + number;
      first = false;
      if (distance < bestDistance) bestDistance = distance, best = name;
    }
    out += "},\"looks_like\":" + Quote(best);
  }
  return out + "}";
}

std::string MessageBoxJson(const std::wstring& caption) {
  HWND dialog = nullptr;
  for (HWND window : TopLevelWindows())
    if (ClassName(window) == L"#32770" && WindowText(window) == caption && IsWindowVisible(window)) dialog = window;
  if (!dialog) return "{\"found\":false}";
  auto processes = Processes();
  std::vector<std::string> texts, buttons;
  std::string icon = "null";
  for (HWND child : ChildWindows(dialog)) {
    if (!IsWindowVisible(child)) continue;
    std::wstring name = ClassName(child);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(name.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
      icon = IconJson(child);
    else if (_wcsicmp(name.c_str(), L"Static") == 0 && !WindowText(child).empty())
      texts.push_back(Quote(WindowText(child)));
    else if (_wcsicmp(name.c_str(), L"Button") == 0)
      buttons.push_back(WindowJson(child, processes));
  }
  return "{\"found\":true,\"window\":" + WindowJson(dialog, processes) + ",\"texts\":" + JsonArray(texts) +
         ",\"buttons\":" + JsonArray(buttons) + ",\"icon\":" + icon + "}";
}

std::string ProcessesJson() {
  std::vector<std::string> items;
  for (const auto& [pid, exe] : Processes())
    items.push_back("{\"pid\":" + std::to_string(pid) + ",\"exe\":" + Quote(exe) + "}");
  return JsonArray(items);
}

std::string TypeJson(const std::wstring& className, const std::vector<std::wstring>& bytes) {
  HWND target = FindWindowA(e2e::ToUtf8(className).c_str(), nullptr);
  if (!target) return "{\"found\":false}";
  for (const std::wstring& byte : bytes)
    SendMessageA(target, WM_CHAR, static_cast<WPARAM>(std::wcstoul(byte.c_str(), nullptr, 10) & 255), 0);
  return "{\"found\":true,\"hwnd\":" + HandleText(target) + ",\"sent\":" + std::to_string(bytes.size()) + "}";
}

std::string RoundRegionJson(HWND window, const std::vector<std::wstring>& numbers) {
  if (numbers.size() < 6) return "{\"error\":\"six numbers needed\"}";
  int n[6];
  for (int i = 0; i < 6; ++i) n[i] = std::wcstol(numbers[i].c_str(), nullptr, 10);
  HRGN expected = CreateRoundRectRgn(n[0], n[1], n[2], n[3], n[4], n[5]);
  HRGN actual = CreateRectRgn(0, 0, 0, 0);
  int type = GetWindowRgn(window, actual);
  RECT expectedBox{}, actualBox{};
  GetRgnBox(expected, &expectedBox);
  GetRgnBox(actual, &actualBox);
  // Same pixels, not EqualRgn: Wine's EqualRgn also compares how the region
  // is cut into rectangles, which differs for a window's copy.
  HRGN difference = CreateRectRgn(0, 0, 0, 0);
  int differenceType = CombineRgn(difference, expected, actual, RGN_XOR);
  bool equal = type != ERROR && differenceType == NULLREGION;
  RECT differenceBox{};
  GetRgnBox(difference, &differenceBox);
  DWORD size = GetRegionData(difference, 0, nullptr);
  std::vector<char> data(size);
  std::vector<std::string> differing;
  if (size && GetRegionData(difference, size, reinterpret_cast<RGNDATA*>(data.data()))) {
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    auto* rects = reinterpret_cast<RECT*>(header->Buffer);
    for (DWORD i = 0; i < header->rdh.nCount && i < 32; ++i) differing.push_back(RectJson(rects[i]));
  }
  DeleteObject(difference);
  DeleteObject(expected);
  DeleteObject(actual);
  return "{\"equal\":" + std::string(equal ? "true" : "false") + ",\"type\":" + std::to_string(type) +
         ",\"box\":" + RectJson(actualBox) + ",\"expected_box\":" + RectJson(expectedBox) +
         ",\"difference_type\":" + std::to_string(differenceType) + ",\"difference\":" + JsonArray(differing) + "}";
}

bool WriteOut(const std::wstring& path, const std::string& json) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text = json + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return written == text.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv, argv + argc);
  LocalFree(argv);
  if (args.size() < 3) return 2;
  const std::wstring& command = args[1];
  std::string json;
  std::wstring out;
  if (command == L"windows") {
    out = args[2];
    json = "{\"screen\":" + ScreenJson() + ",\"windows\":" + WindowList(TopLevelWindows()) + "}";
  } else if (command == L"children" && args.size() >= 4) {
    out = args[3];
    auto parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(args[2].c_str(), nullptr, 16)));
    json = "{\"windows\":" + WindowList(ChildWindows(parent)) + "}";
  } else if (command == L"msgbox" && args.size() >= 4) {
    out = args[3];
    json = MessageBoxJson(args[2]);
  } else if (command == L"roundregion" && args.size() >= 4) {
    out = args[3];
    auto window = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(args[2].c_str(), nullptr, 16)));
    json = RoundRegionJson(window, std::vector<std::wstring>(args.begin() + 4, args.end()));
  } else if (command == L"procs") {
    out = args[2];
    json = "{\"processes\":" + ProcessesJson() + "}";
  } else if (command == L"type" && args.size() >= 4) {
    out = args[3];
    json = TypeJson(args[2], std::vector<std::wstring>(args.begin() + 4, args.end()));
  } else {
    return 2;
  }
  return WriteOut(out, json) ? 0 : 1;
}
