// The common property-sheet UI as a printer driver's user interface sees it:
// the record a sheet callback is called with, the header it fills when asked
// for one, the set-result record, and the functions of the host's callback.
#pragma once
#include <windows.h>

// The host's callback: a sheet adds pages and reports results through it.
typedef LONG_PTR(CALLBACK* PFNCOMPROPSHEET)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2);

// Functions of PFNCOMPROPSHEET.
#define CPSFUNC_ADD_HPROPSHEETPAGE 0
#define CPSFUNC_ADD_PROPSHEETPAGEW 1
#define CPSFUNC_ADD_PCOMPROPSHEETUIA 2
#define CPSFUNC_ADD_PCOMPROPSHEETUIW 3
#define CPSFUNC_ADD_PFNPROPSHEETUIA 4
#define CPSFUNC_ADD_PFNPROPSHEETUIW 5
#define CPSFUNC_DELETE_HCOMPROPSHEET 6
#define CPSFUNC_SET_HSTARTPAGE 7
#define CPSFUNC_GET_PAGECOUNT 8
#define CPSFUNC_SET_RESULT 9
#define CPSFUNC_GET_HPSUIPAGES 10
#define CPSFUNC_LOAD_CPSUI_STRINGA 11
#define CPSFUNC_LOAD_CPSUI_STRINGW 12
#define CPSFUNC_LOAD_CPSUI_ICON 13
#define CPSFUNC_GET_PFNPROPSHEETUI_ICON 14
#define CPSFUNC_ADD_PROPSHEETPAGEA 15
#define CPSFUNC_INSERT_PSUIPAGEA 16
#define CPSFUNC_INSERT_PSUIPAGEW 17
#define CPSFUNC_SET_PSUIPAGE_TITLEA 18
#define CPSFUNC_SET_PSUIPAGE_TITLEW 19
#define CPSFUNC_SET_PSUIPAGE_ICON 20
#define CPSFUNC_SET_DATABLOCK 21
#define CPSFUNC_QUERY_DATABLOCK 22
#define CPSFUNC_SET_DMPUB_HIDEBITS 23
#define CPSFUNC_IGNORE_CPSUI_PSN_APPLY 24
#define CPSFUNC_DO_APPLY_CPSUI 25
#define CPSFUNC_SET_FUSION_CONTEXT 26

// The failure result of a sheet callback: the reason is in the thread's
// last error.
#define ERR_CPSUI_GETLASTERROR (-1)

// Why a sheet callback is called (PROPSHEETUI_INFO.Reason).
#define PROPSHEETUI_REASON_INIT 0
#define PROPSHEETUI_REASON_GET_INFO_HEADER 1
#define PROPSHEETUI_REASON_DESTROY 2
#define PROPSHEETUI_REASON_SET_RESULT 3
#define PROPSHEETUI_REASON_GET_ICON 4
#define PROPSHEETUI_REASON_BEFORE_INIT 5

#define PROPSHEETUI_INFO_VERSION 0x0100
#define PSUIINFO_UNICODE 0x0001

// What the host hands a sheet callback. lParamInit is the caller's record
// (a DOCUMENTPROPERTYHEADER or DEVICEPROPERTYHEADER); UserData is the
// sheet's own, kept from call to call; Result is what the sheet answers.
typedef struct _PROPSHEETUI_INFO {
    WORD cbSize;
    WORD Version;
    WORD Flags;
    WORD Reason;
    HANDLE hComPropSheet;
    PFNCOMPROPSHEET pfnComPropSheet;
    LPARAM lParamInit;
    ULONG_PTR UserData;
    ULONG_PTR Result;
} PROPSHEETUI_INFO, *PPROPSHEETUI_INFO;

// PROPSHEETUI_INFO_HEADER.Flags.
#define PSUIHDRF_OBSOLETE 0x0001
#define PSUIHDRF_NOAPPLYNOW 0x0002
#define PSUIHDRF_PROPTITLE 0x0004
#define PSUIHDRF_USEHICON 0x0008
#define PSUIHDRF_DEFTITLE 0x0010
#define PSUIHDRF_EXACT_PTITLE 0x0020

// The sheet's title and icon, filled at PROPSHEETUI_REASON_GET_INFO_HEADER
// (the record arrives as that call's lParam).
typedef struct _PROPSHEETUI_INFO_HEADER {
    WORD cbSize;
    WORD Flags;
    LPWSTR pTitle;
    HWND hWndParent;
    HINSTANCE hInst;
    union {
        HICON hIcon;
        ULONG_PTR IconID;
    };
} PROPSHEETUI_INFO_HEADER, *PPROPSHEETUI_INFO_HEADER;

// The result of the sheet's pages, handed over at PROPSHEETUI_REASON_SET_RESULT.
typedef struct _SETRESULT_INFO {
    WORD cbSize;
    WORD wReserved;
    HANDLE hSetResult;
    LRESULT Result;
} SETRESULT_INFO, *PSETRESULT_INFO;

// Results of a sheet.
#define CPSUI_CANCEL 0
#define CPSUI_OK 1
#define CPSUI_RESTARTWINDOWS 2
#define CPSUI_REBOOTSYSTEM 3
