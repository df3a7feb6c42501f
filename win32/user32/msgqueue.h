// Per-thread message queues: what a thread finds when it asks for messages.
// Guarded by the wait lock Clock::Mutex() (see window.h).
//
// A thread asking for a message (GetMessageW, PeekMessageW) first runs the
// messages other threads sent it, then takes, in this order, the first
// posted message that passes its filter, the first input message (keys and
// mouse, put there by whoever plays the user), WM_QUIT once PostQuitMessage
// was called, a WM_PAINT for a window of the thread that is to be painted
// (paint.h), and last a WM_TIMER of a due timer.
#pragma once
#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace w32 {

// A message one thread sent to a window of another, waiting for its result.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    ULONGLONG due = 0;  // tick count of the machine clock
};

struct ThreadQueue {
    DWORD threadId = 0;
    std::deque<MSG> posted;
    std::deque<MSG> input;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::vector<Timer> timers;
    bool quitPending = false;
    int quitCode = 0;
    bool gone = false;  // the thread ended: nothing more is taken
};

// A posted queue holds at most this many messages; more fail with
// ERROR_NOT_ENOUGH_QUOTA, as on Windows.
constexpr size_t kPostedMessageLimit = 10000;

// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
// Gives a thread its queue before it asks for one (the main thread, whose
// window is there from the start).
void MakeQueueOfThread(DWORD threadId);
// The queue of a thread, or null when that thread has none.
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);

// Puts a message in the posted (or input) messages of a thread's queue and
// wakes it. False with the last error set when the queue is gone or full.
bool PostToThread(DWORD threadId, const MSG& message, bool input = false);

// Runs the messages other threads sent to the calling thread, with the wait
// lock held on entry and on return (it is let go while a procedure runs).
void RunSentMessages(std::unique_lock<std::mutex>& lock, ThreadQueue& queue);

// Drops the posted and input messages and the timers of a window of the
// calling thread (the window is being destroyed).
void ForgetWindowMessages(HWND hwnd);

// Timers, with the wait lock held. Whether a timer of the queue due at tick
// `now` passes the filter; with `take`, fills in its WM_TIMER and sets its
// next time.
bool TakeDueTimer(ThreadQueue& queue, ULONGLONG now, HWND filter, UINT first, UINT last, bool take, MSG& message);
// The tick of the earliest timer that passes the filter (Clock::kNoDeadline for none).
ULONGLONG NextTimerTick(const ThreadQueue& queue, HWND filter, UINT first, UINT last);
// Whether the calling thread has a timer of `hwnd` with this procedure.
bool HasTimerProc(const ThreadQueue& queue, HWND hwnd, UINT_PTR id, TIMERPROC proc);

// Whether a message passes a GetMessageW filter (window, range).
bool PassesFilter(const MSG& message, HWND filter, UINT first, UINT last);

}  // namespace w32
