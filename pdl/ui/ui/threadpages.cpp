// The table of per-thread page states, keyed by the full thread id under a
// lock (threads of the spooler and of applications come and go at once).
#include "ui/ui/threadpages.h"

ThreadPageTable& ThreadPageTable::Instance() {
    static ThreadPageTable table;
    return table;
}

ThreadPageSlot& ThreadPageTable::SlotFor(DWORD threadId) {
    std::lock_guard<std::mutex> hold(lock_);
    std::unique_ptr<ThreadPageSlot>& slot = slots_[threadId];
    if (!slot) slot = std::make_unique<ThreadPageSlot>();
    return *slot;
}

ThreadPageSlot* ThreadPageTable::FindSlot(DWORD threadId) {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = slots_.find(threadId);
    return found == slots_.end() ? nullptr : found->second.get();
}

void ThreadPageTable::FreePages(DWORD threadId) {
    std::unique_ptr<ThreadPageSlot> dropped;
    std::unique_ptr<ThreadPageState> states[5];
    {
        std::lock_guard<std::mutex> hold(lock_);
        auto found = slots_.find(threadId);
        if (found == slots_.end()) return;
        ThreadPageSlot& slot = *found->second;
        states[0] = std::move(slot.basic);
        states[1] = std::move(slot.paper);
        states[2] = std::move(slot.layout);
        states[3] = std::move(slot.watermark);
        states[4] = std::move(slot.customPaper);
        if (slot.Empty()) {
            dropped = std::move(found->second);
            slots_.erase(found);
        }
    }
    // The states' destructors run outside the lock: they may reach the table.
}

size_t ThreadPageTable::SlotCount() {
    std::lock_guard<std::mutex> hold(lock_);
    return slots_.size();
}

void FreeThreadPages() { ThreadPageTable::Instance().FreePages(GetCurrentThreadId()); }
