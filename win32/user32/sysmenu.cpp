// The window menu: GetSystemMenu, and the menu calls a dialog makes on it.
//
// The layer draws no menus; a window's menu is a list of the standard
// commands (Restore, Move, Size, Minimize, Maximize, a separator, Close)
// whose states a program changes, and WM_SYSCOMMAND's default processing
// reads them (a greyed Close closes nothing). GetSystemMenu(hwnd, FALSE)
// gives the window its own copy, made on first use and kept until the
// window goes; GetSystemMenu(hwnd, TRUE) drops the copy (the standard menu
// again) and answers NULL. Menu handles name no other menus: other handles
// fail with ERROR_INVALID_MENU_HANDLE.
#include <mutex>
#include <unordered_map>
#include <vector>

#include "user32/sysmenu.h"

namespace w32 {

namespace {

struct MenuItem {
    UINT id;
    UINT state;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_SEPARATOR
};

struct Menu {
    HWND window = nullptr;
    std::vector<MenuItem> items;
};

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED;

std::mutex gMenusLock;
std::unordered_map<HMENU, Menu> gMenus;
std::unordered_map<HWND, HMENU> gWindowMenus;
ULONG_PTR gNextMenu = 0x100;

std::vector<MenuItem> StandardItems() {
    return {{SC_RESTORE, 0}, {SC_MOVE, 0}, {SC_SIZE, 0}, {SC_MINIMIZE, 0},
            {SC_MAXIMIZE, 0}, {0, MF_SEPARATOR}, {SC_CLOSE, 0}};
}

// With the lock held: drops the menus of windows that are gone.
void DropDeadLocked() {
    for (auto it = gWindowMenus.begin(); it != gWindowMenus.end();) {
        if (IsWindow(it->first)) {
            ++it;
            continue;
        }
        gMenus.erase(it->second);
        it = gWindowMenus.erase(it);
    }
}

// With the lock held: the menu, or null with ERROR_INVALID_MENU_HANDLE.
Menu* FindMenuLocked(HMENU handle) {
    auto it = gMenus.find(handle);
    if (it == gMenus.end() || (it->second.window && !IsWindow(it->second.window))) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    return &it->second;
}

MenuItem* FindItem(Menu& menu, UINT item, UINT flags) {
    if (flags & MF_BYPOSITION) return item < menu.items.size() ? &menu.items[item] : nullptr;
    for (MenuItem& entry : menu.items) {
        if (!(entry.state & MF_SEPARATOR) && entry.id == item) return &entry;
    }
    return nullptr;
}

}  // namespace

bool IsSystemCommandDisabled(HWND hwnd, UINT command) {
    std::lock_guard lock(gMenusLock);
    auto it = gWindowMenus.find(hwnd);
    if (it == gWindowMenus.end()) return false;
    Menu& menu = gMenus[it->second];
    MenuItem* item = FindItem(menu, command, MF_BYCOMMAND);
    return item && (item->state & (MF_GRAYED | MF_DISABLED));
}

}  // namespace w32

using namespace w32;

HMENU WINAPI GetSystemMenu(HWND hwnd, BOOL revert) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    std::lock_guard lock(gMenusLock);
    DropDeadLocked();
    auto it = gWindowMenus.find(hwnd);
    if (revert) {
        if (it != gWindowMenus.end()) {
            gMenus.erase(it->second);
            gWindowMenus.erase(it);
        }
        return nullptr;
    }
    if (it != gWindowMenus.end()) return it->second;
    auto handle = reinterpret_cast<HMENU>(gNextMenu);
    gNextMenu += 4;
    gMenus[handle] = Menu{hwnd, StandardItems()};
    gWindowMenus[hwnd] = handle;
    return handle;
}

BOOL WINAPI EnableMenuItem(HMENU handle, UINT item, UINT enable) {
    std::lock_guard lock(gMenusLock);
    Menu* menu = FindMenuLocked(handle);
    if (!menu) return -1;
    MenuItem* entry = FindItem(*menu, item, enable);
    if (!entry) return -1;
    UINT previous = entry->state & (MF_GRAYED | MF_DISABLED);
    entry->state = (entry->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return BOOL(previous);
}

UINT WINAPI GetMenuState(HMENU handle, UINT item, UINT flags) {
    std::lock_guard lock(gMenusLock);
    Menu* menu = FindMenuLocked(handle);
    if (!menu) return UINT(-1);
    MenuItem* entry = FindItem(*menu, item, flags);
    if (!entry) return UINT(-1);
    return entry->state & (kStateBits | MF_SEPARATOR);
}

int WINAPI GetMenuItemCount(HMENU handle) {
    std::lock_guard lock(gMenusLock);
    Menu* menu = FindMenuLocked(handle);
    return menu ? int(menu->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU handle, int position) {
    std::lock_guard lock(gMenusLock);
    Menu* menu = FindMenuLocked(handle);
    if (!menu || position < 0 || size_t(position) >= menu->items.size()) return UINT(-1);
    return menu->items[size_t(position)].id;
}

BOOL WINAPI IsMenu(HMENU handle) {
    std::lock_guard lock(gMenusLock);
    DWORD error = GetLastError();
    bool found = FindMenuLocked(handle) != nullptr;
    SetLastError(error);
    return found;
}

BOOL WINAPI DestroyMenu(HMENU handle) {
    std::lock_guard lock(gMenusLock);
    Menu* menu = FindMenuLocked(handle);
    if (!menu) return FALSE;
    if (menu->window) gWindowMenus.erase(menu->window);
    gMenus.erase(handle);
    return TRUE;
}
