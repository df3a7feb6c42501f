// HTML Help: the help viewer's one entry point and the commands the driver
// gives it. The module is "hhctrl.ocx" (HtmlHelpW is its export 15); a
// program binds it at run time, finding it as the in-process server of the
// HTML Help control class.
#pragma once
#include "windows.h"

// The HTML Help control class; its InprocServer32 key names the module.
#define CLSID_HHCtrl_String u"{ADB880A6-D8FF-11CF-9377-00AA003B7A11}"
#define HTMLHELP_ORDINAL_W 15

#define HH_DISPLAY_TOPIC 0x0000
#define HH_HELP_FINDER 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_DISPLAY_SEARCH 0x0003
#define HH_HELP_CONTEXT 0x000F
#define HH_CLOSE_ALL 0x0012

typedef HWND(WINAPI* PFN_HtmlHelpW)(HWND hwndCaller, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData);

// Opens a help file (pszFile may carry "::/topic.htm" or ">window" after the
// file name) as uCommand says. Returns the help window, or NULL when nothing
// was shown: a file that does not exist, a command that opens no window.
WINBASEAPI HWND WINAPI HtmlHelpW(HWND hwndCaller, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData);
#define HtmlHelp HtmlHelpW
