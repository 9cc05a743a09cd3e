#include "UpgraderThread.h"

#include <string_view>
#include <utility>
#include <vector>

#include "Messages.h"
#include "core/AdList.h"
#include "core/Safety.h"
#include "win/Handles.h"
#include "win/Http.h"
#include "win/StampText.h"

namespace {

// List workers inside their purge-and-store section.
constinit win::ActivityCount listSettling;

// Written next to the cached list, then renamed over it. The purge removes a
// leftover one.
constexpr std::wstring_view kTempSuffix = L".tmp";

constexpr DWORD kPurgeMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             8 /* volume label */ | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
static_assert(kPurgeMask == 63);

bool WriteAll(HANDLE file, const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD part = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, data, part, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

bool WriteDurably(const std::wstring& path, const std::string& bytes) {
  const win::UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAll(file.Get(), bytes.data(), bytes.size()) && FlushFileBuffers(file.Get());
}

// The folder part of a path, up to and including its last separator.
std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// Runs on the list worker: clears the folder, then stores the new list under
// a temporary name and renames it over the cached one, so the cache is either
// the old list, missing, or the whole new list.
bool StoreList(const std::wstring& fileName, const std::string& bytes) {
  const std::wstring folder = FolderOf(fileName);
  if (folder.empty()) return false;  // never purge a folder we were not given
  const win::ActivityCount::Scope settling(listSettling);
  PurgeFolder(folder);
  const std::wstring temp = fileName + std::wstring(kTempSuffix);
  if (!WriteDurably(temp, bytes)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  // The purge leaves a read-only list in place; it is replaced all the same,
  // or it would block every later list.
  const DWORD oldAttributes = GetFileAttributesW(fileName.c_str());
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(fileName.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY);
  }
  if (!MoveFileExW(temp.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool IsDotName(std::wstring_view name) {
  while (!name.empty() && name.front() <= L' ') name.remove_prefix(1);
  while (!name.empty() && name.back() <= L' ') name.remove_suffix(1);
  return name == L"." || name == L"..";
}

}  // namespace

TADThread::TADThread(bool createSuspended, HWND notifyWnd, std::string oldVersion, std::wstring url,
                     std::wstring fileName)
    : URL(std::move(url)), OldVersion(std::move(oldVersion)), FileName(std::move(fileName)), NotifyWnd(notifyWnd) {
  if (!createSuspended) Start();  // last: the object is complete
}

// List worker thread.
void TADThread::Execute() {
  std::string body;
  const bool fetched = win::HttpGet(URL, core::kMaxListBytes, [&body](const char* data, std::size_t size) {
    body.append(data, size);
    return true;
  });
  if (!fetched) return;
  std::vector<std::string> lines = core::SplitLines(body);
  if (core::CheckDeliveredList(lines, OldVersion) != core::ListVerdict::Accepted) return;
  if (!StoreList(FileName, core::BuildCachedList(std::move(lines), win::FormatStampNow()))) return;
  // No payload: if the window is gone the post fails and there is nothing to free.
  PostMessageW(NotifyWnd, WM_ADLISTREADY, 0, 0);
}

TGetPicThread::TGetPicThread(bool createSuspended, HWND notifyWnd, std::wstring url, std::wstring fileName,
                             std::int32_t entryIndex)
    : URL(std::move(url)), FileName(std::move(fileName)), EntryIndex(entryIndex), NotifyWnd(notifyWnd) {
  if (!createSuspended) Start();  // last: the object is complete
}

// Picture worker thread.
void TGetPicThread::Execute() {
  // Fails while another worker holds the file; the exclusive create below
  // then fails too and this worker ends without a trace.
  DeleteFileW(FileName.c_str());
  bool fetched = false;
  {
    const win::UniqueHandle file(
        CreateFileW(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    // The list is untrusted: only web addresses are fetched.
    fetched = core::IsWebAddress(URL) &&
              win::HttpGet(URL, core::kMaxPictureBytes, [&file](const char* data, std::size_t size) {
                return WriteAll(file.Get(), data, size);
              });
  }
  if (!fetched) {
    DeleteFileW(FileName.c_str());  // no partial picture is left
    return;
  }
  if (GetFileAttributesW(FileName.c_str()) != INVALID_FILE_ATTRIBUTES) {
    PostMessageW(NotifyWnd, WM_ADIMAGEREADY, 0, static_cast<LPARAM>(EntryIndex));
  }
}

void PurgeFolder(const std::wstring& folder) {
  if (folder.empty()) return;  // "" + "\" would be the root of the current drive
  std::wstring base = folder;
  if (base.back() != L'\\' && base.back() != L'/') base += L'\\';
  WIN32_FIND_DATAW entry;
  const win::UniqueFind search(FindFirstFileW((base + L"*.*").c_str(), &entry));
  if (!search) return;
  do {
    const DWORD attributes = entry.dwFileAttributes;
    if (IsDotName(entry.cFileName)) continue;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if ((attributes & ~kPurgeMask) != 0) continue;
    DeleteFileW((base + entry.cFileName).c_str());  // a failure is ignored
  } while (FindNextFileW(search.Get(), &entry));
}

bool WaitForListWorkerToSettle(DWORD timeoutMs) { return listSettling.WaitUntilIdle(timeoutMs); }

bool WaitForAllWorkers(DWORD timeoutMs) { return win::Thread::WaitUntilRunningAtMost(0, timeoutMs); }
