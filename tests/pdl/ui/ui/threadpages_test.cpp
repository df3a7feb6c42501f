// The per-thread page table: a slot per thread id, and what the end of a
// document sheet frees.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "ui/ui/threadpages.h"

namespace {

// A page state that counts its deletions.
class CountedState : public ThreadPageState {
public:
    explicit CountedState(std::atomic<int>& deleted) : deleted_(deleted) {}
    ~CountedState() override { ++deleted_; }

private:
    std::atomic<int>& deleted_;
};

class CountedBasicState : public BasicPageStateHooks {
public:
    explicit CountedBasicState(std::atomic<int>& deleted) : deleted_(deleted) {}
    ~CountedBasicState() override { ++deleted_; }
    SettingsChangeTracker* GetChangeTracker() override { return nullptr; }
    void RefreshFromContext(UiContext*) override {}

private:
    std::atomic<int>& deleted_;
};

void FillSlot(ThreadPageSlot& slot, std::atomic<int>& deleted) {
    slot.basic = std::make_unique<CountedBasicState>(deleted);
    slot.paper = std::make_unique<CountedState>(deleted);
    slot.layout = std::make_unique<CountedState>(deleted);
    slot.watermark = std::make_unique<CountedState>(deleted);
    slot.customPaper = std::make_unique<CountedState>(deleted);
    slot.textEditor = std::make_unique<CountedState>(deleted);
    slot.bitmapEditor = std::make_unique<CountedState>(deleted);
}

// Thread ids that agree modulo 512 are different threads with different slots.
TEST(ThreadPageTable, IdsThatAgreeModulo512HaveSlotsOfTheirOwn) {
    ThreadPageTable table;
    ThreadPageSlot& first = table.SlotFor(1000);
    ThreadPageSlot& second = table.SlotFor(1000 + 512);
    ThreadPageSlot& third = table.SlotFor(1000 + 512 * 4096);
    EXPECT_NE(&first, &second);
    EXPECT_NE(&first, &third);
    EXPECT_EQ(&table.SlotFor(1000), &first);
    std::atomic<int> deleted{0};
    FillSlot(second, deleted);
    EXPECT_EQ(first.basic, nullptr);
    table.FreePages(1000);
    EXPECT_EQ(deleted, 0);  // the other thread's pages stay
    ASSERT_NE(second.paper, nullptr);
}

TEST(ThreadPageTable, FreeingKeepsTheEditorsAndDropsAnEmptySlot) {
    ThreadPageTable table;
    std::atomic<int> deleted{0};
    FillSlot(table.SlotFor(42), deleted);
    table.FreePages(42);
    EXPECT_EQ(deleted, 5);  // basic, paper, layout, watermark, custom paper
    ThreadPageSlot* slot = table.FindSlot(42);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->basic, nullptr);
    EXPECT_EQ(slot->customPaper, nullptr);
    EXPECT_NE(slot->textEditor, nullptr);
    EXPECT_NE(slot->bitmapEditor, nullptr);

    slot->textEditor.reset();
    slot->bitmapEditor.reset();
    EXPECT_EQ(deleted, 7);
    table.FreePages(42);
    EXPECT_EQ(table.FindSlot(42), nullptr);
    EXPECT_EQ(table.SlotCount(), 0u);
    table.FreePages(43);  // a thread that never had pages
    EXPECT_EQ(table.SlotCount(), 0u);
}

// Two threads at once: each finds its own slot, and one thread's end of a
// sheet frees only its own pages.
TEST(ThreadPageTable, TwoThreadsNeverShareASlot) {
    ThreadPageTable& table = ThreadPageTable::Instance();
    std::atomic<int> deletedA{0}, deletedB{0};
    std::atomic<ThreadPageSlot*> slotA{nullptr};
    std::atomic<bool> bFilled{false}, compared{false}, aFreed{false};
    // A thread's sheet ends, then the editors go too, as at the thread's end.
    auto endOfThread = [] {
        FreeThreadPages();
        ThreadPageSlot& slot = ThreadPageTable::Instance().CurrentSlot();
        slot.textEditor.reset();
        slot.bitmapEditor.reset();
        FreeThreadPages();
    };
    std::thread a([&] {
        ThreadPageSlot& slot = table.CurrentSlot();
        FillSlot(slot, deletedA);
        slotA = &slot;
        while (!bFilled || !compared) std::this_thread::yield();
        endOfThread();
        aFreed = true;
    });
    std::thread b([&] {
        ThreadPageSlot& slot = table.CurrentSlot();
        FillSlot(slot, deletedB);
        bFilled = true;
        while (!slotA) std::this_thread::yield();
        EXPECT_NE(slotA.load(), &slot);
        compared = true;
        while (!aFreed) std::this_thread::yield();
        EXPECT_EQ(deletedB, 0);
        EXPECT_NE(slot.basic, nullptr);
        endOfThread();
    });
    a.join();
    b.join();
    EXPECT_EQ(deletedA, 7);
    EXPECT_EQ(deletedB, 7);
}

}  // namespace
