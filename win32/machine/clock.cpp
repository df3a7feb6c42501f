#include "machine/clock.h"

namespace w32 {

namespace {
// 1601-01-01 to 1970-01-01 in 100-ns units.
constexpr ULONGLONG kUnixEpochFileTime = 116444736000000000ull;
}  // namespace

ULONGLONG Clock::NowFileTime() const {
    if (IsVirtual()) return kVirtualEpochFileTime + virtualMs_.load() * 10000ull;
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return kUnixEpochFileTime + ULONGLONG(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100);
}

ULONGLONG Clock::TickCount() const {
    if (IsVirtual()) return kVirtualBootTick + virtualMs_.load();
    auto elapsed = std::chrono::steady_clock::now() - start_;
    return kVirtualBootTick + ULONGLONG(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void Clock::SetVirtual(bool isVirtual) {
    std::lock_guard lock(mutex_);
    virtual_ = isVirtual;
    virtualMs_ = 0;
    changed_.notify_all();
}

void Clock::Advance(ULONGLONG milliseconds) {
    std::lock_guard lock(mutex_);
    virtualMs_ += milliseconds;
    changed_.notify_all();
}

}  // namespace w32
