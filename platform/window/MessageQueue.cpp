// The message queue of each user-interface thread: sent, posted and input messages, WM_PAINT,
// timers, the quit flag, cross-thread SendMessage and "destroy later".
#include <algorithm>
#include <chrono>
#include <climits>

#include "base/Clock.h"
#include "base/MainThread.h"
#include "platform/backend/Backend.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

namespace {

// Answers every send still waiting on a queue whose thread has ended, so no sender waits forever.
struct QueueGuard {
  std::shared_ptr<ThreadQueue> q;
  ~QueueGuard() {
    if (!q) return;
    // A thread's windows end with it; nothing could serve them any more. Only this thread's
    // own list is read: the other threads' windows come and go meanwhile.
    std::vector<HWND> mine = q->topLevels;
    for (HWND h : mine) DestroyWindow(h);
    std::deque<SentItem*> pending;
    {
      std::lock_guard<std::mutex> lock(q->m);
      q->dead = true;
      pending.swap(q->sent);
    }
    for (SentItem* item : pending) {
      std::shared_ptr<ThreadQueue> sender = item->sender;  // the item ends with its sender's wait
      {
        std::lock_guard<std::mutex> lock(sender->m);
        item->result = 0;
        item->done = true;
      }
      sender->cv.notify_all();
    }
  }
};

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
  if (m.message == WM_QUIT) return true;
  if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

bool RangeTakesInput(UINT lo, UINT hi) {
  if (lo == 0 && hi == 0) return true;
  auto overlaps = [&](UINT a, UINT b) { return lo <= b && hi >= a; };
  return overlaps(WM_KEYFIRST, WM_KEYLAST) || overlaps(WM_MOUSEFIRST, WM_MOUSELAST) ||
         overlaps(WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK);
}

}  // namespace

DWORD CurrentThreadId() { return ::GetCurrentThreadId(); }

std::shared_ptr<ThreadQueue> CurrentQueue() {
  thread_local std::shared_ptr<ThreadQueue> q;
  if (!q) {
    q = std::make_shared<ThreadQueue>();
    q->threadId = CurrentThreadId();
    if (IsMainThread()) {
      // base/'s hand-overs wake the main thread's queue, so a waiting loop serves them at once,
      // and base/'s waits on this thread serve the messages sent to its windows.
      std::weak_ptr<ThreadQueue> weak = q;
      NoteMainQueue(q);
      SetWakeMainThread([weak] {
        if (auto locked = weak.lock()) WakeQueue(*locked);
      });
      SetMainThreadServer([weak](uint32_t timeoutMs) {
        auto locked = weak.lock();
        if (locked && locked->threadId == CurrentThreadId()) return ServeAndWait(*locked, timeoutMs);
        return CheckSynchronize(timeoutMs);
      });
    }
  }
  return q;
}

void EnsureQueueGuard() {
  thread_local QueueGuard guard;
  if (!guard.q) guard.q = CurrentQueue();
}

uint64_t NowMs() { return ::GetTickCount64(); }

void WakeQueue(ThreadQueue& q) {
  {
    std::lock_guard<std::mutex> lock(q.m);
    q.woken = true;
  }
  q.cv.notify_all();
  WakeBackendFor(q);
}

bool ServeSent(ThreadQueue& q) {
  bool served = false;
  for (;;) {
    SentItem* item;
    {
      std::lock_guard<std::mutex> lock(q.m);
      if (q.sent.empty()) return served;
      item = q.sent.front();
      q.sent.pop_front();
    }
    LRESULT result = 0;
    std::exception_ptr error;
    Wnd* w = Find(item->hwnd);
    if (w && !w->destroyed && w->threadId == q.threadId) {
      ++q.sendDepth;
      try {
        result = CallProc(w, item->msg, item->w, item->l);
      } catch (...) {
        error = std::current_exception();
      }
      --q.sendDepth;
    }
    // Once done is set the sender may return and end its thread: the item goes away with its
    // stack, so keep the sender's queue alive here for the notification.
    std::shared_ptr<ThreadQueue> sender = item->sender;
    {
      std::lock_guard<std::mutex> lock(sender->m);
      item->result = result;
      item->error = error;
      item->done = true;
    }
    sender->cv.notify_all();
    served = true;
  }
}

void RunDestroyLater(ThreadQueue& q) {
  if (q.dispatchDepth > 0) return;
  // A window destroyed or a function run here may ask for more: take each batch in turn.
  while (!q.destroyLater.empty() || !q.runLater.empty()) {
    std::vector<HWND> list;
    list.swap(q.destroyLater);
    for (HWND h : list) DestroyWindow(h);
    std::vector<std::function<void()>> fns;
    fns.swap(q.runLater);
    for (auto& f : fns) f();
  }
}

void KillTimersOf(ThreadQueue& q, HWND h) {
  q.timers.erase(std::remove_if(q.timers.begin(), q.timers.end(), [&](const Timer& t) { return t.hwnd == h; }),
                 q.timers.end());
  std::lock_guard<std::mutex> lock(q.m);
  q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(), [&](const MSG& m) { return m.hwnd == h; }),
                 q.posted.end());
}

// Serves everything another thread waits for: sends to this thread's windows and hand-overs.
bool ServeWaiting(ThreadQueue& q) {
  bool served = ServeSent(q);
  if (IsMainThread() && CheckSynchronize(0)) served = true;
  return served;
}

// The main thread's server for base's ServeMainThread: every wait there (TThread::WaitFor, a
// TThread's destruction, the task component's waits) serves sent messages too.
bool ServeAndWait(ThreadQueue& q, uint32_t timeoutMs) {
  if (ServeWaiting(q)) return true;
  if (timeoutMs == 0) return false;
  {
    std::unique_lock<std::mutex> lock(q.m);
    q.cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return q.woken || !q.sent.empty(); });
    q.woken = false;
  }
  return ServeWaiting(q);
}

namespace {

MSG MakeMsg(HWND h, UINT m, WPARAM w, LPARAM l) {
  MSG msg;
  msg.hwnd = h;
  msg.message = m;
  msg.wParam = w;
  msg.lParam = l;
  msg.time = DWORD(NowMs());
  msg.pt = backend::Current().CursorPos();
  return msg;
}

// One pass over the sources in their documented order; true with a message in *out.
bool TryRetrieve(ThreadQueue& q, MSG* out, HWND filter, UINT lo, UINT hi, bool remove) {
  ServeWaiting(q);
  RunDestroyLater(q);
  backend::Current().PumpEvents();
  MSG hover;
  if (TakeDueHover(q, NowMs(), &hover)) {
    std::lock_guard<std::mutex> lock(q.m);
    q.posted.push_back(hover);
  }
  for (;;) {
    // Posted messages (including the results of translated input, put back in front).
    {
      std::unique_lock<std::mutex> lock(q.m);
      for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (it->message == WM_QUIT) continue;
        if (!Matches(*it, filter, lo, hi)) continue;
        *out = *it;
        if (remove) q.posted.erase(it);
        return true;
      }
      // Raw input: translated here, at retrieval, so hit testing sees the state of this moment.
      if (!q.input.empty() && RangeTakesInput(lo, hi)) {
        InputEvent ev = q.input.front();
        q.input.pop_front();
        lock.unlock();
        MSG m;
        if (TranslateInput(q, ev, &m)) {
          if (Matches(m, filter, lo, hi)) {
            *out = m;
            if (!remove) {
              std::lock_guard<std::mutex> l2(q.m);
              q.posted.push_front(m);
            }
            return true;
          }
          std::lock_guard<std::mutex> l2(q.m);
          q.posted.push_back(m);
        }
        continue;
      }
      bool quitNow = q.quit;
      for (const MSG& m : q.posted)
        if (m.message != WM_QUIT) { quitNow = false; break; }
      if (quitNow) {
        *out = MakeMsg(nullptr, WM_QUIT, WPARAM(q.quitCode), 0);
        if (remove) q.quit = false;
        return true;
      }
    }
    break;
  }
  HWND paintWnd = nullptr;
  if ((lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi)) {
    if (FindPaintWindow(q, filter, &paintWnd)) {
      *out = MakeMsg(paintWnd, WM_PAINT, 0, 0);
      return true;
    }
  }
  if ((lo == 0 && hi == 0) || (WM_TIMER >= lo && WM_TIMER <= hi)) {
    uint64_t now = NowMs();
    Timer* best = nullptr;
    for (Timer& t : q.timers) {
      if (t.due > now) continue;
      if (filter && t.hwnd != filter && !IsChild(filter, t.hwnd)) continue;
      if (!best || t.due < best->due || (t.due == best->due && t.seq < best->seq)) best = &t;
    }
    if (best) {
      *out = MakeMsg(best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->fn));
      if (remove) {
        best->due = now + best->elapse;
        best->seq = ++q.timerSeq;
      }
      return true;
    }
  }
  PresentAll();
  return false;
}

}  // namespace

// Waits until something may have arrived: a post, a send, input, a wake-up or a timer's time.
// With a stepped clock, idle time jumps to the next timer: nothing else could make it pass.
void WaitForWork(ThreadQueue& q) {
  uint64_t nextDue = HoverDue(q);
  for (const Timer& t : q.timers) nextDue = std::min(nextDue, t.due);
  std::unique_lock<std::mutex> lock(q.m);
  auto ready = [&] { return q.woken || !q.posted.empty() || !q.sent.empty() || !q.input.empty() || q.quit; };
  if (ready()) {
    q.woken = false;
    return;
  }
  if (nextDue != UINT64_MAX) {
    uint64_t now = NowMs();
    if (nextDue <= now) return;
    if (auto* stepped = dynamic_cast<TSteppedClock*>(&CurrentClock())) {
      stepped->Advance(nextDue - now);
      return;
    }
    if (WaitsOnBackend(q)) {
      // The main thread sleeps in the backend, which wakes for native events and for every
      // post, send and hand-over from other threads.
      lock.unlock();
      WaitOnBackend(int(std::min<uint64_t>(nextDue - now, INT_MAX)));
      lock.lock();
    } else {
      q.cv.wait_for(lock, std::chrono::milliseconds(nextDue - now), ready);
    }
  } else if (WaitsOnBackend(q)) {
    lock.unlock();
    WaitOnBackend(-1);
    lock.lock();
  } else {
    q.cv.wait(lock, ready);
  }
  q.woken = false;
}

bool Retrieve(MSG* out, HWND filter, UINT lo, UINT hi, bool remove, bool wait) {
  EnsureQueueGuard();
  auto q = CurrentQueue();
  for (;;) {
    if (TryRetrieve(*q, out, filter, lo, hi, remove)) {
      q->lastMsg = *out;
      return true;
    }
    if (!wait) return false;
    WaitForWork(*q);
  }
}

}  // namespace detail

using namespace detail;

LRESULT SendMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD tid = 0;
  auto target = QueueOf(h, &tid);
  if (!target) return 0;
  if (tid == CurrentThreadId()) return CallProc(Find(h), msg, wp, lp);
  EnsureQueueGuard();
  auto me = CurrentQueue();
  SentItem item;
  item.hwnd = h;
  item.msg = msg;
  item.w = wp;
  item.l = lp;
  item.sender = me;
  {
    std::lock_guard<std::mutex> lock(target->m);
    if (target->dead) return 0;
    target->sent.push_back(&item);
    target->woken = true;
  }
  target->cv.notify_all();
  WakeBackendFor(*target);
  // Wait, serving sends to our own windows (and on the main thread the hand-overs) meanwhile,
  // so two threads never wait on each other. The target holds &item until it is done, so an
  // exception of a queued hand-over waits for the end of the send.
  std::exception_ptr handOverError;
  for (;;) {
    try {
      ServeWaiting(*me);
    } catch (...) {
      if (!handOverError) handOverError = std::current_exception();
    }
    std::unique_lock<std::mutex> lock(me->m);
    if (item.done) break;
    if (!me->sent.empty() || me->woken) {
      me->woken = false;
      continue;
    }
    me->cv.wait(lock, [&] { return item.done || !me->sent.empty() || me->woken; });
    if (item.done) break;
  }
  if (item.error) std::rethrow_exception(item.error);
  if (handOverError) std::rethrow_exception(handOverError);
  return item.result;
}

BOOL PostMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (h == HWND_BROADCAST) {
    // To every top-level window, hidden ones included.
    std::vector<HWND> tops;
    EnumWindows([](HWND t, LPARAM all) { reinterpret_cast<std::vector<HWND>*>(all)->push_back(t); return TRUE; },
                reinterpret_cast<LPARAM>(&tops));
    for (HWND t : tops) PostMessage(t, msg, wp, lp);
    return TRUE;
  }
  std::shared_ptr<ThreadQueue> q;
  if (!h) {
    EnsureQueueGuard();
    q = CurrentQueue();
  } else {
    q = QueueOf(h);
    if (!q) return FALSE;
  }
  MSG m = MakeMsg(h, msg, wp, lp);
  {
    std::lock_guard<std::mutex> lock(q->m);
    if (q->dead) return FALSE;
    q->posted.push_back(m);
    q->woken = true;
  }
  q->cv.notify_all();
  WakeBackendFor(*q);
  return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wp, LPARAM lp) {
  if (threadId != CurrentThreadId()) return FALSE;  // only this thread's queue is reachable by id
  return PostMessage(nullptr, msg, wp, lp);
}

BOOL GetMessage(MSG* msg, HWND h, UINT lo, UINT hi) {
  if (!msg) return FALSE;
  Retrieve(msg, h, lo, hi, true, true);
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessage(MSG* msg, HWND h, UINT lo, UINT hi, UINT flags) {
  MSG local;
  if (!msg) msg = &local;
  return Retrieve(msg, h, lo, hi, (flags & PM_REMOVE) != 0, false) ? TRUE : FALSE;
}

BOOL WaitMessage() {
  EnsureQueueGuard();
  auto q = CurrentQueue();
  ServeWaiting(*q);
  RunDestroyLater(*q);
  MSG m;
  if (TryRetrieve(*q, &m, nullptr, 0, 0, false)) {
    return TRUE;
  }
  WaitForWork(*q);
  ServeWaiting(*q);
  return TRUE;
}

void ServeCrossThreadCalls() {
  EnsureQueueGuard();
  ServeWaiting(*CurrentQueue());
}

void PostQuitMessage(int code) {
  EnsureQueueGuard();
  auto q = CurrentQueue();
  {
    std::lock_guard<std::mutex> lock(q->m);
    q->quit = true;
    q->quitCode = code;
    q->woken = true;
  }
  q->cv.notify_all();
  WakeBackendFor(*q);
}

BOOL InSendMessage() { return CurrentQueue()->sendDepth > 0 ? TRUE : FALSE; }
DWORD GetMessageTime() { return CurrentQueue()->lastMsg.time; }
DWORD GetMessagePos() {
  const MSG& m = CurrentQueue()->lastMsg;
  return MAKELONG(WORD(SHORT(m.pt.x)), WORD(SHORT(m.pt.y)));
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  auto q = CurrentQueue();
  LRESULT r = 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto fn = reinterpret_cast<TIMERPROC>(msg->lParam);
    // Only a timer that still exists runs: KillTimer after the message was taken stops it.
    bool live = std::any_of(q->timers.begin(), q->timers.end(), [&](const Timer& t) {
      return t.hwnd == msg->hwnd && t.id == msg->wParam && t.fn == fn;
    });
    if (live) {
      ++q->dispatchDepth;
      fn(msg->hwnd, WM_TIMER, msg->wParam, DWORD(NowMs()));
      --q->dispatchDepth;
    }
  } else if (msg->hwnd) {
    Wnd* w = Find(msg->hwnd);
    if (w && w->threadId == CurrentThreadId()) {
      if (msg->message == WM_PAINT) w->internalPaint = false;
      r = CallProc(w, msg->message, msg->wParam, msg->lParam);
    }
  }
  RunDestroyLater(*q);
  if (q->dispatchDepth == 0) PresentAll();
  return r;
}

namespace {

uint32_t CharFromKey(int vk, const BYTE* ks) {
  bool shift = ks[VK_SHIFT] & 0x80, ctrl = ks[VK_CONTROL] & 0x80, caps = ks[VK_CAPITAL] & 0x01;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return uint32_t(vk - 'A' + 1);
    return (shift != caps) ? uint32_t(vk) : uint32_t(vk - 'A' + 'a');
  }
  if (ctrl) return 0;
  if (vk >= '0' && vk <= '9') {
    static const char shifted[] = ")!@#$%^&*(";
    return shift ? uint32_t(shifted[vk - '0']) : uint32_t(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return uint32_t('0' + vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return 27;
    case VK_BACK: return 8;
    case VK_TAB: return '\t';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
  }
  return 0;
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
  auto q = CurrentQueue();
  std::u32string chars;
  if (q->keyTextGiven && q->keyTextTime == msg->time && q->keyTextVk == int(msg->wParam)) {
    // The backend decoded what the key typed (any layout, input methods); control characters
    // (Enter, Tab, Back, Escape, Ctrl+letter) still come from the key.
    chars = q->keyText;
    if (chars.empty()) {
      uint32_t ch = CharFromKey(int(msg->wParam), q->keyState);
      if (ch && (ch < 0x20 || ch == 0x7F)) chars.push_back(char32_t(ch));
    }
  } else if (uint32_t ch = CharFromKey(int(msg->wParam), q->keyState)) {
    chars.push_back(char32_t(ch));
  }
  if (chars.empty()) return FALSE;
  UINT m = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  std::lock_guard<std::mutex> lock(q->m);
  // The characters come next, before anything else queued.
  for (auto it = chars.rbegin(); it != chars.rend(); ++it) {
    MSG c = *msg;
    c.message = m;
    c.wParam = WPARAM(*it);
    q->posted.push_front(c);
  }
  return TRUE;
}

BOOL IsDialogMessage(HWND dlg, MSG* msg) {
  // No dialog manager: the class library handles dialog keys itself.
  return FALSE;
}

UINT_PTR SetTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC fn) {
  if (h) {
    Wnd* w = Find(h);
    if (!w || w->destroying || w->threadId != CurrentThreadId()) return 0;
  }
  EnsureQueueGuard();
  auto q = CurrentQueue();
  if (elapse == 0) elapse = 1;
  if (elapse > 0x7FFFFFFF) elapse = 0x7FFFFFFF;
  if (!h) {
    auto it = std::find_if(q->timers.begin(), q->timers.end(),
                           [&](const Timer& t) { return !t.hwnd && id && t.id == id; });
    if (it == q->timers.end()) {
      do { id = ++q->nextTimerId; } while (!id);
    }
  }
  auto it = std::find_if(q->timers.begin(), q->timers.end(),
                         [&](const Timer& t) { return t.hwnd == h && t.id == id; });
  Timer t;
  t.hwnd = h;
  t.id = id;
  t.elapse = elapse;
  t.fn = fn;
  t.due = NowMs() + elapse;
  t.seq = ++q->timerSeq;
  // A replaced timer keeps its place; a WM_TIMER of it already taken runs the new procedure
  // only (DispatchMessage checks the procedure against the live timer).
  if (it != q->timers.end()) *it = t;
  else q->timers.push_back(t);
  return h ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND h, UINT_PTR id) {
  auto q = CurrentQueue();
  auto it = std::find_if(q->timers.begin(), q->timers.end(),
                         [&](const Timer& t) { return t.hwnd == h && t.id == id; });
  if (it == q->timers.end()) return FALSE;
  q->timers.erase(it);
  std::lock_guard<std::mutex> lock(q->m);
  q->posted.erase(std::remove_if(q->posted.begin(), q->posted.end(),
                                 [&](const MSG& m) { return m.message == WM_TIMER && m.hwnd == h && m.wParam == id; }),
                  q->posted.end());
  return TRUE;
}

void RunAfterDispatch(std::function<void()> Fn) {
  if (!Fn) return;
  auto q = CurrentQueue();
  if (q->dispatchDepth == 0) {
    Fn();
    return;
  }
  q->runLater.push_back(std::move(Fn));
}

BOOL DestroyWindowLater(HWND h) {
  Wnd* w = Find(h);
  if (!w || w->threadId != CurrentThreadId()) return FALSE;
  auto q = CurrentQueue();
  if (q->dispatchDepth == 0) return DestroyWindow(h);
  if (std::find(q->destroyLater.begin(), q->destroyLater.end(), h) == q->destroyLater.end())
    q->destroyLater.push_back(h);
  return TRUE;
}

}  // namespace win
