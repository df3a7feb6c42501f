// The settings of a UiContext as one 5084-byte image, private part first and
// public part second (the order in which the settings file keeps a
// favourite), and the process-wide copy of the last context made, which the
// favourites read their default name from.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>

#include "ui/ui/uicontext.h"

// Bytes of the image: the private part, then the 220-byte public DEVMODE.
#define CONTEXT_DEVMODE_IMAGE_SIZE UI_DEVMODE_SIZE

// Copies the image into the context's private part and public DEVMODE
// (through the context's two devmode pointers). FALSE, with the context
// untouched, without a context, an image or either pointer. The bytes are
// copied as they stand: a caller whose image comes from outside checks it.
BOOL LoadDevmodeIntoContext(UiContext* context, const BYTE* image);

// Writes the context's private part and public DEVMODE into the image. FALSE,
// with the image untouched, without a context, an image or either pointer.
BOOL StoreContextDevmode(const UiContext* context, BYTE* image);

// One process-wide copy of the last UiContext, its two devmode pointers aimed
// into the copy. Property sheets on several threads replace and read it: every
// access takes the holder's lock, and readers get a copy of their own rather
// than a pointer into the holder that another thread could overwrite.
class SharedContextHolder {
public:
    // Replaces the copy with `context`; FALSE without a context or when the
    // copy cannot be allocated.
    BOOL Set(const UiContext* context);

    // Copies the held context into `out`, its devmode pointers aimed into
    // `out`. FALSE, with `out` untouched, when nothing is held yet.
    BOOL Get(UiContext* out) const;

    // Drops the copy; the next Get fails until a context is set again.
    void Clear();

private:
    mutable std::mutex lock_;
    std::unique_ptr<UiContext> copy_;  // allocated on first Set
};

// The process's holder; it lives until the process ends.
SharedContextHolder& GetSharedContextHolder();
