#include "Thread.h"

#include <process.h>

#include <cerrno>
#include <system_error>

#include "Handles.h"

namespace win {

void ActivityCount::Enter() {
  AcquireSRWLockExclusive(&lock_);
  ++count_;
  ReleaseSRWLockExclusive(&lock_);
}

void ActivityCount::Leave() {
  AcquireSRWLockExclusive(&lock_);
  --count_;
  ReleaseSRWLockExclusive(&lock_);
  WakeAllConditionVariable(&changed_);
}

long ActivityCount::Count() {
  AcquireSRWLockShared(&lock_);
  const long count = count_;
  ReleaseSRWLockShared(&lock_);
  return count;
}

bool ActivityCount::WaitUntilAtMost(long level, DWORD timeoutMs) {
  const ULONGLONG start = GetTickCount64();
  AcquireSRWLockExclusive(&lock_);
  bool reached = count_ <= level;
  while (!reached) {
    DWORD left = INFINITE;
    if (timeoutMs != INFINITE) {
      const ULONGLONG spent = GetTickCount64() - start;
      if (spent >= timeoutMs) break;
      left = static_cast<DWORD>(timeoutMs - spent);
    }
    // Wakes on every Leave (and now and then spuriously); the loop re-checks.
    SleepConditionVariableSRW(&changed_, &lock_, left, 0);
    reached = count_ <= level;
  }
  ReleaseSRWLockExclusive(&lock_);
  return reached;
}

namespace {

constinit ActivityCount running;

}  // namespace

void Thread::Start() {
  // Counted before the thread exists, so a wait right after Start sees it.
  running.Enter();
  // Nobody waits on the thread itself; its handle is closed at once.
  const UniqueHandle thread(reinterpret_cast<HANDLE>(
      _beginthreadex(nullptr, 0, &Thread::Run, this, 0, nullptr)));
  if (!thread) {
    const int error = errno;
    running.Leave();
    throw std::system_error(error, std::generic_category(), "cannot start a worker thread");
  }
  // From here on `this` may already be deleted; touch nothing of it.
}

long Thread::RunningCount() { return running.Count(); }

bool Thread::WaitUntilRunningAtMost(long level, DWORD timeoutMs) {
  return running.WaitUntilAtMost(level, timeoutMs);
}

// The worker thread: the body, then the object's own end.
unsigned __stdcall Thread::Run(void* self) {
  auto* thread = static_cast<Thread*>(self);
  try {
    thread->Execute();
  } catch (...) {
    // A worker reports only by posting; a failure it did not catch is dropped.
  }
  delete thread;
  running.Leave();
  return 0;
}

}  // namespace win
