// Checks applied to what the ad list (untrusted, fetched over plain HTTP) names.
#pragma once
#include <string>
#include <string_view>

namespace core {

// http:// or https:// in any letter case, followed by at least a host character
// (an ASCII letter or digit, '[' of an IPv6 literal, or a non-ASCII character);
// no control character anywhere.
bool IsWebAddress(std::wstring_view address);

// A plain file name that stays inside its folder: not empty, not "." or "..",
// no '\', '/', ':', no control characters or *?"<>|, no trailing dot or blank,
// and no reserved device name (CON, NUL, COM1, ... with or without extension).
bool IsBareFileName(std::wstring_view name);

// The picture formats the strip can read, chosen by extension in any case:
// bmp, ico, emf, wmf, jpg, jpeg, gif.
bool HasPictureReader(std::wstring_view fileName);

// Text from the last '.' that stands after the last '\' and ':', upper-cased
// (ASCII); empty when there is none. "a\b.htm" -> ".HTM".
std::wstring UpperExtension(std::wstring_view target);

// True when the text holds nothing but characters at or below ' '.
bool IsBlankText(std::wstring_view text);

}  // namespace core
