// A table of handles of one family that are not kernel handles (registry
// keys, printers). Each family counts its values up by four from a base of
// its own, far from the other families', so that a handle given to the wrong
// family of functions is refused; a value is never reused, so that a stale
// handle is refused rather than reaching another object.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <unordered_map>

namespace w32 {

template <class Object>
class HandleTable {
public:
    using Pointer = std::shared_ptr<Object>;

    explicit HandleTable(ULONG_PTR first) : next_(first) {}

    template <class Handle>
    Handle Insert(Pointer object) {
        std::lock_guard lock(lock_);
        ULONG_PTR value = next_;
        next_ += 4;
        table_.emplace(value, std::move(object));
        return reinterpret_cast<Handle>(value);
    }

    // Null when the handle is not open.
    Pointer Find(const void* handle) const {
        std::lock_guard lock(lock_);
        auto it = table_.find(reinterpret_cast<ULONG_PTR>(handle));
        return it == table_.end() ? nullptr : it->second;
    }

    // Closes the handle and gives its object (null when it was not open); the
    // caller's copy is released outside the table's lock.
    Pointer Remove(const void* handle) {
        std::lock_guard lock(lock_);
        auto it = table_.find(reinterpret_cast<ULONG_PTR>(handle));
        if (it == table_.end()) return nullptr;
        Pointer object = std::move(it->second);
        table_.erase(it);
        return object;
    }

    // Calls visit(object) for every open handle, under the table's lock.
    template <class Visit>
    void ForEach(Visit visit) {
        std::lock_guard lock(lock_);
        for (auto& entry : table_) visit(*entry.second);
    }

private:
    mutable std::mutex lock_;
    std::unordered_map<ULONG_PTR, Pointer> table_;
    ULONG_PTR next_;
};

}  // namespace w32
