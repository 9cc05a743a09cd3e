// Application directory and the script typed into the console to start the game.
#include "Launch.h"

namespace core {

std::wstring GetAppDir(std::wstring_view exePath) {
  // Cut after the last path separator: a backslash or the drive colon.
  const std::size_t cut = exePath.find_last_of(L"\\:");
  std::wstring dir(cut == std::wstring_view::npos ? std::wstring_view{} : exePath.substr(0, cut + 1));
  if (dir.empty() || dir.back() != L'\\') dir.push_back(L'\\');
  return dir;
}

std::vector<std::wstring> BuildLaunchScript(std::wstring_view appDir) {
  std::vector<std::wstring> lines;
  const std::size_t colon = appDir.find(L':');
  // p = 1-based position of the first colon; nothing for p == 0 (none) or p == 1.
  if (colon == std::wstring_view::npos || colon == 0) return lines;
  const std::size_t p = colon + 1;
  lines.emplace_back(L"cd\\");
  lines.emplace_back(appDir.substr(0, p));
  const std::wstring_view rest = appDir.substr(p);
  if (rest.size() > 1) {
    std::wstring cd(L"cd");
    cd.append(rest);
    lines.push_back(std::move(cd));
  }
  lines.emplace_back(kEmulatorCommand);
  lines.emplace_back(L"A");
  return lines;
}

std::vector<unsigned> CharCodesFor(std::string_view ansiText) {
  std::vector<unsigned> codes;
  codes.reserve(ansiText.size());
  for (const char c : ansiText) codes.push_back(static_cast<unsigned char>(c));
  return codes;
}

}  // namespace core
