#include "Http.h"

#include <windows.h>
#include <winhttp.h>

#include "Handles.h"

#include <optional>
#include <string>
#include <vector>

namespace win {
namespace {

constexpr DWORD kChunkBytes = 64 * 1024;

struct InternetTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { WinHttpCloseHandle(h); }
};
// Owns a session, connection or request handle of WinHTTP.
using InternetHandle = Owner<InternetTraits>;

struct Target {
  bool secure = false;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring pathAndQuery;
};

std::optional<Target> CrackWebAddress(std::wstring_view url) {
  if (url.empty() || url.find(L'\0') != std::wstring_view::npos) return std::nullopt;
  const std::wstring text(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(text.c_str(), static_cast<DWORD>(text.size()), 0, &parts)) return std::nullopt;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
  if (parts.lpszHostName == nullptr || parts.dwHostNameLength == 0) return std::nullopt;

  Target target;
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.port = parts.nPort;
  if (parts.lpszUrlPath != nullptr) target.pathAndQuery.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo != nullptr) target.pathAndQuery.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  // A fragment names a place in the document; it is never sent.
  if (const auto hash = target.pathAndQuery.find(L'#'); hash != std::wstring::npos) target.pathAndQuery.erase(hash);
  if (target.pathAndQuery.empty()) target.pathAndQuery = L"/";
  return target;
}

std::optional<DWORD> StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  return status;
}

// The announced body size; nullopt when absent or not a plain number.
// Saturates, so a huge announcement still reads as too large.
std::optional<std::uint64_t> ContentLength(HINTERNET request) {
  wchar_t text[64] = {};
  DWORD size = sizeof(text);
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text,
                           &size, WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  const std::wstring_view digits(text, size / sizeof(wchar_t));
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const wchar_t c : digits) {
    if (c < L'0' || c > L'9') return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - L'0');
    value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
  }
  return value;
}

}  // namespace

bool HttpGet(std::wstring_view url, std::uint64_t maxBytes,
             const std::function<bool(const char* data, std::size_t size)>& sink) {
  const std::optional<Target> target = CrackWebAddress(url);
  if (!target) return false;

  // No proxy: the ad server is reached directly, whatever the environment says.
  const InternetHandle session(WinHttpOpen(L"QUARVEN launcher", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return false;
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  WinHttpSetOption(session.Get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));

  const InternetHandle connection(WinHttpConnect(session.Get(), target->host.c_str(), target->port, 0));
  if (!connection) return false;
  const InternetHandle request(WinHttpOpenRequest(connection.Get(), L"GET", target->pathAndQuery.c_str(),
                                                  nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                  target->secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return false;
  // A redirection is answered as a failure, never followed: without this the
  // status check below would see the redirected-to answer instead.
  DWORD features = WINHTTP_DISABLE_REDIRECTS;
  if (!WinHttpSetOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof(features))) return false;

  if (!WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    return false;
  }
  if (!WinHttpReceiveResponse(request.Get(), nullptr)) return false;

  const std::optional<DWORD> status = StatusCode(request.Get());
  if (!status || *status < 200 || *status > 299) return false;
  const std::optional<std::uint64_t> announced = ContentLength(request.Get());
  if (announced && *announced > maxBytes) return false;

  std::vector<char> buffer(kChunkBytes);
  std::uint64_t received = 0;
  for (;;) {
    DWORD got = 0;
    if (!WinHttpReadData(request.Get(), buffer.data(), kChunkBytes, &got)) return false;
    if (got == 0) break;
    received += got;
    if (received > maxBytes) return false;
    if (!sink(buffer.data(), got)) return false;
  }
  // A connection that ends early gives a short body; it is not the document.
  return !announced || received == *announced;
}

}  // namespace win
