// The date-and-time stamp of the cached ad list header, in the user's regional
// format, and the scale on which the staleness rule compares moments. Any
// thread may call these; they read the shared regional settings only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace win {

// Local time as the regional short date, a blank and the regional time
// (seconds included), in ANSI bytes of the system code page.
std::string FormatStamp(const SYSTEMTIME& localTime);
std::string FormatStampNow();

// Reads text written by FormatStamp under the same regional settings back as
// LocalSeconds; nullopt when it does not read as a date and time.
std::optional<std::int64_t> ReadStampSeconds(std::string_view ansiText);

// Local wall-clock time as whole seconds since 1601-01-01 00:00 (no time zone
// applied: both sides of every comparison are local).
std::int64_t LocalSeconds(const SYSTEMTIME& localTime);
std::int64_t NowLocalSeconds();

}  // namespace win
