// The framework's thread base: a self-freeing worker that runs Execute once on
// a thread of its own, and a counter that lets another thread wait for a group
// of threads to leave some section.
#pragma once
#include <windows.h>

namespace win {

// A count of threads inside a section, with a wait that blocks (no polling)
// until the count falls to a given level. Constant-initialised, so it is safe
// to use from any thread at any time, also from other globals' constructors.
class ActivityCount {
 public:
  constexpr ActivityCount() = default;
  ActivityCount(const ActivityCount&) = delete;
  ActivityCount& operator=(const ActivityCount&) = delete;

  void Enter();
  void Leave();
  // True once at most `level` threads are inside; false when timeoutMs runs
  // out first (INFINITE waits for ever).
  bool WaitUntilAtMost(long level, DWORD timeoutMs);
  bool WaitUntilIdle(DWORD timeoutMs) { return WaitUntilAtMost(0, timeoutMs); }
  long Count();

  // Enter for the lifetime of a scope.
  class Scope {
   public:
    explicit Scope(ActivityCount& count) : count_(count) { count_.Enter(); }
    ~Scope() { count_.Leave(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ActivityCount& count_;
  };

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
  CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
  long count_ = 0;
};

// A worker made with `new` that deletes itself when Execute returns.
//
// The thread must not run before the derived object is complete, so the base
// never starts it: the most-derived constructor calls Start() as its very last
// statement (which is why workers are `final`). Created suspended, the creator
// calls Start() itself later; until then it still owns the object and may
// delete it. After Start() the object belongs to its thread: the creator keeps
// no pointer to it.
class Thread {
 public:
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Runs Execute on a new thread. Throws std::system_error when no thread can
  // be made; the object is then still the caller's (inside a constructor the
  // new-expression frees it). Call once.
  void Start();

  // Threads started and not yet finished, process-wide. A thread counts from
  // its Start() until after its object has been deleted.
  static long RunningCount();
  static bool WaitUntilRunningAtMost(long level, DWORD timeoutMs);

 protected:
  Thread() = default;
  virtual ~Thread() = default;

  // The body, on the worker's own thread. Exceptions that escape it are
  // swallowed: a worker never takes the process down.
  virtual void Execute() = 0;

 private:
  static unsigned __stdcall Run(void* self);
};

}  // namespace win
