// Mutexes owned by the calling thread, so that they can be abandoned when it ends.
#pragma once

namespace w32 {

// With the wait lock held: gives up every mutex the calling thread owns,
// marking each abandoned, and wakes the waiters. A thread made by
// CreateThread does this as it ends; any other thread when its thread-local
// storage is destroyed.
void AbandonMutexesOfCurrentThread();

}  // namespace w32
