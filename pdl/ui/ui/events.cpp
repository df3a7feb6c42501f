// The event entry points of the spooler and GDI. The events this driver
// acts on (the status monitor at the start of a document, the watermark at
// the end of each page, the user's settings when a printer is initialised,
// the listeners told when a printer or the driver is deleted) come with the
// watermark drawing; until then every event is answered as one the driver
// does not act on.
#include <windows.h>
#include <winddiui.h>

extern "C" int WINAPI DrvDocumentEvent(HANDLE, HDC, int, ULONG, PVOID, ULONG, PVOID) {
    return DOCUMENTEVENT_UNSUPPORTED;
}

extern "C" BOOL WINAPI DrvPrinterEvent(LPWSTR, int, DWORD, LPARAM) { return TRUE; }

extern "C" BOOL WINAPI DrvDriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return FALSE; }
