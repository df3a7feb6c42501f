// Timers: SetTimer and KillTimer, on the machine clock.
//
// A timer belongs to the thread of its window (or, without a window, to the
// calling thread). It posts nothing: when the thread asks for messages and
// has nothing else, a due timer gives one WM_TIMER (wParam the timer's id,
// lParam its procedure), and its next time is counted from then, so a late
// thread gets one WM_TIMER, not a backlog. While the thread waits for
// messages its wait ends at the next timer, so on a virtual clock the time
// jumps there as soon as every thread waits. SetTimer with the id of an
// existing timer of the same window replaces it; the interval is kept
// between USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM.
#include <algorithm>

#include "kernel32/thread.h"
#include "kernel32/waitable.h"
#include "user32/msgqueue.h"
#include "user32/window.h"

namespace w32 {

namespace {

bool TimerPasses(const Timer& timer, HWND filter, UINT first, UINT last) {
    MSG m{};
    m.hwnd = timer.hwnd;
    m.message = WM_TIMER;
    return PassesFilter(m, filter, first, last);
}

}  // namespace

bool TakeDueTimer(ThreadQueue& queue, ULONGLONG now, HWND filter, UINT first, UINT last, bool take, MSG& message) {
    if (queue.timers.empty()) return false;
    Timer* due = nullptr;
    for (Timer& timer : queue.timers) {
        if (timer.due <= now && TimerPasses(timer, filter, first, last) && (!due || timer.due < due->due)) due = &timer;
    }
    if (!due) return false;
    message = MSG{due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), DWORD(now), POINT{0, 0}, 0};
    if (take) due->due = now + due->elapse;
    return true;
}

ULONGLONG NextTimerTick(const ThreadQueue& queue, HWND filter, UINT first, UINT last) {
    ULONGLONG next = Clock::kNoDeadline;
    for (const Timer& timer : queue.timers) {
        if (TimerPasses(timer, filter, first, last)) next = std::min(next, timer.due);
    }
    return next;
}

bool HasTimerProc(const ThreadQueue& queue, HWND hwnd, UINT_PTR id, TIMERPROC proc) {
    return std::any_of(queue.timers.begin(), queue.timers.end(), [&](const Timer& t) {
        return t.hwnd == hwnd && t.id == id && t.proc == proc;
    });
}

}  // namespace w32

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    using namespace w32;
    if (hwnd) {
        auto window = GetWindowRecord(hwnd);
        if (!window) return 0;
        if (window->threadId != CurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);  // a window's timers run on its own thread
            return 0;
        }
    }
    elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    auto queue = CurrentQueue();
    const ULONGLONG now = CurrentClock().TickCount();
    std::lock_guard lock(Clock::Mutex());
    auto& timers = queue->timers;
    auto same = [&](UINT_PTR wanted) {
        return std::find_if(timers.begin(), timers.end(),
                            [&](const Timer& t) { return t.hwnd == hwnd && t.id == wanted; });
    };
    if (!hwnd && (id == 0 || same(id) == timers.end())) {
        // A timer without a window gets an id of its own, unused by the thread.
        static UINT_PTR next = 0x7FFF;
        do {
            id = next++;
        } while (same(id) != timers.end());
    }
    Timer timer{hwnd, id, elapse, proc, now + elapse};
    auto it = same(id);
    if (it != timers.end())
        *it = timer;
    else
        timers.push_back(timer);
    Clock::NotifyAll();  // a waiting GetMessageW learns of the sooner deadline
    return hwnd && id == 0 ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    using namespace w32;
    auto queue = CurrentQueue();
    std::lock_guard lock(Clock::Mutex());
    auto& timers = queue->timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}
