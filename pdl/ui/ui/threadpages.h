// The per-thread states of the property pages and dialogs. A page's state
// lives from its first use on a thread until the document sheet on that
// thread ends; the two watermark editors' states live until the process
// ends. Each thread has a slot of its own, found by its full thread id: two
// threads never share one.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <unordered_map>

#include "ui/ui/uicontext.h"

class SettingsChangeTracker;

// The base of every page's and dialog's per-thread state: the slot deletes
// a state through it, so each state's own destructor runs.
class ThreadPageState {
public:
    virtual ~ThreadPageState() = default;
};

// What the sheet's apply step asks of the basic page's state.
class BasicPageStateHooks : public ThreadPageState {
public:
    // The page's settings change tracker; null while it has none.
    virtual SettingsChangeTracker* GetChangeTracker() = 0;
    // The settings changed since the tracker captured them: the page shows
    // the context's settings again.
    virtual void RefreshFromContext(UiContext* context) = 0;
};

// One thread's states, each made on first use by its page or dialog.
struct ThreadPageSlot {
    std::unique_ptr<BasicPageStateHooks> basic;
    std::unique_ptr<ThreadPageState> paper;
    std::unique_ptr<ThreadPageState> layout;
    std::unique_ptr<ThreadPageState> watermark;
    std::unique_ptr<ThreadPageState> customPaper;
    std::unique_ptr<ThreadPageState> textEditor;
    std::unique_ptr<ThreadPageState> bitmapEditor;

    bool Empty() const {
        return !basic && !paper && !layout && !watermark && !customPaper && !textEditor && !bitmapEditor;
    }
};

class ThreadPageTable {
public:
    // The process's table.
    static ThreadPageTable& Instance();

    // The slot of the thread `threadId`, made when it has none. The slot
    // stays where it is until that thread's pages are freed and it holds no
    // state; only its own thread uses it.
    ThreadPageSlot& SlotFor(DWORD threadId);
    // The calling thread's slot.
    ThreadPageSlot& CurrentSlot() { return SlotFor(GetCurrentThreadId()); }
    // The slot of `threadId`, or null when it has none.
    ThreadPageSlot* FindSlot(DWORD threadId);

    // Deletes the basic, paper, layout, watermark and custom paper states of
    // `threadId` (the editors' stay) and drops a slot left empty.
    void FreePages(DWORD threadId);

    size_t SlotCount();

private:
    std::mutex lock_;
    std::unordered_map<DWORD, std::unique_ptr<ThreadPageSlot>> slots_;
};

// Deletes the calling thread's basic, paper, layout, watermark and custom
// paper states and clears their slots; the two editor states stay.
void FreeThreadPages();
