// SendMessageW, CallWindowProcW, InSendMessage and RegisterWindowMessageW.
//
// A message sent to a window of the calling thread calls its procedure
// directly, so sends nest as deeply as the procedures make them. A message
// sent to a window of another thread goes to that thread's queue; the sender
// waits until the owner has run it, and meanwhile runs what other threads
// send to it, so two threads sending to each other do not lock up. WM_COPYDATA
// crossing threads carries a copy of its data, which the receiver may read
// only while it handles the message. A message to a window that is gone
// answers 0 with ERROR_INVALID_WINDOW_HANDLE; one to a thread that ended
// answers 0.
#include <cstring>
#include <vector>

#include "kernel32/thread.h"
#include "kernel32/waitable.h"
#include "user32/msgqueue.h"
#include "user32/window.h"

namespace w32 {

namespace {

// How many messages from other threads the calling thread is running.
thread_local int tInterThreadSends = 0;

// WM_COPYDATA's record and data, copied into one block for the receiver.
struct CopiedData {
    std::vector<BYTE> block;
    LPARAM Copy(LPARAM lParam) {
        auto source = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!source) return 0;
        block.assign(sizeof(COPYDATASTRUCT) + source->cbData, 0);
        COPYDATASTRUCT copy = *source;
        copy.lpData = source->cbData ? block.data() + sizeof(COPYDATASTRUCT) : nullptr;
        if (source->cbData && source->lpData) {
            std::memcpy(block.data() + sizeof(COPYDATASTRUCT), source->lpData, source->cbData);
        }
        std::memcpy(block.data(), &copy, sizeof(copy));
        return reinterpret_cast<LPARAM>(block.data());
    }
};

LRESULT SendToOtherThread(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto target = QueueOfThread(window->threadId);
    if (!target) return 0;  // its thread has ended
    auto self = CurrentQueue();
    CopiedData copied;
    if (message == WM_COPYDATA) lParam = copied.Copy(lParam);
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = window->handle;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    Clock& clock = CurrentClock();
    std::unique_lock lock(Clock::Mutex());
    if (target->gone) return 0;
    target->sent.push_back(sent);
    Clock::NotifyAll();
    for (;;) {
        RunSentMessages(lock, *self);
        if (sent->done) break;
        clock.WaitUntilTick(lock, Clock::kNoDeadline, [&] { return sent->done || !self->sent.empty(); });
    }
    return sent->result;
}

}  // namespace

LRESULT CallProcedure(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc;
    {
        std::lock_guard lock(ManagerLock());
        proc = window->proc;
    }
    if (!proc) return DefWindowProcW(window->handle, message, wParam, lParam);
    return proc(window->handle, message, wParam, lParam);
}

void RunSentMessages(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
    while (!queue.sent.empty()) {
        auto sent = queue.sent.front();
        queue.sent.pop_front();
        lock.unlock();
        LRESULT result = 0;
        if (auto window = GetWindowRecord(sent->hwnd)) {
            ++tInterThreadSends;
            result = CallProcedure(window, sent->message, sent->wParam, sent->lParam);
            --tInterThreadSends;
        }
        lock.lock();
        sent->result = result;
        sent->done = true;
        Clock::NotifyAll();
    }
}

}  // namespace w32

LRESULT WINAPI SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace w32;
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> windows;
        {
            EnsureWindowManager();
            std::lock_guard lock(ManagerLock());
            for (Window* w = DesktopLocked()->firstChild; w; w = w->next) windows.push_back(w->handle);
        }
        for (HWND w : windows) {
            if (IsWindow(w)) SendMessageW(w, message, wParam, lParam);
        }
        return 1;
    }
    auto window = GetWindowRecord(hwnd);
    if (!window) return 0;
    if (window->threadId == 0 || window->threadId == CurrentThreadId()) {
        return CallProcedure(window, message, wParam, lParam);
    }
    return SendToOtherThread(window, message, wParam, lParam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(hwnd, message, wParam, lParam);
}

BOOL WINAPI InSendMessage(void) { return w32::tInterThreadSends > 0; }

UINT WINAPI RegisterWindowMessageW(LPCWSTR name) {
    if (!name || !name[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    ATOM atom = w32::AddAtomName(name);
    if (!atom) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return atom;
}
