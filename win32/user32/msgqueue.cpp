// Thread queues and the posted-message protocol: PostMessageW,
// PostThreadMessageW, PostQuitMessage, GetMessageW, PeekMessageW,
// TranslateMessage and DispatchMessageW.
//
// A thread gets its queue when it first makes a window or touches messages,
// and loses it when it ends: messages still sent to it then answer 0.
// Posting fails with ERROR_MESSAGE_SYNC_ONLY for messages whose parameters
// point into the sender's memory (they would outlive it), and with
// ERROR_NOT_ENOUGH_QUOTA when the queue already holds 10,000 messages.
// GetMessageW filters by window (NULL: any; -1: only messages posted to the
// thread itself) and by a range of messages (0, 0: all; a reversed range
// takes what lies outside it); WM_QUIT passes every filter.
#include <algorithm>
#include <unordered_map>

#include "kernel32/thread.h"
#include "kernel32/waitable.h"
#include "user32/msgqueue.h"
#include "user32/paint.h"
#include "user32/window.h"

namespace w32 {

namespace {

// Guarded by Clock::Mutex().
std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>>& Queues() {
    static auto* queues = new std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>>;
    return *queues;
}

// Retires the thread's queue when the thread ends: whoever still waits for a
// sent message gets 0.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        std::lock_guard lock(Clock::Mutex());
        queue->gone = true;
        for (auto& sent : queue->sent) sent->done = true;
        queue->sent.clear();
        queue->posted.clear();
        queue->input.clear();
        queue->timers.clear();
        Queues().erase(queue->threadId);
        Clock::NotifyAll();
    }
};

thread_local QueueHolder tQueue;
thread_local LONG tMessageTime = 0;

bool IsPointerMessage(UINT message) {
    switch (message) {
        case WM_CREATE:
        case WM_NCCREATE:
        case WM_SETTEXT:
        case WM_GETTEXT:
        case WM_GETMINMAXINFO:
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED:
        case WM_COPYDATA:
        case WM_NCCALCSIZE:
        case WM_STYLECHANGING:
        case WM_STYLECHANGED:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_NOTIFY:
            return true;
        default:
            return false;
    }
}

bool FindIn(std::deque<MSG>& messages, HWND filter, UINT first, UINT last, bool remove, MSG& out) {
    auto it = std::find_if(messages.begin(), messages.end(),
                           [&](const MSG& m) { return PassesFilter(m, filter, first, last); });
    if (it == messages.end()) return false;
    out = *it;
    if (remove) messages.erase(it);
    return true;
}

// With the wait lock held: the next posted or input message for the
// filter, or WM_QUIT.
bool TakeQueued(ThreadQueue& queue, HWND filter, UINT first, UINT last, bool remove, MSG& out) {
    if (FindIn(queue.posted, filter, first, last, remove, out)) return true;
    if (FindIn(queue.input, filter, first, last, remove, out)) return true;
    if (queue.quitPending) {
        out = MSG{};
        out.message = WM_QUIT;
        out.wParam = WPARAM(queue.quitCode);
        if (remove) queue.quitPending = false;
        return true;
    }
    return false;
}

// With the wait lock held: the next message for the filter, in the queue's
// order: posted, input, WM_QUIT, then WM_PAINT for a window to paint (which
// stays until the window is validated), then WM_TIMER. The lock is let go
// while the window to paint is looked for.
bool TakeMessage(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, const Clock& clock, HWND filter,
                 UINT first, UINT last, bool remove, MSG& out) {
    if (TakeQueued(queue, filter, first, last, remove, out)) return true;
    const auto paint = CurrentThreadPaintCount();
    if (paint->windows.load() > 0) {
        lock.unlock();
        HWND hwnd = WindowToPaint(filter, first, last);
        lock.lock();
        // What arrived meanwhile comes first.
        if (TakeQueued(queue, filter, first, last, remove, out)) return true;
        if (hwnd) {
            out = MSG{};
            out.hwnd = hwnd;
            out.message = WM_PAINT;
            out.time = DWORD(clock.TickCount());
            return true;
        }
    }
    return TakeDueTimer(queue, clock.TickCount(), filter, first, last, remove, out);
}

// Whether a message other than a timer's waits for the filter.
bool HasMessage(const ThreadQueue& queue, HWND filter, UINT first, UINT last) {
    auto passes = [&](const MSG& m) { return PassesFilter(m, filter, first, last); };
    return !queue.sent.empty() || queue.quitPending || std::any_of(queue.posted.begin(), queue.posted.end(), passes) ||
           std::any_of(queue.input.begin(), queue.input.end(), passes);
}

// False with the last error set when the filter's window is bad.
bool FilterWindowOk(HWND filter) {
    if (!filter || filter == reinterpret_cast<HWND>(-1)) return true;
    return GetWindowRecord(filter) != nullptr;
}

// The virtual key a character key stands for, as TranslateMessage types it
// with no modifier held.
WCHAR CharacterOfKey(WPARAM key) {
    if (key >= 'A' && key <= 'Z') return WCHAR(key - 'A' + 'a');
    if (key >= '0' && key <= '9') return WCHAR(key);
    switch (key) {
        case VK_SPACE:
        case VK_RETURN:
        case VK_BACK:
        case VK_TAB:
        case VK_ESCAPE:
            return WCHAR(key);
        default:
            return 0;
    }
}

}  // namespace

namespace {

// With the wait lock held.
std::shared_ptr<ThreadQueue>& QueueSlot(DWORD threadId) {
    auto& queue = Queues()[threadId];
    if (!queue) {
        queue = std::make_shared<ThreadQueue>();
        queue->threadId = threadId;
    }
    return queue;
}

}  // namespace

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!tQueue.queue) {
        std::lock_guard lock(Clock::Mutex());
        tQueue.queue = QueueSlot(CurrentThreadId());
    }
    return tQueue.queue;
}

void MakeQueueOfThread(DWORD threadId) {
    std::lock_guard lock(Clock::Mutex());
    QueueSlot(threadId);
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
    std::lock_guard lock(Clock::Mutex());
    auto it = Queues().find(threadId);
    return it == Queues().end() ? nullptr : it->second;
}

bool PassesFilter(const MSG& message, HWND filter, UINT first, UINT last) {
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (message.hwnd) return false;
    } else if (filter && message.hwnd != filter) {
        return false;
    }
    if (first == 0 && last == 0) return true;
    if (first <= last) return message.message >= first && message.message <= last;
    return message.message >= first || message.message <= last;
}

bool PostToThread(DWORD threadId, const MSG& message, bool input) {
    std::lock_guard lock(Clock::Mutex());
    auto it = Queues().find(threadId);
    if (it == Queues().end() || it->second->gone) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return false;
    }
    auto& messages = input ? it->second->input : it->second->posted;
    if (messages.size() >= kPostedMessageLimit) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return false;
    }
    messages.push_back(message);
    Clock::NotifyAll();
    return true;
}

void ForgetWindowMessages(HWND hwnd) {
    if (!tQueue.queue) return;
    ThreadQueue& queue = *tQueue.queue;
    std::lock_guard lock(Clock::Mutex());
    auto ofWindow = [hwnd](const MSG& m) { return m.hwnd == hwnd; };
    queue.posted.erase(std::remove_if(queue.posted.begin(), queue.posted.end(), ofWindow), queue.posted.end());
    queue.input.erase(std::remove_if(queue.input.begin(), queue.input.end(), ofWindow), queue.input.end());
    queue.timers.erase(std::remove_if(queue.timers.begin(), queue.timers.end(),
                                      [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                       queue.timers.end());
}

}  // namespace w32

BOOL WINAPI PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (w32::IsPointerMessage(message)) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    MSG m{nullptr, message, wParam, lParam, DWORD(GetTickCount()), POINT{0, 0}, 0};
    return w32::PostToThread(threadId, m);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace w32;
    if (IsPointerMessage(message)) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    if (!hwnd) {
        CurrentQueue();
        return PostThreadMessageW(CurrentThreadId(), message, wParam, lParam);
    }
    if (hwnd == HWND_BROADCAST) {
        std::vector<std::pair<HWND, DWORD>> windows;
        {
            EnsureWindowManager();
            std::lock_guard lock(ManagerLock());
            for (Window* w = DesktopLocked()->firstChild; w; w = w->next) windows.emplace_back(w->handle, w->threadId);
        }
        for (auto [w, thread] : windows) {
            MSG m{w, message, wParam, lParam, DWORD(GetTickCount()), POINT{0, 0}, 0};
            if (thread) PostToThread(thread, m);
        }
        return TRUE;
    }
    auto window = GetWindowRecord(hwnd);
    if (!window) return FALSE;
    if (window->threadId == 0) return TRUE;  // the desktop takes and drops it
    MSG m{hwnd, message, wParam, lParam, DWORD(GetTickCount()), POINT{0, 0}, 0};
    return PostToThread(window->threadId, m);
}

VOID WINAPI PostQuitMessage(int exitCode) {
    auto queue = w32::CurrentQueue();
    std::lock_guard lock(w32::Clock::Mutex());
    queue->quitPending = true;
    queue->quitCode = exitCode;
    w32::Clock::NotifyAll();
}

BOOL WINAPI GetMessageW(LPMSG message, HWND hwnd, UINT first, UINT last) {
    using namespace w32;
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!FilterWindowOk(hwnd)) return -1;
    auto queue = CurrentQueue();
    const auto paint = CurrentThreadPaintCount();
    Clock& clock = CurrentClock();
    std::unique_lock lock(Clock::Mutex());
    for (;;) {
        RunSentMessages(lock, *queue);
        const unsigned paintSeen = paint->changes.load();
        if (TakeMessage(lock, *queue, clock, hwnd, first, last, true, *message)) break;
        clock.WaitUntilTick(lock, NextTimerTick(*queue, hwnd, first, last), [&] {
            return HasMessage(*queue, hwnd, first, last) || paint->changes.load() != paintSeen;
        });
    }
    tMessageTime = LONG(message->time);
    return message->message != WM_QUIT;
}

BOOL WINAPI PeekMessageW(LPMSG message, HWND hwnd, UINT first, UINT last, UINT remove) {
    using namespace w32;
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!FilterWindowOk(hwnd)) return FALSE;
    auto queue = CurrentQueue();
    Clock& clock = CurrentClock();
    std::unique_lock lock(Clock::Mutex());
    RunSentMessages(lock, *queue);
    if (!TakeMessage(lock, *queue, clock, hwnd, first, last, (remove & PM_REMOVE) != 0, *message)) return FALSE;
    tMessageTime = LONG(message->time);
    return TRUE;
}

// Posts the character of a key press (WM_CHAR, or WM_SYSCHAR with Alt) so
// that it is the next message the thread takes.
BOOL WINAPI TranslateMessage(const MSG* message) {
    using namespace w32;
    if (!message) return FALSE;
    switch (message->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            WCHAR c = CharacterOfKey(message->wParam);
            if (c) {
                MSG typed = *message;
                typed.message = message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
                typed.wParam = c;
                auto queue = CurrentQueue();
                std::lock_guard lock(Clock::Mutex());
                queue->posted.push_front(typed);
                Clock::NotifyAll();
            }
            return TRUE;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return TRUE;
        default:
            return FALSE;
    }
}

// A WM_TIMER with a timer procedure calls the procedure, if the thread has
// that timer; other messages go to the window's procedure, which must
// belong to the calling thread.
LRESULT WINAPI DispatchMessageW(const MSG* message) {
    using namespace w32;
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (message->message == WM_TIMER && message->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(message->lParam);
        auto queue = CurrentQueue();
        bool known;
        {
            std::lock_guard lock(Clock::Mutex());
            known = HasTimerProc(*queue, message->hwnd, message->wParam, proc);
        }
        if (known) proc(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    if (!message->hwnd) return 0;
    auto window = GetWindowRecord(message->hwnd);
    if (!window) return 0;
    if (window->threadId != CurrentThreadId()) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return 0;
    }
    return CallProcedure(window, message->message, message->wParam, message->lParam);
}

LONG WINAPI GetMessageTime(void) { return w32::tMessageTime; }
