// SaveDC and RestoreDC: a stack of DC states.
//
// SaveDC answers the new depth of the stack (1 for the first save).
// RestoreDC takes a depth (a state SaveDC answered) or, when negative, a
// count back from the top (-1: the last state saved); the states above the
// one restored are dropped with it. A depth outside the stack fails with
// ERROR_INVALID_PARAMETER and changes nothing.
#include <windows.h>

#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "gdi32/selection.h"

int WINAPI SaveDC(HDC hdc) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    dc->saved.push_back(dc->state);
    w32::gdi::RetainState(dc->state);
    return int(dc->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const int64_t depth = int64_t(dc->saved.size());
    const int64_t level = nSavedDC < 0 ? depth + 1 + nSavedDC : nSavedDC;
    if (nSavedDC == 0 || level < 1 || level > depth) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    w32::gdi::DcState restored = std::move(dc->saved[size_t(level - 1)]);
    for (size_t i = size_t(level); i < dc->saved.size(); ++i) w32::gdi::ReleaseState(dc->saved[i]);
    dc->saved.resize(size_t(level - 1));
    // The memory DC's claim passes from its current bitmap to the restored one.
    if (restored.bitmap != dc->state.bitmap) {
        if (auto current = w32::gdi::LookupGdiObjectAs<w32::gdi::GdiBitmap>(dc->state.bitmap);
            current && current->selectedInto == hdc)
            current->selectedInto = nullptr;
        if (auto bitmap = w32::gdi::LookupGdiObjectAs<w32::gdi::GdiBitmap>(restored.bitmap); bitmap && !bitmap->stock)
            bitmap->selectedInto = hdc;
    }
    w32::gdi::ReleaseState(dc->state);
    dc->state = std::move(restored);
    return TRUE;
}
