// Event logs of the end-to-end stand-ins: one line per event, fields separated
// by tabs, text in UTF-8 with tab, CR, LF and backslash escaped, first field the
// writer's process id. Every line is appended and closed at once, so a reader
// on the Linux side sees it while the writer still runs.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <string_view>

namespace e2e {

inline std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

inline std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

inline std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

inline std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// Folder of this executable, with a trailing backslash.
inline std::wstring OwnDir() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

inline bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Appends raw bytes; the mutex keeps lines of several threads apart.
inline void AppendRaw(const std::wstring& path, std::string_view bytes) {
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

class EventLog {
 public:
  explicit EventLog(std::wstring path) : path_(std::move(path)) {}

  // fields are UTF-8 text; each is escaped.
  template <typename... Fields>
  void Write(std::string_view event, const Fields&... fields) const {
    std::string line = std::to_string(GetCurrentProcessId()) + '\t' + Escape(event);
    ((line += '\t', line += Escape(fields)), ...);
    line += '\n';
    AppendRaw(path_, line);
  }

 private:
  std::wstring path_;
};

}  // namespace e2e
