// Painting, shared by the window manager's files.
//
// Each window keeps an update region (the part of its client area to paint
// again) and flags for a pending erase and frame (window.h). A window whose
// update region is not empty, or whose frame or internal paint is pending,
// is in its thread's set of windows to paint; GetMessageW and PeekMessageW
// take a WM_PAINT for the highest such window (parents before children)
// after the posted and input messages, and keep giving it until the window
// is validated. Windows that do not show (hidden, or below a hidden parent)
// have nothing to paint: invalidating them does nothing and hiding a window
// validates it and its descendants; showing it invalidates it whole.
//
// Every top-level window (and the desktop) draws into a surface of its own
// (surface.cpp); window DCs (windowdc.cpp) place a window in its top-level
// window's surface and cut drawing to what of it shows.
//
// Files: updateregion.cpp (update regions, InvalidateRect and friends,
// RedrawWindow, UpdateWindow), paint.cpp (BeginPaint, EndPaint, erasing),
// windowdc.cpp (GetDC and friends), surface.cpp (surfaces), syscolor.cpp.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "user32/window.h"
#include "win32k/region.h"

namespace w32 {

// A 32-bit top-down DIB section (BI_RGB) of the size given, and its pixels;
// null when it cannot be made.
HBITMAP MakeDib(int width, int height, DWORD** bits);

// How many windows of a thread are to paint, read without the manager's
// lock by the thread's message retrieval; `changes` moves each time a
// window joins the set, so that a waiting thread looks again.
struct ThreadPaintCount {
    std::atomic<int> windows{0};
    std::atomic<unsigned> changes{0};
};
// The calling thread's count.
std::shared_ptr<ThreadPaintCount> CurrentThreadPaintCount();

// The window of the calling thread that the next WM_PAINT is for, passing
// the filter (window, range) of GetMessageW; null when none.
HWND WindowToPaint(HWND filter, UINT first, UINT last);

// With the lock held: marks or unmarks a window for painting as its state
// says. Returns true when it joined the set (its thread must be woken with
// WakePaintingThreads after the lock is let go).
bool UpdatePaintSetLocked(Window* window);
// With the lock held: the window leaves its thread's set (it is dying).
void ForgetPaintingLocked(Window* window);
// Wakes the threads that wait for messages (a window became paintable).
void WakePaintingThreads();

// With the lock held: whether the window and all its ancestors are visible
// on the desktop.
bool ShowsLocked(const Window* window);

// RedrawWindow's work with a region in client coordinates (null: the whole
// client area), without the erase-now and update-now steps. With the lock
// held; true when a window joined a paint set.
bool RedrawLocked(Window* window, const Region* area, UINT flags);
// Sends what RDW_ERASENOW and RDW_UPDATENOW send to the window (and its
// children when `children`), without the lock.
void EraseNow(HWND hwnd, bool children);
void UpdateNow(HWND hwnd, bool children);

// The client rectangle in client coordinates, and the window rectangle
// relative to the client origin, with the lock held.
RECT ClientAreaLocked(const Window* window);
RECT WindowAreaInClientLocked(const Window* window);

// Draws the background of the update region as DefWindowProcW's
// WM_ERASEBKGND does: with the class brush (a brush, or a system colour
// index plus one). Answers whether it erased.
bool EraseWithClassBrush(HWND hwnd, HDC hdc);

// Window DCs. A DC for the window's client area (or whole window) with the
// flags of GetDCEx, cut further to `clip` (surface-independent: client
// coordinates, or window coordinates with DCX_WINDOW) when given.
HDC MakeWindowDC(HWND hwnd, DWORD flags, const Region* clip);
// The flags GetDC uses for a window: DCX_CACHE, and DCX_CLIPCHILDREN,
// DCX_CLIPSIBLINGS, DCX_PARENTCLIP by its styles and class.
DWORD DcFlagsOfWindow(HWND hwnd);
// Ends a window DC from MakeWindowDC; false when the handle is none.
bool EndWindowDC(HDC hdc);

// With the lock held: the top-level window of a window (itself when top-
// level; the desktop for the desktop), and its surface, made or made anew
// for the window's present size. Null when the surface cannot be made.
Window* TopLevelLocked(Window* window);
HBITMAP SurfaceLocked(Window* top);
// Frees a top-level window's surface (with the lock held).
void FreeSurfaceLocked(Window* top);

}  // namespace w32
