// The process's window manager.
//
// Handles and records. Every window, the desktop included, is a record in
// one table keyed by its handle (a hash table: finding, making and
// destroying a window costs the same with 100,000 of them). Handles are
// never given twice in a process, so a handle kept after its window died
// names nothing and every call on it fails with ERROR_INVALID_WINDOW_HANDLE.
// The tree is kept in the records: each window links its siblings in
// z-order (topmost first) and its first and last child, so linking and
// unlinking take constant time. Top-level windows are children of the
// desktop; message-only windows (HWND_MESSAGE) children of a hidden root.
//
// Locking. One lock, ManagerLock(), guards the classes, the table, the tree
// and every field of every record. It is held only while those are read or
// changed, never while a window procedure runs, so procedures may call back
// into the manager, send messages, create and destroy windows freely. Code
// that works on a window outside the lock holds a shared_ptr to its record:
// the memory stays while a message to a window that destroyed itself is
// still on the stack, while the handle already resolves to nothing.
//
// Threads. A window belongs to the thread that made it, and its procedure
// runs only on that thread: SendMessageW from another thread queues the
// message for the owner and waits while the owner's message processing
// (GetMessageW, PeekMessageW, or its own SendMessageW waiting for a reply)
// runs it. Each thread that uses windows has a queue (msgqueue.h) of posted
// messages, input messages, messages sent to it, its timers and its WM_QUIT;
// the queues are guarded by the wait lock Clock::Mutex(), so a thread
// waiting for messages is a layer wait like any other and a virtual clock
// moves to the next timer when every thread waits. The two locks are never
// held together.
//
// Files, one idea each: wndclass.cpp (classes and atoms), window.cpp
// (records, creation and destruction), wndtree.cpp (the tree and its
// searches), wndlong.cpp (window words, properties, procedures), wndtext.cpp
// (window text), sendmessage.cpp and msgqueue.cpp (sending, posting and
// retrieving messages), timer.cpp (timers), defwindow.cpp (default
// processing), focus.cpp (enabling, focus, activation, capture), wndpos.cpp
// (rectangles, positions, showing), programwindow.cpp (the desktop and the
// program's main window); painting is described in paint.h.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win32k/region.h"

namespace w32 {

struct WindowClass {
    ATOM atom = 0;
    std::u16string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    // A resource id, or a pointer into menuNameText.
    LPCWSTR menuName = nullptr;
    std::u16string menuNameText;
    std::vector<BYTE> extra;
    // Registered by the layer for every module (dialogs, controls).
    bool system = false;
    int windows = 0;  // windows of the class not yet destroyed
};

enum class WindowState { Creating, Alive, Destroying, Dead };

struct Window : std::enable_shared_from_this<Window> {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    DWORD threadId = 0;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;  // a child's id; a top-level window's menu
    LONG_PTR userData = 0;
    WNDPROC proc = nullptr;
    Window* parent = nullptr;
    Window* owner = nullptr;
    int ownedCount = 0;  // top-level windows this one owns
    Window* firstChild = nullptr;  // topmost child
    Window* lastChild = nullptr;
    Window* prev = nullptr;  // the sibling above
    Window* next = nullptr;  // the sibling below
    RECT rect{};    // window rectangle in the parent's client coordinates
    RECT client{};  // client rectangle in the parent's client coordinates
    std::u16string text;
    std::vector<BYTE> extra;
    std::vector<std::pair<ATOM, HANDLE>> props;  // by the atom of their name
    WindowState state = WindowState::Creating;
    // Painting (updateregion.cpp). The part of the client area to paint
    // again, in client coordinates; whether it must be erased first
    // (WM_ERASEBKGND) and the frame drawn (WM_NCPAINT); whether the last
    // erase left the background to the procedure (PAINTSTRUCT's fErase).
    Region update;
    bool eraseNeeded = false;
    bool frameNeeded = false;
    bool internalPaint = false;
    bool eraseLeft = false;
    bool toPaint = false;  // in its thread's set of windows to paint
    // A top-level window's surface (surface.cpp): a 32-bit top-down DIB
    // section the size of its window rectangle.
    HBITMAP surface = nullptr;
    void* surfaceBits = nullptr;
    SIZE surfaceSize{};
    // The icons WM_SETICON gave (ICON_BIG, ICON_SMALL).
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
};

// Guards classes, the window table, the tree and the records' fields.
std::mutex& ManagerLock();

// With the lock held: the window the handle names (alive, being created or
// being destroyed), or null.
Window* FindWindowLocked(HWND handle);
// The same, failing the Win32 way: ERROR_INVALID_WINDOW_HANDLE when the
// handle names no live window.
Window* FindWindowOrFailLocked(HWND handle);
// Without the lock: the window's record, or null with the last error
// ERROR_INVALID_WINDOW_HANDLE.
std::shared_ptr<Window> GetWindowRecord(HWND handle);
// With the lock held: the desktop and the root of message-only windows.
Window* DesktopLocked();
Window* MessageRootLocked();
bool IsRootLocked(const Window* window);
// With the lock held: enters a record in the table under a new handle (or
// under `fixed`, for the desktop and the program window).
HWND InsertWindowLocked(const std::shared_ptr<Window>& window, HWND fixed = nullptr);

// With the lock held. Links the window under `parent`: at the top of the
// z-order when `after` is HWND_TOP, at the bottom for HWND_BOTTOM, else
// below the sibling `after`.
void LinkWindowLocked(Window* window, Window* parent, HWND after);
void UnlinkWindowLocked(Window* window);
// Whether `window` is `ancestor` or lies below it in the tree.
bool IsSelfOrDescendantLocked(const Window* window, const Window* ancestor);
// The window's children, topmost first, and all descendants depth-first.
std::vector<std::shared_ptr<Window>> ChildrenLocked(const Window* parent);
void DescendantsLocked(const Window* parent, std::vector<std::shared_ptr<Window>>& out);
// Screen coordinates of the window's client origin (0, 0 for the roots).
POINT ClientOriginLocked(const Window* window);

// Classes. With the lock held: the class a name or atom names for the
// instance (local class, then global, then system), or null.
std::shared_ptr<WindowClass> FindClassLocked(LPCWSTR name, HINSTANCE instance);
// The atom of a name in the process's atom table (made when missing), and
// the name of an atom (false when it has none). Class names and registered
// window messages share the table, as on Windows.
ATOM AddAtomName(std::u16string_view name);
bool FindAtomName(std::u16string_view name, ATOM& atom);
// A class every module sees, registered by the layer itself. Returns its atom.
ATOM RegisterSystemClass(const WNDCLASSEXW& wc);
// The same as RegisterClassExW (system false) or RegisterSystemClass, with
// the lock held and the manager made.
ATOM RegisterLocked(const WNDCLASSEXW& wc, bool system);
// With the lock held, once, as the manager is made: registers the classes
// of the system's own controls and dialogs (systemclasses.cpp).
void RegisterSystemClassesLocked();

// Calls the window's procedure on the calling thread and answers its result.
LRESULT CallProcedure(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam);

// The desktop's handle and the program's main window, made with the
// manager: a top-level window of the main thread, of the class
// "KorvanDocumentWindow", whose title is the machine's programWindowTitle.
HWND DesktopWindowHandle();
HWND ProgramWindowHandle();
// Makes the desktop, the message root and the program window (once).
void EnsureWindowManager();

// A snapshot of a window's public state, for the layer's own tools.
struct WindowRecord {
    HWND handle = nullptr;
    HWND parent = nullptr;
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    DWORD threadId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::u16string className;
    std::u16string text;
};
// A copy of the window's record; false when the handle names no window.
bool QueryWindow(HWND window, WindowRecord& record);

// The text a window keeps (what DefWindowProcW stores), without a message;
// the program window's is the machine's title.
std::u16string InternalWindowText(const Window* window);

// Destroys the windows of the calling thread (the thread is ending).
void DestroyThreadWindows();

}  // namespace w32
