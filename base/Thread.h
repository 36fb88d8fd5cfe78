#pragma once
// Worker threads in the class library's shape, on std::thread.
//
// Starting: a base constructor cannot start a thread that calls the derived Execute (the
// derived part does not exist yet). So the thread runs from Start() (or Resume()) on. A class
// "created running" passes CreateSuspended = false and ends its own constructor with Start(),
// or its creator calls Start() right after construction.
//
// Ownership: without FreeOnTerminate the creator owns the object; deleting it terminates the
// thread and waits for its end. With FreeOnTerminate the thread deletes the object itself once
// Execute and OnTerminate are done: after Start() nobody may delete it, wait for it, or touch
// it unless Execute/OnTerminate tell them it is still alive.
//
// Stopping: the base destructor runs after the derived members are gone. A class whose Execute
// uses its own members stops the thread in its own destructor: Terminate(); WaitFor();
//
// Pausing: Linux cannot suspend a running thread. Suspend() on a running thread raises EThread;
// our code pauses cooperatively instead and never calls it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "base/Events.h"
#include "base/MainThread.h"
#include "base/Object.h"

// Priorities as nice values: tpIdle 19, tpLowest 10, tpLower 5, tpNormal 0; the higher ones
// (-5, -10, -20) need a privilege and silently stay at the inherited value without it.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

int NiceValueOf(TThreadPriority Priority);

class TThread : public TObject {
public:
  explicit TThread(bool CreateSuspended);
  // Terminates and waits for a started thread (serving as ServeMainThread does when on the main
  // thread).
  ~TThread() override;

  // Starts a thread that has not run yet; raises EThread when it already has.
  void Start();
  // Starts a thread that has not run yet; does nothing to one that is running.
  void Resume();
  // Does nothing before the start; raises EThread on a running thread (see above).
  void Suspend();
  bool Suspended() const { return !started_.load(); }
  void SetSuspended(bool Value);

  // Asks Execute to stop; Execute checks Terminated() regularly.
  void Terminate() { terminated_.store(true); }
  bool Terminated() const { return terminated_.load(); }
  // True once Execute and OnTerminate are done.
  bool Finished() const { return finished_.load(); }

  // Waits for the end of Execute and OnTerminate and answers ReturnValue. On the main thread
  // it serves hand-overs and sent messages while it waits (ServeMainThread), so a thread that
  // waits in Synchronize, in a SendMessage to a window of the main thread, or runs its
  // OnTerminate, can finish. Raises EThread for a thread that was never started, that frees
  // itself, or when called by the thread itself.
  int WaitFor();
  int ReturnValue() const { return returnValue_.load(); }

  bool FreeOnTerminate() const { return freeOnTerminate_.load(); }
  void SetFreeOnTerminate(bool Value) { freeOnTerminate_.store(Value); }

  TThreadPriority Priority() const { return priority_.load(); }
  // Applies at once to a running thread, otherwise when it starts.
  void SetPriority(TThreadPriority Value);

  // The kernel's id of the thread (0 before Start), and the pthread handle.
  uint32_t ThreadID() const { return threadID_.load(); }
  std::thread::native_handle_type Handle() const { return handle_; }

  // The exception that escaped Execute (or OnTerminate), or null. It never ends the process.
  std::exception_ptr FatalException() const;
  // Its message ("" when there is none).
  std::string FatalExceptionMessage() const;

  // Run on the main thread when Execute has ended (through Synchronize). Not run once the
  // main thread has ended.
  TNotifyEvent OnTerminate;

  // The hand-over of base/MainThread.h, as members for the derived classes' convenience.
  void Synchronize(std::function<void()> Method) { ::Synchronize(std::move(Method)); }
  void Queue(std::function<void()> Method) { ::Queue(std::move(Method)); }

protected:
  virtual void Execute() = 0;
  // Calls OnTerminate on the main thread.
  virtual void DoTerminate();
  void SetReturnValue(int Value) { returnValue_.store(Value); }

private:
  void Run();
  void ApplyPriority();

  std::thread thread_;
  std::thread::native_handle_type handle_{};
  mutable std::mutex m_;
  std::condition_variable cv_;
  std::atomic<bool> started_{false};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> freeOnTerminate_{false};
  std::atomic<int> returnValue_{0};
  std::atomic<TThreadPriority> priority_{tpNormal};
  std::atomic<uint32_t> threadID_{0};
  std::exception_ptr fatal_;
};
