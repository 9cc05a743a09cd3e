#include "StampText.h"

#include <oleauto.h>

namespace win {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns

std::wstring WideDate(const SYSTEMTIME& time) {
  const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, nullptr, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text.data(), length);
  text.resize(static_cast<std::size_t>(length - 1));  // without the terminator
  return text;
}

std::wstring WideTime(const SYSTEMTIME& time) {
  const int length = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, nullptr, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text.data(), length);
  text.resize(static_cast<std::size_t>(length - 1));
  return text;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  return bytes;
}

std::wstring FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace

std::string FormatStamp(const SYSTEMTIME& localTime) {
  return ToAnsi(WideDate(localTime) + L" " + WideTime(localTime));
}

std::string FormatStampNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FormatStamp(now);
}

std::optional<std::int64_t> ReadStampSeconds(std::string_view ansiText) {
  std::wstring text = FromAnsi(ansiText);
  if (text.empty() || text.find(L'\0') != std::wstring::npos) return std::nullopt;
  DATE date = 0;
  if (FAILED(VarDateFromStr(text.data(), LOCALE_USER_DEFAULT, 0, &date))) return std::nullopt;
  SYSTEMTIME time;
  if (!VariantTimeToSystemTime(date, &time)) return std::nullopt;
  return LocalSeconds(time);
}

std::int64_t LocalSeconds(const SYSTEMTIME& localTime) {
  SYSTEMTIME wholeSeconds = localTime;
  wholeSeconds.wMilliseconds = 0;
  FILETIME fileTime;
  if (!SystemTimeToFileTime(&wholeSeconds, &fileTime)) return 0;
  ULARGE_INTEGER ticks;
  ticks.LowPart = fileTime.dwLowDateTime;
  ticks.HighPart = fileTime.dwHighDateTime;
  return static_cast<std::int64_t>(ticks.QuadPart) / kTicksPerSecond;
}

std::int64_t NowLocalSeconds() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalSeconds(now);
}

}  // namespace win
