#pragma once
// The hand-over from worker threads to the user-interface (main) thread.
//
// A worker calls Synchronize(method): the method is queued, the main thread is woken through
// the wake hook, and the worker waits until the main thread has run it in CheckSynchronize.
// Every loop in which the main thread waits (the main loop, each modal loop, each wait for a
// worker) must call ServeMainThread, or a worker waiting in Synchronize, or in a SendMessage to
// one of the main thread's windows, waits forever.
//
// Once MainThreadEnded() has been called, Synchronize and Queue return without running the
// method, and workers already waiting are released; that keeps late workers from hanging at
// shutdown.
#include <cstdint>
#include <functional>

// The kernel's id of the calling thread (gettid).
uint32_t GetCurrentThreadId();

// Makes the calling thread the main thread and opens the hand-over again after
// MainThreadEnded (start-up, and tests). Without a call, the main thread is the thread that
// ran the program's static initialisation, i.e. the one that runs main().
void InitMainThread();
uint32_t MainThreadID();
bool IsMainThread();

// Runs `method` on the main thread and waits for it. On the main thread it runs at once. An
// exception thrown by the method is rethrown here, on the calling thread. After
// MainThreadEnded it returns without running.
void Synchronize(std::function<void()> method);
// Runs `method` on the main thread later, without waiting (at once when called on the main
// thread). An exception from a queued method comes out of the CheckSynchronize that ran it.
void Queue(std::function<void()> method);

// Runs the hand-overs waiting for the main thread, waiting up to `timeoutMs` for the first one
// (or for WakeMainThread). Answers whether it ran anything. Raises EThread when called from
// another thread.
bool CheckSynchronize(uint32_t timeoutMs = 0);

// One step of any wait on the main thread: serves everything other threads may be waiting for
// there (the hand-overs, and what the installed server adds: the window layer's messages sent
// from other threads), waiting up to `timeoutMs` for the first of it when nothing is pending.
// Answers whether it served anything. On any other thread it does nothing and answers false.
// It serves sent messages even after MainThreadEnded, which only closes the hand-over.
bool ServeMainThread(uint32_t timeoutMs = 0);
// The server of the layer above (base depends on no upper layer, so that layer installs it).
// It must call CheckSynchronize itself, and it must return early when WakeMainThread is called.
// Null: ServeMainThread serves the hand-overs only.
void SetMainThreadServer(std::function<bool(uint32_t timeoutMs)> server);

// Wakes the main thread: a CheckSynchronize that waits returns, and the wake hook is called.
void WakeMainThread();
// The hook that wakes the main thread's own wait (the platform's message queue sets it). It is
// called from worker threads, without any lock of the hand-over held.
void SetWakeMainThread(std::function<void()> hook);

// Processes the main thread's pending messages. The class library's application provides the
// real work through the hook (which must serve the hand-overs too); without a hook, only the
// hand-overs are served.
void SetProcessMessagesHook(std::function<void()> hook);
void ProcessMessages();

// Declares that the main thread no longer serves hand-overs (after its main loop): waiting
// methods are dropped and their workers released, later ones return at once.
void MainThreadEnded();
bool MainThreadHasEnded();
