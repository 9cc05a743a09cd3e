// The advertisement strip of the main window: loading the cached list,
// deciding when to fetch a new one, showing and rotating the entries.
// UI thread only; the workers report by posted messages.
#include <windows.h>
#include <shlobj.h>

#include <stdexcept>

#include "AdSlot.h"
#include "Application.h"
#include "Picture.h"
#include "Safety.h"
#include "ShellOpen.h"
#include "StampText.h"
#include "Text.h"
#include "UnitPlay.h"
#include "UpgraderThread.h"

namespace {

constexpr const wchar_t* kSupFolder = L"Sup\\";
constexpr const wchar_t* kCacheName = L"Sup\\Ad.his";

std::wstring ListAddress() {
  return std::wstring(QV_AD_SERVER) + win::FromAnsi(core::kListPath);
}

bool FileExists(const std::wstring& path) {
  DWORD attr = ::GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : std::wstring();
  if (text) ::LocalFree(text);  // allocated by FormatMessage
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
    message.pop_back();
  return win::ToUtf8(message);
}

// The whole file; throws with the system's reason when it cannot be read.
std::string ReadWholeFile(const std::wstring& path) {
  win::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw std::runtime_error("Cannot open file \"" + win::ToUtf8(path) + "\". " +
                             SystemMessage(::GetLastError()));
  std::string bytes;
  char buffer[16384];
  DWORD read = 0;
  while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

}  // namespace

void TFrmPlay::LoadAdList() {
  // The rotation counts its full interval from here, whatever happens below.
  struct RestartRotation {
    win::Timer& timer;
    ~RestartRotation() {
      timer.SetEnabled(false);
      timer.SetEnabled(true);
    }
  } restart{TimerAD};

  std::wstring sup = AppDir + kSupFolder;
  ::SHCreateDirectoryExW(nullptr, sup.c_str(), nullptr);  // parents too; the workers need it
  AdList.clear();
  std::wstring cache = AppDir + kCacheName;
  if (!FileExists(cache)) return;
  AdList = core::ParseAdEntries(core::SplitLines(ReadWholeFile(cache)));
}

void TFrmPlay::TimerWebTimer() {
  TimerWeb.SetEnabled(false);  // once per run
  RefreshAdListIfStale();
}

void TFrmPlay::RefreshAdListIfStale() {
  std::wstring cache = AppDir + kCacheName;
  std::string header;
  if (FileExists(cache)) {
    try {
      std::vector<std::string> lines = core::SplitLines(ReadWholeFile(cache));
      if (!lines.empty()) header = lines.front();
    } catch (const std::exception&) {
      // An unreadable cache is a stale one.
    }
  }
  core::CachedHeader h = core::ReadCachedHeader(header);
  std::optional<int64_t> stamp;
  if (h.stampText) stamp = win::ReadStampSeconds(*h.stampText);
  if (!core::ShouldFetchList(h.version, h.interval, stamp, win::NowLocalSeconds())) return;
  try {
    new TADThread(false, Handle(), h.version, ListAddress(), cache);  // frees itself
  } catch (const std::exception&) {
    // No thread could be made: the strip keeps what it has.
  }
}

void TFrmPlay::ShowAd(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(AdList.size())) return;
  const core::TADRec entry = AdList[static_cast<size_t>(index)];  // a copy: the list may be reloaded below
  switch (entry.Kind) {
    case 1:
      LabelAD.Hide();
      RzURLLabelAD.SetCaption(win::FromAnsi(entry.Text));
      RzURLLabelAD.SetURL(win::FromAnsi(entry.Link));
      RzURLLabelAD.SetHint(win::FromAnsi(entry.Hint));
      RzURLLabelAD.Show();
      break;
    case 3:
      RzURLLabelAD.Hide();
      LabelAD.SetCaption(win::FromAnsi(entry.Text));
      LabelAD.SetHint(win::FromAnsi(entry.Hint));
      LabelAD.Show();
      break;
    case 2: {
      std::wstring name = win::FromAnsi(entry.ImageFile);
      if (!core::IsBareFileName(name)) {
        // A name that could leave Sup is never fetched or read: as a picture that fails to load.
        ImageAdLink = entry.Link;
        return;
      }
      std::wstring path = AppDir + kSupFolder + name;
      if (!FileExists(path)) {
        ImageAD.Tag = -1;
        std::wstring url = win::FromAnsi(entry.ImageURL);
        if (core::IsWebAddress(url)) {
          try {
            new TGetPicThread(false, Handle(), url, path, index);  // frees itself
          } catch (const std::exception&) {
          }
        }
        return;
      }
      if (index == ImageAD.Tag) return;  // already on screen
      ImageAdLink = entry.Link;
      try {
        win::Picture picture = win::Picture::LoadFromFile(path);
        core::SlotRect slot = core::PictureSlot(picture.Width(), picture.Height(), FS.Width());
        ImageAD.SetPicture(std::move(picture));
        PanelAD.SetBounds(slot.left, slot.top, slot.width, slot.height);
        ImageAD.SetHint(win::FromAnsi(entry.Hint));
        PanelAD.Show();
        ImageAD.Tag = index;
        win::App().ProcessMessages();
      } catch (const std::exception&) {
        // Unreadable or still being written: the slot keeps what it shows.
      }
      break;
    }
    default:
      break;
  }
}

void TFrmPlay::ShowFirstTextAd() {
  for (size_t i = 0; i < AdList.size(); ++i) {
    if (AdList[i].Kind == 1 || AdList[i].Kind == 3) {
      ShowAd(static_cast<int32_t>(i));
      return;
    }
  }
}

void TFrmPlay::ShowFirstImageAd() {
  for (size_t i = 0; i < AdList.size(); ++i) {
    if (AdList[i].Kind == 2) {
      ShowAd(static_cast<int32_t>(i));
      return;
    }
  }
}

void TFrmPlay::WMAdListReady() {
  if (!FileExists(AppDir + kCacheName)) return;
  LoadAdList();
  ImageAD.Tag = -1;  // the first picture is loaded again even if its index is on screen
  ShowFirstTextAd();
  ShowFirstImageAd();
}

void TFrmPlay::WMAdImageReady(LPARAM index) {
  // Bounds first: narrowing a 64-bit LPARAM could turn junk into a valid index.
  if (index >= 0 && static_cast<std::uint64_t>(index) < AdList.size())
    ShowAd(static_cast<int32_t>(index));
}

void TFrmPlay::TimerADTimer() {
  int32_t i = AdIndex + 1;
  if (i >= static_cast<int32_t>(AdList.size())) i = 0;
  if (!AdList.empty()) ShowAd(i);
  AdIndex = i;
}

void TFrmPlay::ImageADClick() { OpenWebAddress(win::FromAnsi(ImageAdLink)); }
