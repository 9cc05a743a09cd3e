// One HTTP GET with WinHTTP, for the download workers (any thread).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace win {

// GETs an absolute http:// or https:// address, connecting directly (no proxy)
// with the client's default time-outs, and hands the body to `sink` chunk by
// chunk as it arrives. False when: the address is not a web address; no
// connection or answer; a status outside 200-299 (redirections are not
// followed and fail too); a body larger than maxBytes (by its Content-Length
// up front, or by the running count); a body shorter than its Content-Length;
// or `sink` returning false. After a failure the sink may have seen part of
// the body.
bool HttpGet(std::wstring_view url, std::uint64_t maxBytes,
             const std::function<bool(const char* data, std::size_t size)>& sink);

}  // namespace win
