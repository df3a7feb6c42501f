// Small helpers for the thread and wait tests: run a function on a thread
// made by CreateThread, and measure real time.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>

namespace tam::test {

using ThreadBody = std::function<DWORD()>;

inline DWORD WINAPI RunThreadBody(LPVOID parameter) {
    std::unique_ptr<ThreadBody> body(static_cast<ThreadBody*>(parameter));
    return (*body)();
}

// The thread's handle, or null (with the last error) when none was made.
inline HANDLE StartThread(ThreadBody body, DWORD flags = 0, DWORD* id = nullptr) {
    auto* heap = new ThreadBody(std::move(body));
    HANDLE thread = CreateThread(nullptr, 0, RunThreadBody, heap, flags, id);
    if (!thread) delete heap;
    return thread;
}

// Real (host) time passed since `start`, in milliseconds.
inline long long RealMsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace tam::test
