// The download workers of the ad strip and the folder purge they use. Each
// worker is made with `new`, runs on its own thread, frees itself, and reports
// success only by posting a message to NotifyWnd (see Messages.h). Everything
// that goes wrong in a worker is silent.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "win/Thread.h"

// Fetches the ad list and, when it is a complete list of another version,
// replaces the cached list FileName (after clearing its folder) and posts
// WM_ADLISTREADY. At most one runs per program run.
class TADThread final : public win::Thread {
 public:
  TADThread(bool createSuspended, HWND notifyWnd, std::string oldVersion, std::wstring url,
            std::wstring fileName);

 private:
  void Execute() override;

  const std::wstring URL;         // address of the list
  const std::string OldVersion;   // version of the cached list, raw bytes; may be empty
  const std::wstring FileName;    // full path of the cached list (...\Sup\Ad.his)
  const HWND NotifyWnd;           // receives WM_ADLISTREADY
};

// Fetches one picture straight into FileName, held exclusively while it is
// written, and posts WM_ADIMAGEREADY with EntryIndex once the file is complete.
// A failed fetch leaves no file; a second worker for a file that is being
// fetched ends at once and silently.
class TGetPicThread final : public win::Thread {
 public:
  TGetPicThread(bool createSuspended, HWND notifyWnd, std::wstring url, std::wstring fileName,
                std::int32_t entryIndex);

 private:
  void Execute() override;

  const std::wstring URL;          // address of the picture (the entry's ImageURL)
  const std::wstring FileName;     // full path of the picture file in Sup
  const std::int32_t EntryIndex;   // index in AdList of the entry, as it was at the start
  const HWND NotifyWnd;            // receives WM_ADIMAGEREADY
};

// Deletes the files directly in `folder` (with or without a final '\') whose
// attributes lie within read-only, hidden, system, volume, directory and
// archive; sub-folders are left alone and failures are ignored, so read-only
// files stay. An empty `folder` does nothing.
void PurgeFolder(const std::wstring& folder);

// For program end: true at once when no list worker is purging or writing the
// cache, else waits at most timeoutMs for it to finish that. A worker still
// downloading is not waited for; the cache is replaced by one rename, so
// ending it at any point never leaves a torn list.
bool WaitForListWorkerToSettle(DWORD timeoutMs);

// True once every started worker has ended and freed itself.
bool WaitForAllWorkers(DWORD timeoutMs);
