// The settings snapshot and its change tracker: 24 options of a UiContext
// that a favourite records, captured so that the basic page can tell when
// the user has changed any of them since.
#pragma once
#include <windows.h>

#include <memory>

#include "pcl6/intrface/watermark.h"
#include "ui/ui/uicontext.h"

#define SNAPSHOT_OPTION_COUNT 24
// The option held as the whole watermark record rather than a 16-bit value.
#define SNAPSHOT_OPTION_WATERMARK 12

// One option: its id (0 to 23) and its name.
struct SnapshotOption {
    INT32 id;
    char name[32];
};
extern const SnapshotOption g_SnapshotOptionTable[SNAPSHOT_OPTION_COUNT];

class SettingsSnapshot {
public:
    // Captures all 24 options of `context` (none: nothing is captured, and
    // nothing ever reads as changed).
    explicit SettingsSnapshot(UiContext* context);

    // Points the snapshot at `context` and captures again.
    void Recapture(UiContext* context);

    // TRUE when any option differs from its live value, in table order: the
    // watermark record byte for byte, every other option as 16 bits.
    bool IsChanged() const;

    // Points the snapshot at another context's fields without capturing:
    // the captured values are then compared with that context's.
    void Aim(UiContext* context);

    UiContext* Context() const { return context_; }

private:
    UiContext* context_ = nullptr;
    const SnapshotOption* table_ = g_SnapshotOptionTable;
    int count_ = SNAPSHOT_OPTION_COUNT;
    INT16 values_[SNAPSHOT_OPTION_COUNT] = {};
    // Where each option's live value lives in the context (the first two
    // bytes of it: the low 16 bits of the 32-bit fields).
    const BYTE* live_[SNAPSHOT_OPTION_COUNT] = {};
    WatermarkRecord watermark_ = {};
};

// Answers of SettingsChangeTracker::Compare.
#define TRACKER_CAPTURED 0            // the tracker was not armed: it captured
#define TRACKER_CHANGED_OTHER_MODE 1
#define TRACKER_UNCHANGED_OTHER_MODE 2
#define TRACKER_CHANGED 4
#define TRACKER_UNCHANGED 8

class SettingsChangeTracker {
public:
    virtual ~SettingsChangeTracker() = default;

    // 0 disarms the tracker; the document pages use their page number.
    void SetMode(INT32 mode) { mode_ = mode; }
    INT32 Mode() const { return mode_; }

    // Captures `context` again, making the snapshot when there is none.
    void Reset(UiContext* context);

    // Not armed (mode 0): captures and answers 0. Otherwise, for a `mode`
    // other than the tracker's, 1 changed or 2 unchanged; for its own mode,
    // 4 changed or 8 unchanged. The live values are those of `context` when
    // one is given.
    INT32 Compare(INT32 mode, UiContext* context);

    // Captures again when a context is given; nothing otherwise.
    void Capture(UiContext* context);

    const SettingsSnapshot* Snapshot() const { return snapshot_.get(); }

private:
    INT32 mode_ = 0;
    std::unique_ptr<SettingsSnapshot> snapshot_;
};
